#include "data/forms/delayform.h"

#include "data/forms/formgrid.h"

#include <QScrollBar>

namespace velta {

namespace {

// The delay grid: column 2 (the values) 2250 twips wide, the others 1000.
constexpr int kNarrow = 67, kWide = 150;
constexpr int kGridLeft = 20, kGridTop = 40;
constexpr int kGridMaxHeight = SectionForm::kFrameHeight - kGridTop - 10;

}  // namespace

void DelayForm::addTauSheet(bool inPeriods) {
    addLabel(2, 10, 8,
             inPeriods ? QStringLiteral("Значения запаздываний (доли периода) в порядке возрастания")
                       : QStringLiteral("Значения запаздываний в порядке возрастания"));
    grdTable1 = addGrid(2, kGridLeft, kGridTop, QStringLiteral("grdTable1"));
}

int DelayForm::addMethodNotes(bool systemLines) {
    int y;
    addLabel(3, 10, y = 8, QStringLiteral("3) Параметры численного метода интегрирования"));
    if (systemLines) addLabel(3, 10, y += kLine, QStringLiteral("    системы уравнений с запаздываниями"));
    addLabel(3, 10, y += kLine, QStringLiteral("    с постоянным шагом  H = TAU(LTAU) / NDEL"));
    if (systemLines) addLabel(3, 10, y += kLine, QStringLiteral("    на отрезке  [0,TMAX]"));
    return y;
}

int DelayForm::addStartNotes(int y) {
    addLabel(3, 10, y, QStringLiteral("4) Начальные данные:  Z(i) = 0, i = 1,...,NDEL+1"));
    addLabel(3, 10, y += kLine, QStringLiteral("    Варианты задания начальных данных:"));
    addLabel(3, 10, y += kLine, QStringLiteral("    IND = 0 - \"возмущенное\" стационарное решение,"));
    addLabel(3, 10, y += kLine, QStringLiteral("    IND = 1 - нулевые начальные данные."));
    return y;
}

QLineEdit* DelayForm::addComponentList(int y) {
    addLabel(3, 10, y, QStringLiteral("5) Номера компонент, выводимых на график:"));
    addLabel(3, 10, y += kLine, QStringLiteral("    (число компонент <= min(12,MDIM))"));
    return addField(3, 20, y + 26, 0, QString(), QStringLiteral("txtI1G"), 300);
}

void DelayForm::addBoundNotes(int y) {
    addBoundLines(4, 300, y + 14,
                  {{QStringLiteral("           ALFA * DLX <= X(i) <= ALFA * DRX"),
                    QStringLiteral("                 SCLT <=  t   <= TMAX")},
                   {}});
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
