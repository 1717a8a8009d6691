#include "data/forms/formgrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace velta {

namespace {

QColor fromBgr(std::uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

bool printable(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar ch : s)
        if (!ch.isPrint()) return false;
    return true;
}

}  // namespace

FormGrid::FormGrid(QWidget* parent, const QString& objectName) : QTableWidget(parent) {
    setObjectName(objectName);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The current cell shows as a focus frame; there is no selection.
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWordWrap(false);
}

void FormGrid::setVectorGrid(const GridText& g) {
    const int L = g.cols() - 3;
    setGrid(g, 2, 2, 2, L + 1, L + 2, 3);
}

void FormGrid::setGrid(const GridText& g, int r1, int r2, int c1, int c2, int lastCol, int lastRow) {
    r1_ = r1;
    r2_ = r2;
    c1_ = c1;
    c2_ = c2;
    const QSignalBlocker block(this);
    clear();
    setRowCount(g.rows());
    setColumnCount(g.cols());
    const std::vector<std::uint32_t> paint = Grid_Paint(lastCol, lastRow);
    const QColor fixed = palette().color(QPalette::Button);
    for (int r = 0; r < g.rows(); ++r) {
        setRowHeight(r, kRowHeight);
        for (int c = 0; c < g.cols(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(g.at(r, c)));
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(c == 0 ? (Qt::AlignLeft | Qt::AlignVCenter)
                                          : Qt::Alignment(Qt::AlignCenter));
            QColor back = fixed;
            if (r >= 1 && c >= 1 && r <= lastRow && c <= lastCol)
                back = fromBgr(paint[static_cast<std::size_t>(r * (lastCol + 1) + c)]);
            else if (r >= 1 && c >= 1) back = Qt::white;
            item->setBackground(back);
            item->setForeground(Qt::black);
            setItem(r, c, item);
        }
    }
    for (int c = 0; c < g.cols(); ++c) setColumnWidth(c, c == 0 ? kHeadWidth : kColWidth);
    if (r1_ <= r2_ && c1_ <= c2_) setCurrentCell(r1_, c1_);
    fitSize();
}

void FormGrid::fitSize() {
    int w = 2 * frameWidth();
    for (int c = 0; c < columnCount(); ++c) w += columnWidth(c);
    int h = 2 * frameWidth() + rowCount() * kRowHeight;
    if (w > maxWidth_) {
        w = maxWidth_;
        h += horizontalScrollBar()->sizeHint().height();
    }
    resize(w, h);
}

GridText FormGrid::text() const {
    GridText g(rowCount(), columnCount());
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) g.at(r, c) = cell(r, c).toStdString();
    return g;
}

QString FormGrid::cell(int r, int c) const {
    const QTableWidgetItem* it = item(r, c);
    return it ? it->text() : QString();
}

bool FormGrid::isValueCell(int r, int c) const { return r >= r1_ && r <= r2_ && c >= c1_ && c <= c2_; }

bool FormGrid::event(QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return QTableWidget::event(e);
}

void FormGrid::keyPressEvent(QKeyEvent* e) {
    const int r = currentRow(), c = currentColumn();
    const bool onValue = isValueCell(r, c);
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab: stepValueCell(1); return;
    case Qt::Key_Backtab: stepValueCell(-1); return;
    case Qt::Key_Left: moveWithin(0, -1); return;
    case Qt::Key_Right: moveWithin(0, 1); return;
    case Qt::Key_Up: moveWithin(-1, 0); return;
    case Qt::Key_Down: moveWithin(1, 0); return;
    case Qt::Key_Backspace:
        if (onValue) {
            QString t = item(r, c)->text();
            if (!t.isEmpty()) {
                // A surrogate pair is one character.
                const int n = (t.size() >= 2 && t.back().isLowSurrogate()) ? 2 : 1;
                t.chop(n);
                item(r, c)->setText(t);
            }
            emit edited();
        }
        return;
    default: break;
    }
    // Other control characters (Escape, Delete, Ctrl+letter) are not stored.
    if (onValue && printable(e->text()) && !(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        item(r, c)->setText(item(r, c)->text() + e->text());
        emit edited();
    }
}

void FormGrid::stepValueCell(int step) {
    if (r1_ > r2_ || c1_ > c2_) return;
    const int w = c2_ - c1_ + 1, n = (r2_ - r1_ + 1) * w;
    int k = isValueCell(currentRow(), currentColumn()) ? (currentRow() - r1_) * w + (currentColumn() - c1_)
                                                       : (step > 0 ? -1 : 0);
    k = ((k + step) % n + n) % n;
    setCurrentCell(r1_ + k / w, c1_ + k % w);
}

void FormGrid::moveWithin(int dr, int dc) {
    if (!isValueCell(currentRow(), currentColumn())) return;
    const int r = currentRow() + dr, c = currentColumn() + dc;
    if (isValueCell(r, c)) setCurrentCell(r, c);
}

void FormGrid::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (!idx.isValid() || !isValueCell(idx.row(), idx.column())) return;
    setCurrentCell(idx.row(), idx.column());
    item(idx.row(), idx.column())->setText(QString());
    emit edited();
}

void FormGrid::mouseMoveEvent(QMouseEvent* e) { e->accept(); }
void FormGrid::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }
void FormGrid::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }

}  // namespace velta
