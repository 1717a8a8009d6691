// Section 2.1: general gene network, autonomous system, Cauchy problem (window frmUni_21).
// NDIM elements linked by an arbitrary connection matrix MC, model classes 1..4.
#pragma once
#include "data/datafile.h"
#include "models/autonomous.h"
#include "models/section.h"

#include <string>

namespace velta {

class Sec21 : public SectionCore {
public:
    int code() const override { return 21; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // Texts of the input window's fields and grids: the model (sheet 1, with the initial
    // data), the connection matrix (sheet 2), then the network sheets.
    struct Fields : NetworkFields {
        std::string mclass, ndim, alfa, beta, gama;
        GridText mc;
    };
    // The texts the window shows after a reading (free-format texts of the store values).
    static Fields fieldsFromStore(const Store& g);
    // The keys of block 1 with the fields of sheet 1.
    static const KeyTable<Store, Fields>& keys();
    // Matrix grid of the window (Matr_Dspl): NDIM + 3 rows and columns, cell (0,0) "(i,j)",
    // numbers 1..NDIM in row 0 and column 0 at positions 2..NDIM+1, cell (i+1, j+1) the
    // free-format text of MC(i,j), or "0" everywhere when zeros is set.
    static GridText matrixGrid(const Mat& mc, int n, bool zeros);
    // Writes the ".mtrd" data file: eleven blocks with the header-store lines of g.
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // Right-hand sides F(XV) into FV. Class 1 counts every positive MC(i,j) as a link,
    // classes 2..4 only entries equal to 1.
    static void Vych_PCH2(Store& g);
    // Refuses values the computation cannot work with, before anything is computed.
    static void checkLimits(Store& g);
    // Results header (at j = 1, NDIM + 15 lines) and one row every NSC steps.
    static void Rezults(Store& g, TextWriter& out, i32 j, double t);
};

}  // namespace velta
