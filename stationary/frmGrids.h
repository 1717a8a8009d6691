// Grids of the stationary windows 2.1.5 and 2.1.7: where they stand on their sheet and how
// they are sized to it.
#pragma once
#include "data/forms/formgrid.h"
#include "data/forms/sectionform.h"

namespace velta::sheetgrid {

// Place of a grid on its sheet and the room it may take.
constexpr int kLeft = 20, kTop = 56;
constexpr int kMaxWidth = SectionForm::kFrameWidth - 2 * kLeft;
constexpr int kMaxHeight = SectionForm::kFrameHeight - kTop - 10;

// Sizes a grid to its columns and rows within the sheet; a larger one scrolls both ways.
void fitToSheet(FormGrid* g);
// Every column of the matrix grid is 600 twips wide, the index column too.
void fitMatrix(FormGrid* g);
// The column grid of a vector: numbers, a narrow frame column, the values, a frame column.
void fitColumn(FormGrid* g);

}  // namespace velta::sheetgrid
