#include "data/forms/delayform.h"

#include "data/forms/formgrid.h"

#include <QLabel>
#include <QScrollBar>

namespace velta {

namespace {

constexpr int kRow = 26;
constexpr int kLine = 18;

// The delay grid: column 2 (the values) 2250 twips wide, the others 1000.
constexpr int kNarrow = 67, kWide = 150;
constexpr int kGridLeft = 20, kGridTop = 40;
constexpr int kGridMaxHeight = SectionForm::kFrameHeight - kGridTop - 10;

}  // namespace

void DelayForm::addDelayBlock(int y, int lw, bool withPeriod) {
    addLabel(1, 10, y, QStringLiteral("2) Параметры уравнений с запаздываниями"));
    txtMDIM = addField(1, 20, y += 28, lw, QStringLiteral("Число уравнений,  MDIM ="),
                       QStringLiteral("txtMDIM"));
    txtLTAU = addField(1, 20, y += kRow, lw, QStringLiteral("Число запаздываний,  LTAU ="),
                       QStringLiteral("txtLTAU"));
    if (withPeriod)
        txtPTAU = addField(1, 20, y += kRow, lw, QStringLiteral("Период автоколебаний,  PTAU ="),
                           QStringLiteral("txtPTAU"));
    setSizingField(txtLTAU, "LTAU",
                   "После изменения  LTAU  не забудьте\nскорректировать таблицу на Листе #2");
}

void DelayForm::addDelaySheets(bool inPeriods, bool systemLines) {
    // ---- sheet 2: the delays
    addLabel(2, 10, 8,
             inPeriods ? QStringLiteral("Значения запаздываний (доли периода) в порядке возрастания")
                       : QStringLiteral("Значения запаздываний в порядке возрастания"));
    grdTable1 = addGrid(2, kGridLeft, kGridTop, QStringLiteral("grdTable1"));

    // ---- sheet 3: integration, initial function, plotted components
    const int lw3 = 120;
    int y;
    addLabel(3, 10, y = 8, QStringLiteral("3) Параметры численного метода интегрирования"));
    if (systemLines) addLabel(3, 10, y += kLine, QStringLiteral("    системы уравнений с запаздываниями"));
    addLabel(3, 10, y += kLine, QStringLiteral("    с постоянным шагом  H = TAU(LTAU) / NDEL"));
    if (systemLines) addLabel(3, 10, y += kLine, QStringLiteral("    на отрезке  [0,TMAX]"));
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

void DelayForm::showTauGrid(const GridText& g, int n) {
    grdTable1->setGrid(g, 2, n + 1, 2, 2, 3, n + 2);
    fitTauGrid();
}

void DelayForm::fitTauGrid() {
    FormGrid* g = grdTable1;
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

}  // namespace velta
