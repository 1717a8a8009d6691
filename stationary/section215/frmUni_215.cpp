#include "stationary/section215/frmUni_215.h"

#include "data/error.h"
#include "data/forms/qtext.h"
#include "data/numtext.h"
#include "stationary/frmGrids.h"

#include <QLabel>

#include <algorithm>

namespace velta {

using namespace sheetgrid;

frmUni_215::frmUni_215(FormHost& host)
    : StationaryNetForm(
          host, 215, QStringLiteral("ГГС общего вида\\Стац. решения и устойчивость\\Стартовое решение\\RND"),
          5) {
    const Sec215::FieldKeys& keys = Sec215::fieldKeys();
    // ---- sheet 1: the model
    addLabel(1, 10, 8, QStringLiteral(" 1) Параметры модели ГГС классов 1-4"));
    addModelRows(keys.model, "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #4, #5");

    // ---- sheet 2: the continuation
    addLabel(2, 10, 8, QStringLiteral(" 2) Параметры метода продолжения по параметру"));
    const int lw = 420;
    int y = addKeyRows(2, 20, 36, lw, keys.selection, {{"LMAX"}}, fields_);
    y = addKeyRows(2, 20, y + kRow, lw, keys.cont,
                   {{"HSTEP0"}, {"QSOLV"}, {"QMAX"}, {"QMIN"}, {"EMIN"}, {"EMAX"}, {"ACCEL"}}, fields_);
    {
        // The note lines up in a fixed-pitch font as it was typed.
        const QFont mono(QStringLiteral("Liberation Mono"), 9);
        const QString note[] = {
            QStringLiteral("    EMIN * H(I), EMAX * H(I) - ограничения снизу и сверху на шаг          "),
            QStringLiteral("                               по I-му текущему параметру                 ")};
        for (int i = 0; i < 2; ++i) {
            QLabel* l = addLabel(2, 20, y + kRow + 14 + i * kLine, QString());
            l->setFont(mono);
            l->setText(note[i]);
            l->resize(l->sizeHint().width() + 4, l->height());
        }
    }

    // ---- sheet 3: Newton's method (its labels end in a blank here) and the selection of
    // solutions
    addLabel(3, 10, 8, QStringLiteral(" 3) Параметры метода Ньютона"));
    y = addKeyRows(3, 20, 36, lw, newtonKeys(),
                   {{"LIMIT0", "Ограничение на число итераций в стартовой позиции,  LIMIT0 = "},
                    {"LIMIT", "Ограничение на число итераций в текущей позиции,  LIMIT = "},
                    {"EXACT", "Точность метода,  EXACT = "}},
                   cont_);
    addLabel(3, 10, y += 48, QStringLiteral(" 4) Параметры селекции решений"));
    y = addKeyRows(3, 20, y + 28, lw, keys.cont, {{"NEND"}, {"NSTEP"}}, fields_);
    addKeyRows(3, 20, y + kRow, lw, keys.selection, {{"UUERR"}, {"FFERR"}}, fields_);

    // ---- sheet 4: the connection matrix
    addLabel(4, 10, 8, QStringLiteral(" 4) Матрица связей  MC(i,j)"));
    grdTable = addGrid(4, kLeft, kTop, QStringLiteral("grdTable"), kMaxWidth);

    // ---- sheet 5: the standard steps
    addLabel(5, 10, 8, QStringLiteral(" 5) Стандартные шаги H(i) для текущих параметров, "));
    addLabel(5, 10, 8 + kLine, QStringLiteral("    i=1,...,NDIM+1, H(NDIM+1) - стандартный шаг по QMOD"));
    grdTable2 = addGrid(5, kLeft, kTop, QStringLiteral("grdTable2"), kMaxWidth);
}

Sec215* frmUni_215::sec() { return dynamic_cast<Sec215*>(core()); }

void frmUni_215::fillFields() {
    Sec215* c = sec();
    if (!c) return;
    const Sec215::Fields f = c->fieldsFromStore(host_.store());
    showNetFields(f, f);
    showTexts(fields_, f);
}

void frmUni_215::Tabl2_Dspl(bool zeros) {
    const int n1 = host_.store().NDIM + 1;
    Sec215* c = sec();
    const Vec none;
    const Vec& h = (zeros || !c) ? none : c->H;
    sheetgrid::showColumn(grdTable2, Sec215::stepsGrid(h, n1, zeros || !c), n1);
}

void frmUni_215::fillGrids(bool zeros) {
    Matr_Dspl(zeros);
    Tabl2_Dspl(zeros);
}

Sec215::Fields frmUni_215::currentFields() const {
    Sec215::Fields f;
    readNetFields(f, f);
    readTexts(fields_, f);
    f.mc = grdTable->text();
    f.steps = grdTable2->text();
    return f;
}

void frmUni_215::writeDataFile(const std::string& path) {
    // A file that its reading or the run would refuse is not written.
    writeCheckedFile<Sec215>(host_.store(), path, currentFields());
}

}  // namespace velta
