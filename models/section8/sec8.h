// Section 8: gene networks of ecological nature (window frmUni_8). A cycle of NDIM elements,
// each regulated by its KMOD - 1 predecessors, with production proportional to X(i) and
// logistic self-limitation: dX(i)/dt = F(i) - X(i)^2.
#pragma once
#include "data/datafile.h"
#include "models/autonomous.h"
#include "models/section.h"

#include <array>
#include <string>

namespace velta {

class Sec8 : public SectionCore {
public:
    int code() const override { return 8; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // Texts of the input window's fields and grids: the file layout of the symmetric
    // networks.
    using Fields = SymmetricFields;
    static Fields fieldsFromStore(const Store& g);
    // Writes the ".gsed" data file: ten blocks with the header-store lines of g.
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // Production terms F(XV) into FV, and the linear rate lambda(i) = -XV(i) into rate.
    static void Vych_PCH(Store& g, Vec& rate);
    // psi_k(z) = integral over s in [0,1] of s^(k-1) e^(-z s), k = 1..6 (slot 0 unused):
    // the recurrence for |z| > 0.1, the truncated series otherwise.
    static std::array<double, 7> Psi(double z);
    // Symmetric stationary solution STAT: Newton's method on G(Z) = 0, safeguarded by
    // bisection on a bracket of the root, capped with a message.
    static void Station(Store& g);
    static void checkLimits(Store& g);
    // Results header (at j = 1, 18 lines) and one row every NSC steps.
    static void Rezults(Store& g, TextWriter& out, i32 j, double t);

    // The rates at the current and at the predicted point (window-private vectors).
    static Vec LAM1, LAM2;
};

}  // namespace velta
