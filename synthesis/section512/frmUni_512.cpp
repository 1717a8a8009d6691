#include "synthesis/section512/frmUni_512.h"

#include "data/forms/qtext.h"

#include <QLabel>
#include <QScrollBar>

#include <algorithm>

namespace velta {

namespace {

constexpr int kRow = 26;
constexpr int kLine = 18;
constexpr int kLabel1 = 300;  // label width of the fields of sheet 1

// The delay grid: column 2 (the values) 2250 twips wide, the others 1000; a long list
// scrolls within the sheet.
constexpr int kNarrow = 67, kWide = 150;
constexpr int kGridLeft = 20, kGridTop = 40;
constexpr int kGridMaxHeight = SectionForm::kFrameHeight - kGridTop - 10;

void fitTauGrid(FormGrid* g) {
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (int c = 0; c < g->columnCount(); ++c) g->setColumnWidth(c, c == 2 ? kWide : kNarrow);
    int w = 2 * g->frameWidth() + 3 * kNarrow + kWide;
    int h = 2 * g->frameWidth() + g->rowCount() * FormGrid::kRowHeight;
    if (h > kGridMaxHeight) {
        h = kGridMaxHeight;
        w += g->verticalScrollBar()->sizeHint().width();
    }
    g->resize(w, h);
}

}  // namespace

// ---------------------------------------------------------------- shared sheets

SyzDelayForm::SyzDelayForm(FormHost& host, int code, const QString& caption)
    : SectionForm(host, code, caption, 4) {}

void SyzDelayForm::buildDelaySheets(int y, bool withSystemLines) {
    // ---- sheet 1, second part: the equation and its delays
    addLabel(1, 10, y, QStringLiteral("2) Параметры уравнений с запаздываниями"));
    txtMDIM = addField(1, 20, y += 28, kLabel1, QStringLiteral("Число уравнений,  MDIM ="),
                       QStringLiteral("txtMDIM"));
    txtLTAU = addField(1, 20, y += kRow, kLabel1, QStringLiteral("Число запаздываний,  LTAU ="),
                       QStringLiteral("txtLTAU"));
    setSizingField(txtLTAU, "LTAU",
                   "После изменения  LTAU  не забудьте\nскорректировать таблицу на Листе #2");

    // ---- sheet 2: the delays
    addLabel(2, 10, 8, QStringLiteral("Значения запаздываний в порядке возрастания"));
    grdTable1 = addGrid(2, kGridLeft, kGridTop, QStringLiteral("grdTable1"));

    // ---- sheet 3: integration, initial function, plotted components
    const int lw3 = 120;
    addLabel(3, 10, y = 8, QStringLiteral("3) Параметры численного метода интегрирования"));
    if (withSystemLines)
        addLabel(3, 10, y += kLine, QStringLiteral("    системы уравнений с запаздываниями"));
    addLabel(3, 10, y += kLine, QStringLiteral("    с постоянным шагом  H = TAU(LTAU) / NDEL"));
    if (withSystemLines) addLabel(3, 10, y += kLine, QStringLiteral("    на отрезке  [0,TMAX]"));
    txtTmax = addField(3, 20, y += 26, lw3, QStringLiteral("TMAX ="), QStringLiteral("txtTmax"));
    txtNDEL = addField(3, 20, y += kRow, lw3, QStringLiteral("NDEL ="), QStringLiteral("txtNDEL"));
    addLabel(3, 10, y += 40, QStringLiteral("4) Начальные данные:  Z(i) = 0, i = 1,...,NDEL+1"));
    addLabel(3, 10, y += kLine, QStringLiteral("    Варианты задания начальных данных:"));
    addLabel(3, 10, y += kLine, QStringLiteral("    IND = 0 - \"возмущенное\" стационарное решение,"));
    addLabel(3, 10, y += kLine, QStringLiteral("    IND = 1 - нулевые начальные данные."));
    txtIND = addField(3, 20, y += 26, lw3, QStringLiteral("IND ="), QStringLiteral("txtIND"));
    txtZ_1 = addField(3, 20, y += kRow, 260, QStringLiteral("\"Возмущение\" компоненты  Z(1) ="),
                      QStringLiteral("txtZ_1"));
    addLabel(3, 10, y += 40, QStringLiteral("5) Номера компонент, выводимых на график:"));
    addLabel(3, 10, y += kLine, QStringLiteral("    (число компонент <= min(12,MDIM))"));
    txtI1G = addField(3, 20, y += 26, 0, QString(), QStringLiteral("txtI1G"), 300);

    // ---- sheet 4: table density and plot bounds
    const int lw4 = 120;
    addLabel(4, 10, y = 8, QStringLiteral("6) Плотность выдачи результатов в таблицу"));
    txtNsc = addField(4, 20, y += 28, lw4, QStringLiteral("NSC ="), QStringLiteral("txtNsc"));
    addLabel(4, 10, y += kRow + 30, QStringLiteral("7) Границы интервалов для графиков (в долях ALFA):"));
    y += 28;
    const int yBounds = y;
    txtDlx = addField(4, 20, y, lw4, QStringLiteral("DLX ="), QStringLiteral("txtDlx"));
    txtDrx = addField(4, 20, y += kRow, lw4, QStringLiteral("DRX ="), QStringLiteral("txtDrx"));
    txtSCLT = addField(4, 20, y += kRow, lw4, QStringLiteral("SCLT ="), QStringLiteral("txtSCLT"));
    // The bounds are aligned by blanks: a fixed-pitch font keeps them in columns.
    const QFont mono(QStringLiteral("Liberation Mono"), 9);
    const char* bounds[] = {"           ALFA * DLX <= X(i) <= ALFA * DRX",
                            "                 SCLT <=  t   <= TMAX"};
    for (int i = 0; i < 2; ++i) {
        QLabel* l = addLabel(4, 300, yBounds + 14 + i * kLine, QString());
        l->setFont(mono);
        l->setText(QString::fromUtf8(bounds[i]));
        l->resize(l->sizeHint().width() + 4, l->height());
    }
}

void SyzDelayForm::Tabl1_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = std::max<int>(g.LTAU, 0);
    // Values beyond the delay vector (a larger LTAU typed in) are shown as "0".
    const bool z = zeros || n > g.TAU.upper();
    grdTable1->setGrid(Sec512::tauGrid(g.TAU, n, z), 2, n + 1, 2, 2, 3, n + 2);
    fitTauGrid(grdTable1);
}

