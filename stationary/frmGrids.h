// What the input windows of the stationary network sections (2.1.3, 2.1.5, 2.1.7) share: where
// their grids stand on a sheet and how they are sized to it, and the fields of the model and
// of the continuation, laid out from their keys, with the grid of the connection matrix MC.
#pragma once
#include "data/forms/formgrid.h"
#include "data/forms/qtext.h"
#include "data/forms/sectionform.h"
#include "data/forms/sheets.h"
#include "stationary/netmodel.h"

#include <string>
#include <vector>

namespace velta {

namespace sheetgrid {

// Vertical pitch of the rows of a sheet and of the explanatory lines.
constexpr int kRow = 26, kLine = 18;
// Place of a grid on its sheet and the room it may take.
constexpr int kLeft = 20, kTop = 56;
constexpr int kMaxWidth = SectionForm::kFrameWidth - 2 * kLeft;
constexpr int kMaxHeight = SectionForm::kFrameHeight - kTop - 10;

// Sizes a grid to its columns and rows within the sheet (maxHeight high at most); a larger
// one scrolls both ways.
void fitToSheet(FormGrid* g, int maxHeight = kMaxHeight);
// Every column of the matrix grid is 600 twips wide, the index column too.
void fitMatrix(FormGrid* g, int maxHeight = kMaxHeight);
// The column grid of a vector: numbers, a narrow frame column, the values, a frame column.
void fitColumn(FormGrid* g);
// A column grid t of n values (rows 2..n+1, the values in column 2), sized as fitColumn.
void showColumn(FormGrid* g, const GridText& t, int n);

}  // namespace sheetgrid

// A window of a stationary network section. The section's window lays out the fields of the
// model, of the continuation and of Newton's method from their keys (addModelRows, addKeyRows)
// and places the matrix grid grdTable on its sheets; this class fills and reads those fields,
// shows MC and takes NDIM as the sizing field.
class StationaryNetForm : public SheetForm {
public:
    // Grid of MC at the store's NDIM.
    void Matr_Dspl(bool zeros);

protected:
    // matrixMaxHeight: the room of the matrix grid on its sheet.
    StationaryNetForm(FormHost& host, int code, const QString& caption, int sheets,
                      int matrixMaxHeight = sheetgrid::kMaxHeight);

    // Sheet 1: the model's rows from (20, 36) under the heading, labels right-aligned in 420,
    // worded as the section's model says; NDIM sizes the grids, reminder is shown on a click
    // into it. Returns the y of the last row.
    int addModelRows(const NetModelWording& model, const std::string& reminder);
    // EXACT, LIMIT, LIMIT0, ACCEL, EMIN, EMAX from (20, 36) of the sheet. Returns the y of the
    // last row.
    int addNewtonRows(int sheet, int labelWidth);

    void showNetFields(const NetModelFields& m, const ContFields& c);
    void readNetFields(NetModelFields& m, ContFields& c) const;
    void setDimension(i16 n) override;

    std::vector<FieldText<NetModelFields>> model_;  // the model's fields
    std::vector<FieldText<ContFields>> cont_;       // the continuation's and Newton's fields
    FormGrid* grdTable = nullptr;

private:
    const int matrixMaxHeight_;
};

}  // namespace velta
