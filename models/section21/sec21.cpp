// Section 2.1: reading and writing the ".mtrd" data file, the right-hand sides of the four
// model classes over the connection matrix, the integrator and its results table
// "\User\Results.mtr".
#include "models/section21/sec21.h"

#include "data/keytable.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textlist.h"
#include "models/autonomous.h"
#include "stationary/netmodel.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

namespace velta {

namespace {

// The links of every equation, in the order j = 1..NDIM: equation i uses
// idx[start[i] .. start[i+1]-1]. Class 1 counts MC(i,j) > 0, the others MC(i,j) = 1.
struct Links {
    std::vector<int> start, idx;
    Links(const Mat& mc, int n, int mclass) : start(static_cast<std::size_t>(n) + 2, 0) {
        for (int i = 1; i <= n; ++i) {
            start[static_cast<std::size_t>(i)] = static_cast<int>(idx.size());
            const double* row = mc.row(i);
            for (int j = 1; j <= n; ++j)
                if (mclass == 1 ? row[j] > 0 : row[j] == 1) idx.push_back(j);
        }
        start[static_cast<std::size_t>(n) + 1] = static_cast<int>(idx.size());
    }
};

// F(XV) into FV; sums and products over the links of each equation, empty sum 0 and
// empty product 1. Another class leaves FV as it was.
void rhs(int mclass, int n, const Links& L, double alfa, double beta, const Power& pw, const double* xv,
         double* xg, double* fv) {
    if (mclass == 1 || mclass == 2 || mclass == 4)
        for (int j = 1; j <= n; ++j) xg[j] = pw(xv[j]);
    const int* idx = L.idx.data();
    const int* st = L.start.data();
    switch (mclass) {
    case 1:  // ALFA / (1 + BETA * sum X(j)^GAMA)
        for (int i = 1; i <= n; ++i) {
            double s = 0;
            for (int k = st[i]; k < st[i + 1]; ++k) s += xg[idx[k]];
            fv[i] = alfa / (1 + beta * s);
        }
        break;
    case 2:  // ALFA / prod (1 + BETA * X(j)^GAMA)
        for (int i = 1; i <= n; ++i) {
            double p = 1;
            for (int k = st[i]; k < st[i + 1]; ++k) p *= 1 + beta * xg[idx[k]];
            fv[i] = alfa / p;
        }
        break;
    case 3:  // ALFA / (1 + BETA * (prod X(j))^GAMA)
        for (int i = 1; i <= n; ++i) {
            double p = 1;
            for (int k = st[i]; k < st[i + 1]; ++k) p *= xv[idx[k]];
            fv[i] = alfa / (1 + beta * pw(p));
        }
        break;
    case 4:  // ALFA * sum 1 / (1 + BETA * X(j)^GAMA)
        for (int i = 1; i <= n; ++i) {
            double s = 0;
            for (int k = st[i]; k < st[i + 1]; ++k) s += 1 / (1 + beta * xg[idx[k]]);
            fv[i] = alfa * s;
        }
        break;
    default: break;
    }
}

// NDIM*NDIM numbers row by row, separated by "," or line ends. The rest of the line after
// the last one is dropped, and so is the empty line the writer puts after the matrix.
void readMatrix(ParReader& r, int n) {
    Store& g = r.store();
    TextReader& in = r.in();
    std::vector<std::string> pieces;
    std::size_t next = 0;
    for (int i = 1; i <= n; ++i) {
        double* row = g.MC.row(i);
        std::string echo;
        for (int j = 1; j <= n; ++j) {
            if (next >= pieces.size()) {
                pieces = split(in.readLine(), ',');
                next = 0;
            }
            const std::string& p = pieces[next++];
            try {
                row[j] = textToReal(p);
            } catch (const std::exception&) {
                in.fail("число MC(" + CStr(i) + "," + CStr(j) + "), прочитано «" + quoteInput(p) + "»");
            }
            echo += CStr(row[j]) + "   ";
        }
        r.echo(echo);
    }
    r.skipEmptyValueLine();
}

}  // namespace

// ---------------------------------------------------------------- data file

namespace {

using F = Sec21::Fields;
using K = Key<Store, F>;
// Block 1: the model, with the rows of sheet 1.
constexpr K kModel[] = {
    K{1},
    K{"MClass", "MCLASS", &Store::MCLASS, &F::mclass}.shown("txtMclass", "Номер класса,  MCLASS ="),
    K{"NDIM", &Store::NDIM, &F::ndim}.shown("txtNdim", "Число элементов ГГС (размерность системы),  NDIM ="),
    K{"ALFA", &Store::ALFA, &F::alfa}.shown("txtAlfa", " ALFA ="),
    K{"BETA", &Store::BETA, &F::beta}.shown("txtBeta", " BETA ="),
    K{"GAMA", &Store::GAMA, &F::gama}.shown("txtGama", " GAMA =")};
constexpr KeyTable tModel{kModel};

}  // namespace

const KeyTable<Store, Sec21::Fields>& Sec21::keys() { return tModel; }

void Sec21::InputPar(Ctx& c) {
    readParFile(c.store, c.paths, dataPath, [](ParReader& r) {
        Store& g = r.store();
        // 1. model
        tModel.read(r, g);
        checkNdim(g);
        const int n = g.NDIM;
        allocVectors(autonomousVectors(g), n);
        g.MC.alloc(n, n);

        // 2. connection matrix
        r.Head_Input(2);
        readMatrix(r, n);

        readNetworkBlocks(r, 3, n);  // 3..11
    });
}

GridText Sec21::matrixGrid(const Mat& mc, int n, bool zeros) { return connectionGrid(mc, n, zeros); }

Sec21::Fields Sec21::fieldsFromStore(const Store& g) {
    Fields f;
    tModel.fill(g, f);
    f.mc = matrixGrid(g.MC, g.NDIM, false);
    fillNetworkFields(g, f);
    return f;
}

void Sec21::Table_File(const Store& g, const std::string& path, const Fields& f) {
    auto w = TextWriter::replace(path);
    TextWriter& o = *w;
    tModel.write(g, o, f);
    Head_File(g, o, 2);
    Matr_File(o, planeLength(f), f.mc);  // the matrix at the length of the plane's grids
    writeNetworkBlocks(g, o, 3, f, KeyStyle::Mixed);
    w->close();
}

// ---------------------------------------------------------------- model

void Sec21::Vych_PCH2(Store& g) {
    const int n = g.NDIM;
    if (n < 1 || g.XV.upper() < n || g.FV.upper() < n || g.XG.upper() < n || g.MC.rows() < n ||
        g.MC.cols() < n)
        throw VeltaError(kNotRead);
    const Links L(g.MC, n, g.MCLASS);
    rhs(g.MCLASS, n, L, g.ALFA, g.BETA, Power(g.GAMA), g.XV.data(), g.XG.data(), g.FV.data());
}

void Sec21::checkLimits(Store& g) {
    checkNdim(g);
    needVectors(autonomousVectors(g), g.NDIM);
    if (g.MC.rows() != g.NDIM || g.MC.cols() != g.NDIM) throw VeltaError(kNotRead);
    checkClass(g);
    checkNetworkRun(g);
}

// ---------------------------------------------------------------- results and canvas

void Sec21::Rezults(Store& g, TextWriter& out, i32 j, double t) {
    const int n = g.NDIM;
    const std::string e = "0.00000E+00";
    if (j == 1) {
        out.line("");
        out.line("Модель ZORM" + CStr(g.MCLASS) + "(" + CStr(g.NDIM) + ")");
        out.line("NDIM = " + Format(g.NDIM, "####"));
        out.line("TMAX = " + Format(g.TMAX, e));
        out.line("ALFA = " + Format(g.ALFA, e));
        out.line("BETA = " + Format(g.BETA, e));
        out.line("GAMA = " + Format(g.GAMA, e));
        out.line("");
        out.line("Матрица связей:");
        for (int i = 1; i <= n; ++i) {
            std::string row;
            for (int k = 1; k <= n; ++k) row += CStr(g.MC(i, k)) + "   ";
            out.line(row);
        }
        out.line("");
        writeTableTitle(out);
        writeColumnHead(out, n);
        g.NROW = 0;
    }
    if (tableStep(g, j)) writeTableRow(g, out, j, t, "0000");
}

// ---------------------------------------------------------------- integration

namespace {

// The general network in the autonomous scheme: F evaluated through XV and FV (which keep
// the last point after the run), the unit decay step summed from X1 first.
struct Network21 {
    static constexpr AutonomousPlan plan{21,   0,    "Results.mtr", "   ГГС общего вида",
                                         true, true, false,         StepCount::Round};
    Store& g;  // the store of the run
    std::optional<Links> links{};
    int n = 0, mclass = 0;
    std::size_t bytes = 0;
    double alfa = 0, beta = 0, ehi = 0, ec1 = 0, ec2 = 0;
    Power pw{0};
    double *f1 = nullptr, *f2 = nullptr, *xv = nullptr, *fv = nullptr, *xg = nullptr;

