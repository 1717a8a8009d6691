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
    : SectionForm(host, code, caption, sheets), matrixMaxHeight_(matrixMaxHeight) {}

void StationaryNetForm::Matr_Dspl(bool zeros) {
    const Store& g = host_.store();
    const int n = g.NDIM;
    grdTable->setGrid(connectionGrid(zeros ? Mat() : g.MC, n, zeros), 2, n + 1, 2, n + 1, n + 2, n + 2);
    sheetgrid::fitMatrix(grdTable, matrixMaxHeight_);
}

void StationaryNetForm::setDimension(i16 n) { host_.store().NDIM = n; }

std::vector<FieldText<NetModelFields>> StationaryNetForm::modelTexts() const {
    using F = NetModelFields;
    return {{txtMclass, &F::mclass},
            {txtNdim, &F::ndim},
            {txtAlfa, &F::alfa},
            {txtBeta, &F::beta},
            {txtGama, &F::gama}};
}

std::vector<FieldText<ContFields>> StationaryNetForm::contTexts() const {
    using F = ContFields;
    return {{txtQmin, &F::qmin},   {txtQmax, &F::qmax},   {txtQsolv, &F::qsolv},   {txtHstep, &F::hstep},
            {txtExact, &F::exact}, {txtLimit, &F::limit}, {txtLimit0, &F::limit0}, {txtAccel, &F::accel},
            {txtEmin, &F::emin},   {txtEmax, &F::emax}};
}

void StationaryNetForm::showNetFields(const NetModelFields& m, const ContFields& c) {
    showTexts(modelTexts(), m);
    showTexts(contTexts(), c);
}

void StationaryNetForm::readNetFields(NetModelFields& m, ContFields& c) const {
    readTexts(modelTexts(), m);
    readTexts(contTexts(), c);
}

}  // namespace velta
