#include "models/section21/frmUni_21.h"

#include <QScrollBar>

#include <algorithm>

namespace velta {

namespace {

// Place of the matrix grid on sheet 2 and the room it may take.
constexpr int kMatrLeft = 20, kMatrTop = 40;
constexpr int kMatrMaxWidth = SectionForm::kFrameWidth - 2 * kMatrLeft;
constexpr int kMatrMaxHeight = SectionForm::kFrameHeight - kMatrTop - 10;

// Every column of the matrix grid is 600 twips wide, the index column too; a network too
// large for the sheet scrolls in both directions.
void fitMatrix(FormGrid* g) {
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (int c = 0; c < g->columnCount(); ++c) g->setColumnWidth(c, FormGrid::kColWidth);
    const int fw = 2 * g->frameWidth();
    const int vbar = g->verticalScrollBar()->sizeHint().width();
    const int hbar = g->horizontalScrollBar()->sizeHint().height();
    int w = fw + g->columnCount() * FormGrid::kColWidth;
    int h = fw + g->rowCount() * FormGrid::kRowHeight;
    bool hs = w > kMatrMaxWidth, vs = h > kMatrMaxHeight;
    if (hs) h += hbar;
    if (h > kMatrMaxHeight) vs = true;
    if (vs) {
        w += vbar;
        if (w > kMatrMaxWidth && !hs) {
            hs = true;
            h += hbar;
        }
    }
    g->resize(std::min(w, kMatrMaxWidth), std::min(h, kMatrMaxHeight));
}

// Beside LGRAPH: the three planes, the Poincaré line without the trailing blank.
const QStringList kPlotKindNotes = {QStringLiteral("LGRAPH = 1 - в физической плоскости,"),
                                    QStringLiteral("LGRAPH = 2 - в фазовой плоскости,"),
                                    QStringLiteral("LGRAPH = 3 - в плоскости Пуанкаре"),
                                    QStringLiteral("(LSCREEN = 0 при LGRAPH = 2,3).")};

}  // namespace

frmUni_21::frmUni_21(FormHost& host)
    : PlaneForm(host, 21, QStringLiteral("ГГС общего вида\\Автономная система. Задача Коши"), 5) {
    addNetworkModel(net_, QStringLiteral("1) Параметры модели ГГС классов 1-4"), Sec21::keys(),
                    "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #2,#3");

    // ---- sheet 2: the connection matrix
    addLabel(2, 10, 8, QStringLiteral("3) Матрица связей  MC(i,j)"));
    grdTable1 = addGrid(2, kMatrLeft, kMatrTop, QStringLiteral("grdTable1"), kMatrMaxWidth);

    plane_ = addPlaneSheet(3, 4, QStringLiteral("grdTable2"), QStringLiteral("grdTable3"));
    net_.run = addRunSheet(4, 5, {505, periodNotes(), kPlotKindNotes, 48, portionNotes()}, &net_.step);
    const int y = addPlotList(5, 9, net_.i1g, 48, plotCountNotes(), true);
    net_.scale = addScaleBlocks(5, y, 10, 380, alfaBounds());
}

void frmUni_21::Matr_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = g.NDIM;
    // Values in rows and columns 2..NDIM+1; Grid_Paint frames them in rows and columns 1
    // and NDIM+2.
    grdTable1->setGrid(Sec21::matrixGrid(g.MC, n, zeros), 2, n + 1, 2, n + 1, n + 2, n + 2);
    fitMatrix(grdTable1);
}

void frmUni_21::fillGrids(bool zeros) {
    Matr_Dspl(zeros);
    PlaneForm::fillGrids(zeros);
}

Sec21::Fields frmUni_21::currentFields() const {
    Sec21::Fields f;
    net_.read(f);
    plane_.read(f);
    f.mc = grdTable1->text();
    return f;
}

void frmUni_21::writeDataFile(const std::string& path) {
    const Sec21::Fields f = currentFields();
    fieldcheck::checkNetworkTexts(f, planeLength(f));
    fieldcheck::checkNetworkKeys(Sec21::keys(), f);
    Sec21::Table_File(host_.store(), path, f);
}

}  // namespace velta
