// Editable grid of the input windows (grdTable1, ...): cell texts of a GridText, a
// rectangle of value cells, the Grid_Paint background. There is no cell editor: a click
// into a value cell empties it, typed characters are appended to the current cell.
#pragma once
#include "data/datafile.h"

#include <QTableWidget>

namespace velta {

class FormGrid : public QTableWidget {
    Q_OBJECT
public:
    // Pixel widths of the header column (2100 twips) and of every other column (600 twips).
    static constexpr int kHeadWidth = 140;
    static constexpr int kColWidth = 40;
    static constexpr int kRowHeight = 20;

    FormGrid(QWidget* parent, const QString& objectName);

    // Rebuilds the grid from the texts; value cells are rows r1..r2, columns c1..c2;
    // backgrounds by Grid_Paint(lastCol, lastRow); the current cell becomes the first
    // value cell. The widget is sized to the columns, at most maxWidth wide.
    void setGrid(const GridText& g, int r1, int r2, int c1, int c2, int lastCol, int lastRow);
    // A vector grid of length L: values in row 2, columns 2..L+1; Grid_Paint(L+2, 3).
    void setVectorGrid(const GridText& g);
    // The cell texts as they stand.
    GridText text() const;
    QString cell(int r, int c) const;
    bool isValueCell(int r, int c) const;
    void setMaxWidth(int w) { maxWidth_ = w; }

signals:
    // A cell was emptied by a click or its text changed by a key.
    void edited();

protected:
    bool event(QEvent* e) override;  // Tab and Backtab reach keyPressEvent
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    // Moves the current cell by step value cells in reading order, wrapping around.
    void stepValueCell(int step);
    void moveWithin(int dr, int dc);
    void fitSize();

    int r1_ = 0, r2_ = -1, c1_ = 0, c2_ = -1;
    int maxWidth_ = 717;
};

}  // namespace velta
