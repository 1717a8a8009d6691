#include "models/delay/delaydata.h"

#include "data/error.h"
#include "data/numtext.h"
#include "data/store.h"

#include <algorithm>
#include <vector>

namespace velta {

namespace {

// The reading needs no window: any texts with the members of the key tables serve.
struct RunTexts {
    std::string tmax, ndel, ind, z_1, nsc, dlx, drx, sclt;
};
using Run = DelayRunKeys<RunTexts>;

}  // namespace

void readDelayList(ParReader& r, bool emptyWhenNone) {
    Store& g = r.store();
    r.skipLine();
    if (emptyWhenNone && g.LTAU < 1) r.skipEmptyValueLine();
    for (int k = 1; k <= g.LTAU; ++k) {
        g.TAU(k) = r.readNumber();
        r.echo("TAUm(" + CStr(k) + ") = " + CStr(g.TAU(k)));
    }
}

GridText delayTauGrid(const Vec& tau, int ltau, bool zeros) {
    if (ltau < 0) throw VeltaError("Недопустимое число запаздываний: " + CStr(ltau));
    GridText t(ltau + 3, 4);
    t.at(0, 2) = "Значения TAU(I)";
    for (int k = 1; k <= ltau; ++k) {
        t.at(k + 1, 0) = "TAU(" + CStr(k) + ")";
        t.at(k + 1, 2) = zeros || k > tau.upper() ? std::string("0") : CStr(tau(k));
    }
    return t;
}

void readDelayRunBlocks(ParReader& r) {
    Store& g = r.store();
    // 3. integration
    KeyTable{Run::step}.read(r, g);
    g.NP1 = toI16(g.NDEL + 1.0);
    g.NP2 = toI16(2.0 * g.NDEL);
    r.echo("NP1  = " + CStr(g.NP1));
    r.echo("NP2  = " + CStr(g.NP2));
    // 4. initial function
    KeyTable{Run::start}.read(r, g);
    // 5. plotted components, at most MDIM of them
    r.Head_Input(5);
    r.skipLine();
    const std::vector<i16> ic = r.readList(std::clamp<int>(g.MDIM, 0, 13), "IC", g.MDIM, "MDIM");
    g.NCOMP = static_cast<i16>(ic.size());
    for (int j = 1; j <= g.NCOMP; ++j) {
        g.IC(j) = ic[static_cast<std::size_t>(j - 1)];
        r.echo("IC(" + CStr(j) + ") = " + CStr(g.IC(j)));
    }
    // 6, 7
    KeyTable{Run::tail}.read(r, g);
    g.L = 0;
}

}  // namespace velta
