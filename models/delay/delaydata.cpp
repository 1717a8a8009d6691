#include "models/delay/delaydata.h"

#include "data/numtext.h"
#include "data/store.h"

#include <algorithm>
#include <vector>

namespace velta {

void readDelayRunBlocks(ParReader& r) {
    Store& g = r.store();
    // 3. integration
    r.Head_Input(3);
    r.Key_InputR("TMAX", g.TMAX);
    r.Key_InputI("NDEL", g.NDEL);
    g.NP1 = toI16(g.NDEL + 1.0);
    g.NP2 = toI16(2.0 * g.NDEL);
    r.echo("NP1  = " + CStr(g.NP1));
    r.echo("NP2  = " + CStr(g.NP2));
    // 4. initial function
    r.Head_Input(4);
    r.Key_InputI("IND", g.IND);
    r.Key_InputR("Z_1", g.Z_1);
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
    r.Head_Input(6);
    r.Key_InputI("NSC", g.NSC);
    r.Head_Input(7);
    r.Key_InputR("DLX", g.DLX);
    r.Key_InputR("DRX", g.DRX);
    r.Key_InputR("SCLT", g.SCLT);
    g.L = 0;
}

}  // namespace velta