    void check() { Sec21::checkLimits(g); }
    void prepare() { setExpWeights(g); }
    void bind() {
        n = g.NDIM;
        bytes = sizeof(double) * static_cast<std::size_t>(n);
        links.emplace(g.MC, n, g.MCLASS);
        mclass = g.MCLASS;
        alfa = g.ALFA;
        beta = g.BETA;
        pw = Power(g.GAMA);
        ehi = g.EHI;
        ec1 = g.EC1;
        ec2 = g.EC2;
        f1 = g.F1.data();
        f2 = g.F2.data();
        xv = g.XV.data();
        fv = g.FV.data();
        xg = g.XG.data();
    }
    void eval(const double* x, double* f) {
        std::memcpy(xv + 1, x + 1, bytes);
        rhs(mclass, n, *links, alfa, beta, pw, xv, xg, fv);
        std::memcpy(f + 1, fv + 1, bytes);
    }
    void eval1(const double* x) { eval(x, f1); }
    void eval2(const double* x) { eval(x, f2); }
    double slope(int i, const double* x) const { return f1[i] - x[i]; }
    void correct(const double* x1, double* xnew, int m) const {
        unitDecayStep<SumOrder::StateFirst>(x1, f1, f2, xnew, m, ehi, ec1, ec2);
    }
    void rows(TextWriter& out, i32 j, double t) { Sec21::Rezults(g, out, j, t); }
    void finish(TextWriter&) {}
    void afterRun() {}
};

}  // namespace

void Sec21::Integr1(Ctx& c) {
    Network21 s{c.store};
    AutonomousIntegr(c, s);
}

}  // namespace velta
