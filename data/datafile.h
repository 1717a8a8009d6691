// Pieces of the parameter data files: the positional reader with its check-file echo,
// the grid and line writers, and the input check file "\User\Input.chk".
#pragma once
#include "data/store.h"
#include "data/textfile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velta {

class AppPaths;

// A plain table of cell texts, addressed (row, column) from 0; row 0 and column 0 are the
// header cells. The input windows' grids and the writers below share it.
class GridText {
public:
    GridText() = default;
    GridText(int rows, int cols) : rows_(rows), cols_(cols), cells_(static_cast<std::size_t>(rows * cols)) {}
    int rows() const { return rows_; }
    int cols() const { return cols_; }
    std::string& at(int r, int c);
    const std::string& at(int r, int c) const;
    // Cells of row r, columns c1..c2, joined by ",".
    std::string joinRow(int r, int c1, int c2) const;
    // Cells of column c, rows r1..r2, joined by ",".
    std::string joinCol(int c, int r1, int r2) const;

private:
    int rows_ = 0, cols_ = 0;
    std::vector<std::string> cells_;
};

// Vector grid of length L: 4 rows, L + 3 columns; header texts " Номера  компонент" and
// "Значения компонент", component numbers 1..L in row 0, the values in row 2 columns
// 2..L+1 as free-format text of v(1..L), or "0" everywhere when zeros is set.
GridText vectorGrid(const Vec& v, int L, bool zeros);

// Reader of one parameter data file (file 1) into the store g, echoing to the check file
// (file 2).
class ParReader {
public:
    ParReader(Store& g, TextReader& in, TextWriter& chk) : g_(g), in_(in), chk_(chk) {}

    // Two header lines into header-store slot k, each echoed as a line.
    void Head_Input(int k);
    // Key line: third piece of the line split at every single blank, converted; the echo
    // is label & " = " & the free-format text of the stored value.
    void Key_InputI(const std::string& label, i16& var);
    void Key_InputR(const std::string& label, double& var);
    // A label line that is skipped.
    void skipLine();
    // A list line: items split at ",", at most limit of them used, each converted to an
    // integer. An empty line has no items. With a key, every item used indexes a vector
    // and must lie in 1..hi: the error names key(j), hiName and the line.
    std::vector<i16> readList(int limit, const std::string& key = {}, int hi = 0,
                              const std::string& hiName = {});
    // Next number of a stream (see TextReader::readNumber).
    double readNumber();
    // With an empty index list (NK = 0) the writer still writes an empty value line:
    // consume it when the next line is empty, so that the following blocks do not shift.
    void skipEmptyValueLine();
    // One echo line to the check file.
    void echo(const std::string& text);

    // The store the file is read into.
    Store& store() { return g_; }
    TextReader& in() { return in_; }
    TextWriter& chk() { return chk_; }

private:
    Store& g_;
    TextReader& in_;
    TextWriter& chk_;
};

// Creates (replaces) "\User\Input.chk" and writes its first lines: the title, 31 hyphens
// and, unless blankThirdLine is false (section 1.2), a line holding one blank.
std::unique_ptr<TextWriter> createCheckFile(const AppPaths& paths, bool blankThirdLine = true);

// Reads a data file into the store g through fn(reader) with the check file open; any failure is rethrown
// as a VeltaError naming the file, the line number and what was expected, after both
// files were closed with what was written. A failed write of the check file is rethrown
// as it is (FileWriteError naming Input.chk).
void readParFile(Store& g, const AppPaths& paths, const std::string& dataPath,
                 const std::function<void(ParReader&)>& fn, bool blankThirdLine = true);

// Writers of file 1 from grid texts. The caller gives the sizes written (NDIM n, LTAU,
// MDIM): a window writes its grids at their own size, whatever the store last read.
void Vect_File(TextWriter& f, const std::string& title, int n, const GridText& g);        // row 2, n values
void VectTau_File(TextWriter& f, const std::string& title, int ltau, const GridText& g);  // row 2
void VectRow_File(TextWriter& f, const std::string& title, int r, int n, const GridText& g);  // n + 1 values
void VectM_File(TextWriter& f, const std::string& title, int r, int mdim, const GridText& g);
void Colm_File(TextWriter& f, const std::string& title, int n, const GridText& g);
void Matr_File(TextWriter& f, int n, const GridText& g);
void MatrTau_File(TextWriter& f, int mdim, int ltau, const GridText& g);
// Header-store slot k of g written back (two lines).
void Head_File(const Store& g, TextWriter& f, int k);
// Key line: key & " = " & text.
void Key_File(TextWriter& f, const std::string& key, const std::string& text);

// Background colours of the grid cells after Grid_Paint: white inside, RGB(224,224,224)
// on rows 1 and r and columns 1 and c. Returns 0x00BBGGRR per cell, row-major, (r+1)x(c+1).
std::vector<std::uint32_t> Grid_Paint(int lastCol, int lastRow);

}  // namespace velta
