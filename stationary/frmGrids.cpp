#include "stationary/frmGrids.h"

#include <QScrollBar>

#include <algorithm>

namespace velta {

namespace sheetgrid {

void fitToSheet(FormGrid* g, int maxHeight) {
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const int fw = 2 * g->frameWidth();
    const int vbar = g->verticalScrollBar()->sizeHint().width();
    const int hbar = g->horizontalScrollBar()->sizeHint().height();
    int w = fw, h = fw + g->rowCount() * FormGrid::kRowHeight;
    for (int c = 0; c < g->columnCount(); ++c) w += g->columnWidth(c);
    const bool hs = w > kMaxWidth;
    if (hs) h += hbar;
    if (h > maxHeight) {
        w += vbar;
        if (w > kMaxWidth && !hs) h += hbar;
    }
    g->resize(std::min(w, kMaxWidth), std::min(h, maxHeight));
}

void fitMatrix(FormGrid* g, int maxHeight) {
    for (int c = 0; c < g->columnCount(); ++c) g->setColumnWidth(c, FormGrid::kColWidth);
    fitToSheet(g, maxHeight);
}

void fitColumn(FormGrid* g) {
    g->setColumnWidth(0, FormGrid::kHeadWidth);
    g->setColumnWidth(1, 14);
    g->setColumnWidth(2, 130);
    g->setColumnWidth(3, 14);
    fitToSheet(g);
}

void showColumn(FormGrid* g, const GridText& t, int n) {
    g->setGrid(t, 2, n + 1, 2, 2, 3, n + 2);
    fitColumn(g);
}

}  // namespace sheetgrid

StationaryNetForm::StationaryNetForm(FormHost& host, int code, const QString& caption, int sheets,
                                     int matrixMaxHeight)
    : SheetForm(host, code, caption, sheets), matrixMaxHeight_(matrixMaxHeight) {}

void StationaryNetForm::Matr_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = g.NDIM;
    grdTable->setGrid(connectionGrid(zeros ? Mat() : g.MC, n, zeros), 2, n + 1, 2, n + 1, n + 2, n + 2);
    sheetgrid::fitMatrix(grdTable, matrixMaxHeight_);
}

void StationaryNetForm::setDimension(i16 n) { host_.store().NDIM = n; }

int StationaryNetForm::addModelRows(const NetModelWording& model, const std::string& reminder) {
    const int last = addKeyRows(1, 20, 36, 420, NetModelKeys<Store>(model).table(), 1, model_);
    for (const auto& l : model_)
        if (l.text == &NetModelFields::ndim) setSizingField(l.edit, "NDIM", reminder);
    return last;
}

int StationaryNetForm::addNewtonRows(int sheet, int labelWidth) {
    const int y = addKeyRows(sheet, 20, 36, labelWidth, newtonKeys(), {{"EXACT"}, {"LIMIT"}, {"LIMIT0"}},
                             cont_);
    return addKeyRows(sheet, 20, y + kRow, labelWidth, contKeys(), {{"ACCEL"}, {"EMIN"}, {"EMAX"}}, cont_);
}

void StationaryNetForm::showNetFields(const NetModelFields& m, const ContFields& c) {
    showTexts(model_, m);
    showTexts(cont_, c);
}

void StationaryNetForm::readNetFields(NetModelFields& m, ContFields& c) const {
    readTexts(model_, m);
    readTexts(cont_, c);
}

}  // namespace velta
