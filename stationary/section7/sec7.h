// Section 7: stationary solutions of the fully connected network M(NDIM,NDIM) of class 1,
// dx_i/dt = ALFA / (1 + BETA * sum over j <> i of x_j^GAMA) - x_i (window frmUni_7): the
// symmetric branch UU(ALFA) and the partially symmetric one, LL components equal to u1 and
// NDIM - LL equal to u2, followed along the ratio s = u1/u2.
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
#include "models/section.h"

#include <string>
#include <vector>

namespace velta {

class Sec7 : public SectionCore {
public:
    int code() const override { return 7; }
    // Reads the ".stRd" file (four blocks); the plot bounds SCRX, SCRY follow from it.
    void InputPar(Ctx& c) override;
    // The positivity interval of g(s), both branches, "\User\Results.stR",
    // "\User\Symmetr.stR" and the diagram.
    void Integr1(Ctx& c) override;

    // ---- window texts and data file
    struct Fields {
        std::string ndim, beta, gama, ll;   // sheet 1
        std::string smax, sh, hmax, delta;  // sheet 2
        std::string almax;                  // sheet 3
        std::string drx, dry;               // sheet 4
    };
    static Fields fieldsFromStore(const Store& g);
    // The file's keys with the window's fields.
    static const KeyTable<Store, Fields>& keys();
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // ---- the model
    // g(s) = (s^GAMA - 1)/(s - 1) - (LL - 1)*s^GAMA + LL - NDIM; g > 0 exactly where a
    // partially symmetric solution with u1/u2 = s exists, and then BETA*u2^GAMA = 1/g.
    static double F_GS(const Store& g, double s);
    struct Point {
        double alfa = 0, u1 = 0, u2 = 0;
    };
    // The point of the partially symmetric branch with ratio s (g = g(s) > 0).
    static Point F_AU12(const Store& g, double s, double gs);
    // ALFA of the symmetric solution UU: (UU^GAMA*(NDIM - 1)*BETA + 1)*UU.
    static double symAlfa(const Store& g, double uu);

    // Scan of [0, Smax] by the step SH for the sign changes of g: the lines it writes.
    struct Scan {
        bool ok = false;        // the interval was found
        double sL = 0, sR = 0;  // sR only when LL > 1
        long IT = 0;            // scan steps made
        std::vector<std::string> lines;
    };
    static Scan scanPositivity(Ctx& c);

    // Bad input refused before anything is computed (old results stay untouched).
    static void checkLimits(const Store& g);
    // Frame of the diagram and its legend.
    static void DrawMesh3(Ctx& c);

    // ---- values of the last run
    double UU = 0, s = 0, sL = 0, sR = 0, ALmin = 0;
    double u1 = 0, u2 = 0;
    int symRows = 0, partRows = 0;  // table rows of the two branches
};

}  // namespace velta
