#include "stationary/section213/frmUni_213.h"

#include "app/prompter.h"
#include "app/shell.h"
#include "data/forms/qtext.h"
#include "data/numtext.h"
#include "graphics/surface.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <exception>

namespace velta {

using namespace sheetgrid;

namespace {

// The grids start higher on their sheets than in the other stationary windows.
constexpr int kMatrixTop = 40, kStepsTop = 8 + 3 * kLine + 14;

}  // namespace

frmUni_213::frmUni_213(FormHost& host)
    : StationaryNetForm(
          host, 213, QStringLiteral("ГГС общего вида\\Стац. решения и устойчивость\\Стартовое решение\\MNN"),
          8, SectionForm::kFrameHeight - kMatrixTop - 10) {
    const Sec213::FieldKeys& keys = Sec213::fieldKeys();
    // ---- sheet 1: the model
    addLabel(1, 10, 8, QStringLiteral("1) Параметры модели ГГС классов 1-4"));
    addModelRows(keys.model, "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #2 и #3");

    // ---- sheet 2: the relaxation for U1, U2
    addLabel(2, 10, 8, QStringLiteral("2) Параметры метода вычисления U1 и U2"));
    int y = addKeyRows(2, 20, 36, 300, keys.relax, 3, fields_);
    addKeyRows(2, 20, y + kRow, 300, keys.start, 0, fields_);

    // ---- sheet 3: the connection matrix
    addLabel(3, 10, 8, QStringLiteral("3) Матрица связей  MC(i,j)"));
    grdTable = addGrid(3, kLeft, kMatrixTop, QStringLiteral("grdTable"), kMaxWidth);

    // ---- sheet 4: the continuation
    addLabel(4, 10, 8, QStringLiteral("4) Параметры метода продолжения по параметру"));
    addKeyRows(4, 20, 36, 260, contKeys(),
               {{"QMIN"}, {"QMAX"}, {"QSOLV"}, {"HSTEP", "Стартовый шаг,  HSTEP ="}}, cont_);

    // ---- sheet 5: standard steps and bounds
    addLabel(5, 10, 8, QStringLiteral("5) Стандартные шаги H(i) для текущих параметров, i=1,...,NDIM+1,"));
    addLabel(5, 10, 8 + kLine, QStringLiteral("    (H(NDIM+1) - стандартный шаг по QMOD)"));
    addLabel(5, 10, 8 + 2 * kLine, QStringLiteral("    и двусторонние ограничения UL(i) и UR(i)"));
    grdTable2 = addGrid(5, kLeft, kStepsTop, QStringLiteral("grdTable2"), kMaxWidth);

    // ---- sheet 6: Newton's method
    addLabel(6, 10, 8, QStringLiteral("6) Параметры метода Ньютона"));
    y = addNewtonRows(6, 460);
    {
        const QFont mono(QStringLiteral("Liberation Mono"), 9);
        const char* note[] = {"EMIN * H(I), EMAX * H(I) - ограничения снизу и сверху на шаг",
                              "                            по I-му текущему параметру"};
        for (int i = 0; i < 2; ++i) {
            QLabel* l = addLabel(6, 20, y + kRow + 12 + i * kLine, QString());
            l->setFont(mono);
            l->setText(QString::fromUtf8(note[i]));
            l->resize(l->sizeHint().width() + 4, l->height());
        }
    }

    // ---- sheet 7: output; the list of plotted components is not a key of the file
    addLabel(7, 10, 8, QStringLiteral("7) Формирование выдачи результатов"));
    y = addKeyRows(7, 20, 36, 320, keys.portion, 7, fields_);
    addLabel(7, 20, y += kRow + 14, QStringLiteral("Номера компонент, выводимых на график:"));
    addLabel(7, 20, y += kLine, QStringLiteral("(число компонент <= min(12,NDIM))"));
    fields_.push_back(
        {addField(7, 20, y += kRow, 0, QString(), QStringLiteral("txtIC"), 400), &Sec213::Fields::ic});

    // ---- sheet 8: plot bounds
    addLabel(8, 10, 8, QStringLiteral("8) Границы интервалов для графиков"));
    addKeyRows(8, 20, 36, 80, keys.bounds, 8, fields_);

    // "Ввод" goes through the two stages.
    if (auto* b = findChild<QPushButton*>(QStringLiteral("cmdINput1"))) {
        disconnect(b, &QPushButton::clicked, nullptr, nullptr);
        connect(b, &QPushButton::clicked, this, [this] { cmdINput1_Click(); });
    }
    setStage(1);
}

Sec213* frmUni_213::sec() { return dynamic_cast<Sec213*>(core()); }

void frmUni_213::setStage(int stage) {
    stage_ = stage;
    QTabBar* t = tabStrip();
    for (int i = 0; i < t->count(); ++i) t->setTabVisible(i, stage == 1 ? i < 2 : i >= 2);
    t->setCurrentIndex(stage == 1 ? 0 : 2);
    switchSheet(t->currentIndex());
}

void frmUni_213::open() {
    SectionForm::open();
    if (isVisible()) setStage(1);
}

bool frmUni_213::takeFirstSheets() {
    Store& g = host_.store();
    Sec213* c = sec();
    if (!c) return false;
    const Sec213::Fields f = currentFields();
    try {
        const i16 mclass = textToI16(f.mclass);
        const i16 ndim = textToI16(f.ndim);
        const double alfa = textToReal(f.alfa), beta = textToReal(f.beta), gama = textToReal(f.gama);
        const double hhh = textToReal(f.hhh), tmax = textToReal(f.tmax);
        const double u10 = textToReal(f.u10), u20 = textToReal(f.u20);
        if (dimensionChanged() && !applyDimension()) return false;
        g.MCLASS = mclass;
        g.NDIM = ndim;
        g.ALFA = alfa;
        g.BETA = beta;
        g.GAMA = gama;
        g.HHH = hhh;
        g.TMAX = tmax;
        c->U10 = u10;
        c->U20 = u20;
    } catch (const std::exception& e) {
        host_.prompter().message(e.what(), MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void frmUni_213::cmdINput1_Click() {
    if (stage_ == 2) {
        accept();
        return;
    }
    Sec213* c = sec();
    if (!c) return;
    NullSurface surface;
    Ctx ctx{surface, host_.prompter(), host_.paths(), host_.store()};
    try {
        if (!c->askLDIM(ctx)) return;
        if (!takeFirstSheets()) return;
        c->STARTp(ctx);
    } catch (const std::exception& e) {
        host_.prompter().message(e.what(), MsgIcon::Exclamation);
        return;
    }
    setStage(2);
}

void frmUni_213::fillFields() {
    Sec213* c = sec();
    if (!c) return;
    const Sec213::Fields f = c->fieldsFromStore(host_.store());
    showNetFields(f, f);
    showTexts(fields_, f);
}

void frmUni_213::Tabl2_Dspl(bool zeros) {
    const int n1 = host_.store().NDIM + 1;
    Sec213* c = sec();
    Vec none;
    none.alloc(n1);
    const bool have = c && c->H.upper() == n1 && c->UL.upper() == n1 && c->UR.upper() == n1;
    const GridText g = have ? Sec213::stepsGrid(c->H, c->UL, c->UR, n1, zeros)
                            : Sec213::stepsGrid(none, none, none, n1, true);
    grdTable2->setGrid(g, 2, 4, 2, n1 + 1, n1 + 2, 5);
    sheetgrid::fitToSheet(grdTable2, kFrameHeight - 84 - 10);
}

void frmUni_213::fillGrids(bool zeros) {
    Matr_Dspl(zeros);
    Tabl2_Dspl(zeros);
}

Sec213::Fields frmUni_213::currentFields() const {
    Sec213::Fields f;
    readNetFields(f, f);
    readTexts(fields_, f);
    f.mc = grdTable->text();
    f.steps = grdTable2->text();
    return f;
}

void frmUni_213::writeDataFile(const std::string& path) {
    const Sec213::Fields f = currentFields();
    const auto write = [&](const std::string& p) { Sec213::Table_File(host_.store(), p, f); };
    // What the reading or the run would refuse is not written.
    checkByReading(path, write, [this] { dynamic_cast<Sec213&>(*core()).checkLimits(host_.store()); });
    write(path);
}

}  // namespace velta