void SyzDelayForm::setDimension(i16 n) { host_.store().LTAU = n; }

void SyzDelayForm::fillDelayFields(const SyzFields& f) {
    txtTeta->setText(q(f.teta));
    txtMDIM->setText(q(f.mdim));
    txtLTAU->setText(q(f.ltau));
    txtTmax->setText(q(f.tmax));
    txtNDEL->setText(q(f.ndel));
    txtIND->setText(q(f.ind));
    txtZ_1->setText(q(f.z_1));
    txtI1G->setText(q(f.i1g));
    txtNsc->setText(q(f.nsc));
    txtDlx->setText(q(f.dlx));
    txtDrx->setText(q(f.drx));
    txtSCLT->setText(q(f.sclt));
}

void SyzDelayForm::readDelayFields(SyzFields& f) const {
    f.teta = s(txtTeta);
    f.mdim = s(txtMDIM);
    f.ltau = s(txtLTAU);
    f.tau = grdTable1->text();
    f.tmax = s(txtTmax);
    f.ndel = s(txtNDEL);
    f.ind = s(txtIND);
    f.z_1 = s(txtZ_1);
    f.i1g = s(txtI1G);
    f.nsc = s(txtNsc);
    f.dlx = s(txtDlx);
    f.drx = s(txtDrx);
    f.sclt = s(txtSCLT);
}

// ---------------------------------------------------------------- section 5.1.2

frmUni_512::frmUni_512(FormHost& host)
    : SyzDelayForm(host, 512, QStringLiteral("Синтез\\Кодирование одним ГЭ\\Уравнение с запаздыванием")) {
    int y = 8;
    addLabel(1, 10, y, QStringLiteral("1) Параметры модели"));
    txtAlfa = addField(1, 20, y += 28, kLabel1, QStringLiteral(" ALFA ="), QStringLiteral("txtAlfa"));
    txtBeta = addField(1, 20, y += kRow, kLabel1, QStringLiteral(" BETA ="), QStringLiteral("txtBeta"));
    txtGama = addField(1, 20, y += kRow, kLabel1, QStringLiteral(" GAMA ="), QStringLiteral("txtGama"));
    txtTeta = addField(1, 20, y += kRow, kLabel1, QStringLiteral("TETA ="), QStringLiteral("txtTeta"));
    buildDelaySheets(y + 48, false);
}

void frmUni_512::fillFields() {
    const Sec512::Fields f = Sec512::fieldsFromStore(host_.store());
    txtAlfa->setText(q(f.alfa));
    txtBeta->setText(q(f.beta));
    txtGama->setText(q(f.gama));
    fillDelayFields(f);
}

Sec512::Fields frmUni_512::currentFields() const {
    Sec512::Fields f;
    f.alfa = s(txtAlfa);
    f.beta = s(txtBeta);
    f.gama = s(txtGama);
    readDelayFields(f);
    return f;
}

// What the reading or the run would refuse is not written.
void frmUni_512::writeDataFile(const std::string& path) {
    const auto f = currentFields();
    checkByReading(
        path, [&](const std::string& p) { Sec512::Table_File(host_.store(), p, f); },
        [this] { dynamic_cast<Sec512&>(*core()).checkLimits(host_.store()); });
    Sec512::Table_File(host_.store(), path, f);
}

}  // namespace velta
