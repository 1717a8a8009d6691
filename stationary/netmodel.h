// Pieces the stationary sections of the general network (2.1.3, 2.1.5, 2.1.7) share: the
// blocks of their data files (model, connection matrix MC, columns, continuation, Newton's
// method, plotted components), the window's grids and texts of them, and the powers in the
// sums of the network's regulation.
#pragma once
#include "data/context.h"
#include "data/datafile.h"
#include "data/error.h"
#include "data/keytable.h"
#include "data/store.h"
#include "stationary/continuation.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace velta {

// "Размерность системы NDIM должна быть от 1 до 20 (NDIM = n)".
std::string netDimText(int n);

// ---------------------------------------------------------------- data file

// Texts of the model block (sheet 1 of the windows).
struct NetModelFields {
    std::string mclass, ndim, alfa, beta, gama;
};
// Texts of the continuation block and of Newton's method.
struct ContFields {
    std::string qmin, qmax, qsolv, hstep, emin, emax, accel;
    std::string exact, limit, limit0;
};

// How a section spells MCLASS in its file, and the labels its window puts before the
// model's fields.
struct NetModelWording {
    const char* mclassKey;
    const char *mclass, *ndim, *alfa, *beta, *gama;
};

// Block 1: MCLASS, NDIM, ALFA, BETA, GAMA of O (the store as read, NetModelValues as
// checked) with the fields txtMclass ... txtGama of the window.
template <class O>
struct NetModelKeys {
    using F = NetModelFields;
    using K = Key<O, F>;
    constexpr explicit NetModelKeys(const NetModelWording& w)
        : k{K{1},
            K{w.mclassKey, &O::MCLASS, &F::mclass}.shown("txtMclass", w.mclass),
            K{"NDIM", &O::NDIM, &F::ndim}.shown("txtNdim", w.ndim),
            K{"ALFA", &O::ALFA, &F::alfa}.shown("txtAlfa", w.alfa),
            K{"BETA", &O::BETA, &F::beta}.shown("txtBeta", w.beta),
            K{"GAMA", &O::GAMA, &F::gama}.shown("txtGama", w.gama)} {}
    constexpr KeyTable<O, F> table() const { return k; }
    K k[6];
};

// Reads the data file at dataPath into the context's store (readParFile): block 1, the model
// (readNetModel), block 2, the connection matrix (readConnectionMatrix, whole as there), then
// rest(r, NDIM) the section's own blocks.
void readNetFile(Ctx& c, const std::string& dataPath, const NetModelWording& model, bool whole,
                 const std::function<void(ParReader&, int)>& rest);

// Block 1 into the reader's store; an NDIM outside 1..kContMaxDim is refused, MC is
// allocated NDIM x NDIM.
void readNetModel(ParReader& r, const NetModelWording& model);
void writeNetModel(const Store& g, TextWriter& o, const NetModelWording& model, const NetModelFields& f);
// The texts of the store's model; ALFA is the given one (2.1.7 shows its starting value).
void fillNetModel(const Store& g, double alfa, NetModelFields& f);

// The model's values, through which sections 2.1.5 and 2.1.7 check a window's texts.
struct NetModelValues {
    i16 MCLASS = 0, NDIM = 0;
    double ALFA = 0, BETA = 0, GAMA = 0;
    Mat MC;  // NDIM x NDIM
};
// The store's model with the given ALFA.
NetModelValues netModelOf(const Store& g, double alfa);
// The texts as numbers, checked as block 1 reads them, MC from the matrix grid mc; a text
// that is not a number is refused with its key.
NetModelValues netModelOfFields(const NetModelFields& f, const NetModelWording& model, const GridText& mc);

// Block 2 of the data file: the n rows of MC into mc (allocated n x n by the caller), each
// row echoed; the empty line the writer puts after the matrix is consumed when present.
// The values are 16-bit integers, or (whole = false, section 2.1.3) the numbers as read.
void readConnectionMatrix(ParReader& r, int n, Mat& mc, bool whole = true);

// After the label line: v(1..n), one number each, echoed "name(i) = v(i)".
void readColumn(ParReader& r, const std::string& name, Vec& v, int n);

// Block k: QMIN, QMAX, QSOLV, HSTEP, EMIN, EMAX, ACCEL (sections 2.1.3 and 2.1.7).
void readContBlock(ParReader& r, int k, ContSettings& s);
void writeContBlock(const Store& g, TextWriter& o, int k, const ContFields& f);
// Block k: LIMIT0, LIMIT, EXACT.
void readNewtonBlock(ParReader& r, int k, ContSettings& s);
void writeNewtonBlock(const Store& g, TextWriter& o, int k, const ContFields& f);
void fillContFields(const ContSettings& s, ContFields& f);
// The keys of both blocks with the fields of the windows (txtQmin ... txtEmax) and the labels
// the windows of 2.1.3 and 2.1.7 agree on; HSTEP is labelled by each window.
const KeyTable<ContSettings, ContFields>& contKeys();
const KeyTable<ContSettings, ContFields>& newtonKeys();
// The texts of both blocks as numbers (HSTEP under the key hstepKey); a text that is not a
// number is refused with its key.
void contOfFields(const ContFields& f, const char* hstepKey, ContSettings& s);

// After the label line of block k (NEND before it): the plotted components, at most min(n, 13),
// into IC(1..) and NCOMP of the reader's store, echoed "IC(j) = "; more than 12 are refused
// before a run.
void readPlotComponents(ParReader& r, int n);
// IC(1..NCOMP).
std::vector<int> plotComponents(const Store& g);

// Writes the texts f of a window of section Sec (2.1.5, 2.1.7) to path unless the reading or
// the run would refuse them: grids of another size than NDIM, values beyond Sec's limits.
template <class Sec>
void writeCheckedFile(const Store& g, const std::string& path, const typename Sec::Fields& f) {
    const typename Sec::Values v = Sec::valuesFromFields(f);
    if (v.NDIM != f.mc.rows() - 3)
        throw VeltaError("Таблицы не соответствуют размерности NDIM = " + f.ndim +
                         ": перейдите на другой лист, чтобы перестроить их");
    Sec::checkValues(v);
    Sec::Table_File(g, path, f);
}

// ---------------------------------------------------------------- window grids

// The matrix grid: "(i,j)" in the corner, the numbers 1..n heading the rows and columns,
// mc(i, j) in the cells (every value "0" when zeros).
GridText connectionGrid(const Mat& mc, int n, bool zeros);
// MC from the matrix grid (its n + 3 rows): 16-bit values, a text that is not one is refused
// as "MC(i,j)". Unallocated for a grid of no rows.
Mat matrixOfGrid(const GridText& t);
// v(1..) from column 2 of a column grid (rows 2..), a text that is not a number refused as
// "name(i)". Unallocated for a grid of no rows.
Vec columnOfGrid(const GridText& t, const std::string& name);

// ---------------------------------------------------------------- model

// The powers in the sums of the regulation: pw[j] = Y(j)^(GAMA-1), r[j] = Y(j)^GAMA, j = 1..n.
inline void networkPowers(const Vec& y, int n, double gama, double* pw, double* r) {
    for (int j = 1; j <= n; ++j) {
        pw[j] = std::pow(y(j), gama - 1);  // Y^(GAMA-1)
        r[j] = pw[j] * y(j);               // Y^GAMA
    }
}

}  // namespace velta
