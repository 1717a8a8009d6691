#include "stationary/netmodel.h"

#include "data/error.h"
#include "data/keytable.h"
#include "data/numtext.h"

#include <algorithm>
#include <exception>
#include <string>

namespace velta {

namespace {

// The continuation block, HSTEP spelled hstepKey, and the block of Newton's method, headers
// from their block.
using CK = Key<ContSettings, ContFields>;
struct ContKeys {
    constexpr explicit ContKeys(const char* hstepKey)
        : k{CK{0},
            CK{"QMIN", &ContSettings::QMIN, &ContFields::qmin}.shown("txtQmin", "QMIN ="),
            CK{"QMAX", &ContSettings::QMAX, &ContFields::qmax}.shown("txtQmax", "QMAX ="),
            CK{"QSOLV", &ContSettings::QSOLV, &ContFields::qsolv}.shown("txtQsolv", "QSOLV ="),
            CK{hstepKey, &ContSettings::HSTEP, &ContFields::hstep}.shown("txtHstep", ""),
            CK{"EMIN", &ContSettings::EMIN, &ContFields::emin}.shown("txtEmin", "EMIN ="),
            CK{"EMAX", &ContSettings::EMAX, &ContFields::emax}.shown("txtEmax", "EMAX ="),
            CK{"ACCEL", &ContSettings::ACCEL, &ContFields::accel}.shown(
                "txtAccel", "Коэффициент увеличения текущего шага,  ACCEL =")} {}
    constexpr KeyTable<ContSettings, ContFields> table() const { return k; }
    CK k[8];
};
constexpr ContKeys kCont{"HSTEP"};
constexpr KeyTable tCont = kCont.table();
constexpr CK kNewton[] = {
    CK{0},
    CK{"LIMIT0", &ContSettings::LIMIT0, &ContFields::limit0}.shown(
        "txtLimit0", "Ограничение на число итераций в стартовой позиции,  LIMIT0 ="),
    CK{"LIMIT", &ContSettings::LIMIT, &ContFields::limit}.shown(
        "txtLimit", "Ограничение на число итераций в текущей позиции,  LIMIT ="),
    CK{"EXACT", &ContSettings::EXACT, &ContFields::exact}.shown("txtExact", "Точность метода,  EXACT =")};
constexpr KeyTable tNewton{kNewton};

}  // namespace

std::string netDimText(int n) {
    return "Размерность системы NDIM должна быть от 1 до " + CStr(kContMaxDim) + " (NDIM = " + CStr(n) + ")";
}

// ---------------------------------------------------------------- data file

void readNetFile(Ctx& c, const std::string& dataPath, const NetModelWording& model, bool whole,
                 const std::function<void(ParReader&, int)>& rest) {
    readParFile(c.store, c.paths, dataPath, [&](ParReader& r) {
        readNetModel(r, model);
        const int n = r.store().NDIM;
        readConnectionMatrix(r, n, r.store().MC, whole);
        rest(r, n);
    });
}

void readNetModel(ParReader& r, const NetModelWording& model) {
    Store& g = r.store();
    NetModelKeys<Store>(model).table().read(r, g);
    if (g.NDIM < 1 || g.NDIM > kContMaxDim) throw VeltaError(netDimText(g.NDIM));
    g.MC.alloc(g.NDIM, g.NDIM);
}

void writeNetModel(const Store& g, TextWriter& o, const NetModelWording& model, const NetModelFields& f) {
    NetModelKeys<Store>(model).table().write(g, o, f);
}

void fillNetModel(const Store& g, double alfa, NetModelFields& f) {
    f.mclass = CStr(g.MCLASS);
    f.ndim = CStr(g.NDIM);
    f.alfa = CStr(alfa);
    f.beta = CStr(g.BETA);
    f.gama = CStr(g.GAMA);
}

NetModelValues netModelOf(const Store& g, double alfa) {
    return NetModelValues{g.MCLASS, g.NDIM, alfa, g.BETA, g.GAMA, g.MC};
}

NetModelValues netModelOfFields(const NetModelFields& f, const NetModelWording& model, const GridText& mc) {
    NetModelValues v;
    NetModelKeys<NetModelValues>(model).table().parse(f, v);
    v.MC = matrixOfGrid(mc);
    return v;
}

void readConnectionMatrix(ParReader& r, int n, Mat& mc, bool whole) {
    r.Head_Input(2);
    for (int i = 1; i <= n; ++i) {
        std::string echo;
        for (int j = 1; j <= n; ++j) {
            const double v = r.readNumber();
            mc(i, j) = whole ? toI16(v) : v;
            echo += CStr(mc(i, j)) + "   ";
        }
        r.echo(echo);
    }
    r.skipEmptyValueLine();
}

void readColumn(ParReader& r, const std::string& name, Vec& v, int n) {
    r.skipLine();
    for (int i = 1; i <= n; ++i) {
        v(i) = r.readNumber();
        r.echo(name + "(" + CStr(i) + ") = " + CStr(v(i)));
    }
}

void readContBlock(ParReader& r, int k, ContSettings& s) { tCont.read(r, s, k); }

void writeContBlock(const Store& g, TextWriter& o, int k, const ContFields& f) { tCont.write(g, o, f, k); }

void readNewtonBlock(ParReader& r, int k, ContSettings& s) { tNewton.read(r, s, k); }

void writeNewtonBlock(const Store& g, TextWriter& o, int k, const ContFields& f) {
    tNewton.write(g, o, f, k);
}

void fillContFields(const ContSettings& s, ContFields& f) {
    tCont.fill(s, f);
    tNewton.fill(s, f);
}

const KeyTable<ContSettings, ContFields>& contKeys() { return tCont; }

const KeyTable<ContSettings, ContFields>& newtonKeys() { return tNewton; }

void contOfFields(const ContFields& f, const char* hstepKey, ContSettings& s) {
    ContKeys(hstepKey).table().parse(f, s);
    // Newton's method in the order the windows have always checked it, not the file's.
    s.EXACT = keyReal("EXACT", f.exact);
    s.LIMIT = keyInt("LIMIT", f.limit);
    s.LIMIT0 = keyInt("LIMIT0", f.limit0);
}

void readPlotComponents(ParReader& r, int n) {
    Store& g = r.store();
    r.skipLine();
    // IC has 13 slots; more than 12 is refused before a run.
    const std::vector<i16> ic = r.readList(std::min(n, 13), "IC", n, "NDIM");
    g.NCOMP = static_cast<i16>(ic.size());
    for (int m = 1; m <= g.NCOMP; ++m) {
        g.IC(m) = ic[static_cast<std::size_t>(m - 1)];
        r.echo("IC(" + CStr(m) + ") = " + CStr(g.IC(m)));
    }
}

std::vector<int> plotComponents(const Store& g) {
    std::vector<int> ic;
    for (int m = 1; m <= g.NCOMP; ++m) ic.push_back(g.IC(m));
    return ic;
}

// ---------------------------------------------------------------- window grids

GridText connectionGrid(const Mat& mc, int n, bool zeros) {
    if (n < 0) throw VeltaError("Недопустимая размерность матрицы: " + CStr(n));
    GridText t(n + 3, n + 3);
    t.at(0, 0) = "(i,j)";
    for (int i = 1; i <= n; ++i) {
        t.at(0, i + 1) = CStr(i);
        t.at(i + 1, 0) = CStr(i);
    }
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) t.at(i + 1, j + 1) = zeros ? std::string("0") : CStr(mc(i, j));
    return t;
}

Mat matrixOfGrid(const GridText& t) {
    Mat mc;
    const int n = t.rows() - 3;
    if (n < 1) return mc;
    mc.alloc(n, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            const std::string key = "MC(" + CStr(i) + "," + CStr(j) + ")";
            const double x = keyReal(key, t.at(i + 1, j + 1));
            try {
                mc(i, j) = toI16(x);
            } catch (const std::exception&) {
                fail("Недопустимое значение  " + key + " = " + t.at(i + 1, j + 1));
            }
        }
    return mc;
}

Vec columnOfGrid(const GridText& t, const std::string& name) {
    Vec v;
    const int n = t.rows() - 3;
    if (n < 1) return v;
    v.alloc(n);
    for (int i = 1; i <= n; ++i) v(i) = keyReal(name + "(" + CStr(i) + ")", t.at(i + 1, 2));
    return v;
}

}  // namespace velta
