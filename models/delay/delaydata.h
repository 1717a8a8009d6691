// Blocks the data files of the delay sections (1.2, 2.2, 5.1.2, 5.2.2) share: integration,
// initial function, plotted components, table density and plot bounds.
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
#include "data/numtext.h"
#include "data/store.h"
#include "data/textfile.h"

#include <string>

namespace velta {

// Block 2 after its keys: the label line, then TAU(1..LTAU) of the reader's store echoed
// "TAUm(k) = "; emptyWhenNone: an empty value line stands for LTAU = 0 (as 5.1.2 writes it).
void readDelayList(ParReader& r, bool emptyWhenNone = false);
// Delay grid: LTAU + 3 rows, 4 columns; "Значения TAU(I)" in (0,2), "TAU(k)" in column 0
// and the values in column 2 of rows 2..LTAU+1 ("0" with zeros, or beyond the vector).
GridText delayTauGrid(const Vec& tau, int ltau, bool zeros);

// Blocks 3 to 7 (TMAX, NDEL; IND, Z_1; IC; NSC; DLX, DRX, SCLT) into the store with their
// echo lines, NP1 and NP2 from NDEL; the reading is then complete (L = 0).
void readDelayRunBlocks(ParReader& r);

// v(1..n) as free-format texts joined by "," (the one of models/autonomous.h).
std::string joinInts(const IVec& v, int n);

// The values of blocks 3, 4, 6 and 7 a window's texts stand for, when they are checked
// without a store.
struct DelayRunValues {
    double TMAX = 0, Z_1 = 0, DLX = 0, DRX = 0, SCLT = 0;
    i16 NDEL = 0, IND = 0, NSC = 0;
};

// The keys of blocks 3, 4 and 6-7 for a window's texts F and the values O (the store, or
// DelayRunValues), with their window fields and labels; the IC list of block 5 lies
// between them.
template <class F, class O = Store>
struct DelayRunKeys {
    using K = Key<O, F>;
    static constexpr K step[] = {K{3}, K{"TMAX", &O::TMAX, &F::tmax}.shown("txtTmax", "TMAX ="),
                                 K{"NDEL", &O::NDEL, &F::ndel}.shown("txtNDEL", "NDEL =")};
    static constexpr K start[] = {
        K{4}, K{"IND", &O::IND, &F::ind}.shown("txtIND", "IND ="),
        K{"Z_1", &O::Z_1, &F::z_1}.shown("txtZ_1", "\"Возмущение\" компоненты  Z(1) =")};
    static constexpr K tail[] = {
        K{6},
        K{"NSC", &O::NSC, &F::nsc}.shown("txtNsc", "NSC ="),
        K{7},
        K{"DLX", "Dlx", &O::DLX, &F::dlx}.checkedAs("DLX").shown("txtDlx", "DLX ="),
        K{"DRX", "Drx", &O::DRX, &F::drx}.checkedAs("DRX").shown("txtDrx", "DRX ="),
        K{"SCLT", "Sclt", &O::SCLT, &F::sclt}.checkedAs("SCLT").shown("txtSCLT", "SCLT =")};
};

// The texts of blocks 3 to 7 of a window's fields f from the store g.
template <class F>
void delayRunTextsFromStore(const Store& g, F& f) {
    using D = DelayRunKeys<F>;
    KeyTable{D::step}.fill(g, f);
    KeyTable{D::start}.fill(g, f);
    f.i1g = joinInts(g.IC, g.NCOMP);
    KeyTable{D::tail}.fill(g, f);
}

// Blocks 3 to 7 of a data file from the texts of a window's fields f, the header lines from g.
template <class F>
void writeDelayRunBlocks(const Store& g, TextWriter& o, const F& f) {
    using D = DelayRunKeys<F>;
    KeyTable{D::step}.write(g, o, f);
    KeyTable{D::start}.write(g, o, f);
    Head_File(g, o, 5);
    o.line("IC(I):");
    o.line(f.i1g);
    KeyTable{D::tail}.write(g, o, f);
}

// The values of the texts of blocks 3, 4, 6 and 7 into v, in file order; the first text
// that is not a number is refused with its key.
template <class F, class O>
void delayRunValuesOf(const F& f, O& v) {
    using D = DelayRunKeys<F, O>;
    KeyTable{D::step}.parse(f, v);
    KeyTable{D::start}.parse(f, v);
    KeyTable{D::tail}.parse(f, v);
}

}  // namespace velta
