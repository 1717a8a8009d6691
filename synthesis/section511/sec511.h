// Section 5.1.1: synthesis coded by one genetic element, autonomous system (window
// frmUni_511). A chain of NDIM compartments: the product of the element enters compartment
// 1, its synthesis is repressed by the last compartment, and the substance moves forward
// and backward along the chain with rates set by the transit times TAU1 and TAU2.
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
#include "models/autonomous.h"
#include "models/section.h"

#include <functional>
#include <string>

namespace velta {

// Root of g on the bracket [lo, hi] by Newton's method from x0, stopping after the first
// correction smaller than tol in magnitude (that correction is kept, as the plain method
// does). g must be negative left of the root and positive right of it. A Newton step that
// leaves the bracket or does not shrink |g| is replaced by bisection of the bracket, which
// every evaluation of g narrows; more than cap iterations is an error.
struct NewtonRoot {
    double x = 0;     // the root
    double base = 0;  // the point whose correction gave x
    int iterations = 0;
    int bisections = 0;
};
using NewtonFn = std::function<void(double x, double& g, double& gp)>;
NewtonRoot safeNewton(const NewtonFn& fn, double x0, double lo, double hi, double tol, int cap);

class Sec511 : public SectionCore {
public:
    int code() const override { return 511; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // Texts of the input window's fields; the run (RunFields) is sheet 2.
    struct Fields : RunFields {
        std::string ndim, alfa, beta, gama, teta, omeg, tau1, tau2;  // sheet 1
        std::string ind, xndim, x1;
        std::string i1g, nss, nsc, sclx, scrx, sclw, scrw, sclt;  // sheet 3
    };
    static Fields fieldsFromStore(const Store& g);
    // The file's keys with the window's fields: the model (block 1), the initial data
    // (block 2), the table densities and the plot bounds (blocks 7 and 8).
    static const KeyTable<Store, Fields>& modelKeys();
    static const KeyTable<Store, Fields>& startKeys();
    static const KeyTable<Store, Fields>& tailKeys();
    // Writes the data file: eight blocks with their header-store lines and the field texts.
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // Transfer rates of the chain: forward a, backward b, losses c1 (compartment 1) and
    // c2 (compartments 2..NDIM-1).
    struct Rates {
        double a = 0, b = 0, c1 = 0, c2 = 0;
    };
    static Rates rates(const Store& g);
    // Right-hand sides of dX/dt = FV + DV*X at XV.
    static void Vych_PCH(Store& g, const Rates& r);
    // Stationary solution XS: the chain in closed form, Newton for the last component.
    // Throws when it does not exist (" ZZZ < 0, STOP") or cannot be computed.
    static void Station(Store& g);
    // phi_k(z) = integral over 0..1 of s^(k-1) e^(-z s) ds, k = 1..6, into ph[1..6]:
    // the series for |z| <= 0.1, where the recurrence loses digits, the recurrence above.
    static void phiFunctions(double z, double ph[7]);
    // Corrector of dx/dt = D(t) x + F(t) over one step h, D and F linear between the ends:
    // x_new = E * (x + h * (A * F1 + B * F2)), the variation of D to second order.
    struct Weights {
        double A = 0, B = 0, E = 0;
    };
    static Weights corrector(double h, double d1, double d2);
    // Refuses values the computation cannot work with, before anything is computed.
    static void checkLimits(Store& g);
    // Results header and stationary listing (at j = 1) and one row every NSC steps.
    static void Rezults(Store& g, TextWriter& out, i32 j, double t, std::string& listing);
    // The stationary listing appended at the end of the results file.
    static void writeListing(TextWriter& out, const std::string& listing);
};

}  // namespace velta
