// Pieces the stationary sections of the general network (2.1.3, 2.1.5, 2.1.7) share: the
// connection matrix MC in the data file and in the window's grid.
#pragma once
#include "data/datafile.h"
#include "data/store.h"

namespace velta {

// The matrix grid: "(i,j)" in the corner, the numbers 1..n heading the rows and columns,
// mc(i, j) in the cells (every value "0" when zeros).
GridText connectionGrid(const Mat& mc, int n, bool zeros);

// Block 2 of the data file: the n rows of MC as 16-bit values, each row echoed; the empty
// line the writer puts after the matrix is consumed when present.
void readConnectionMatrix(ParReader& r, int n);

}  // namespace velta
