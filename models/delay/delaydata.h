// Blocks the data files of the delay sections (1.2, 2.2, 5.1.2, 5.2.2) share: integration,
// initial function, plotted components, table density and plot bounds.
#pragma once
#include "data/datafile.h"
#include "data/numtext.h"
#include "data/store.h"
#include "data/textfile.h"

#include <string>

namespace velta {

// Blocks 3 to 7 (TMAX, NDEL; IND, Z_1; IC; NSC; DLX, DRX, SCLT) into the store with their
// echo lines, NP1 and NP2 from NDEL; the reading is then complete (L = 0).
void readDelayRunBlocks(ParReader& r);

// v(1..n) as free-format texts joined by "," (the one of models/autonomous.h).
std::string joinInts(const IVec& v, int n);

// The texts of blocks 3 to 7 of a window's fields f from the store g.
template <class F>
void delayRunTextsFromStore(const Store& g, F& f) {
    f.tmax = CStr(g.TMAX);
    f.ndel = CStr(g.NDEL);
    f.ind = CStr(g.IND);
    f.z_1 = CStr(g.Z_1);
    f.i1g = joinInts(g.IC, g.NCOMP);
    f.nsc = CStr(g.NSC);
    f.dlx = CStr(g.DLX);
    f.drx = CStr(g.DRX);
    f.sclt = CStr(g.SCLT);
}

// Blocks 3 to 7 of a data file from the texts of a window's fields f, the header lines from g.
template <class F>
void writeDelayRunBlocks(const Store& g, TextWriter& o, const F& f) {
    Head_File(g, o, 3);
    Key_File(o, "TMAX", f.tmax);
    Key_File(o, "NDEL", f.ndel);
    Head_File(g, o, 4);
    Key_File(o, "IND", f.ind);
    Key_File(o, "Z_1", f.z_1);
    Head_File(g, o, 5);
    o.line("IC(I):");
    o.line(f.i1g);
    Head_File(g, o, 6);
    Key_File(o, "NSC", f.nsc);
    Head_File(g, o, 7);
    Key_File(o, "Dlx", f.dlx);
    Key_File(o, "Drx", f.drx);
    Key_File(o, "Sclt", f.sclt);
}

}  // namespace velta
