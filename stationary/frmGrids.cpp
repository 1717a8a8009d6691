#include "stationary/frmGrids.h"

#include <QScrollBar>

#include <algorithm>

namespace velta::sheetgrid {

void fitToSheet(FormGrid* g) {
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const int fw = 2 * g->frameWidth();
    const int vbar = g->verticalScrollBar()->sizeHint().width();
    const int hbar = g->horizontalScrollBar()->sizeHint().height();
    int w = fw, h = fw + g->rowCount() * FormGrid::kRowHeight;
    for (int c = 0; c < g->columnCount(); ++c) w += g->columnWidth(c);
    bool hs = w > kMaxWidth, vs = h > kMaxHeight;
    if (hs) h += hbar;
    if (h > kMaxHeight) vs = true;
    if (vs) {
        w += vbar;
        if (w > kMaxWidth && !hs) h += hbar;
    }
    g->resize(std::min(w, kMaxWidth), std::min(h, kMaxHeight));
}

void fitMatrix(FormGrid* g) {
    for (int c = 0; c < g->columnCount(); ++c) g->setColumnWidth(c, FormGrid::kColWidth);
    fitToSheet(g);
}

void fitColumn(FormGrid* g) {
    g->setColumnWidth(0, FormGrid::kHeadWidth);
    g->setColumnWidth(1, 14);
    g->setColumnWidth(2, 130);
    g->setColumnWidth(3, 14);
    fitToSheet(g);
}

}  // namespace velta::sheetgrid
