// Section 1.1: symmetric gene network, autonomous system (window frmUni_11).
// A ring of NDIM identical elements, each regulated by its KMOD - 1 cyclic predecessors.
#pragma once
#include "data/datafile.h"
#include "models/autonomous.h"
#include "models/section.h"

#include <string>

namespace velta {

class Sec11 : public SectionCore {
public:
    int code() const override { return 11; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // Texts of the input window's fields and grids: the file layout of the symmetric
    // networks.
    using Fields = SymmetricFields;
    // The texts the window shows after a reading (free-format texts of the store values;
    // lists joined by ","; grids by vectorGrid).
    static Fields fieldsFromStore(const Store& g);
    // Writes the data file: every block with its header-store lines of g and the field texts.
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // Right-hand sides F(XV) into FV for the four classes.
    static void Vych_PCH(Store& g);
    // Stationary symmetric solution STAT by Newton's method (capped; error when it fails).
    static void Station(Store& g);
    // Refuses values the computation cannot work with, before anything is computed.
    static void checkLimits(Store& g);
    // Results header (at j = 1) and one row every NSC steps.
    static void Rezults(Store& g, TextWriter& out, i32 j, double t);
};

}  // namespace velta
