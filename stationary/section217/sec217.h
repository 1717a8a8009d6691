// Section 2.1.7: diagram of the stationary solutions of a general gene network against
// ALFA and their stability (window frmUni_217). The continuation parameter QMOD is ALFA
// itself; every point at ALFA = QSOLV and every turning point is recorded, and STABL then
// classifies every point of the diagram and redraws it with stable and unstable parts.
#pragma once
#include "data/datafile.h"
#include "models/section.h"
#include "stationary/continuation.h"
#include "stationary/netmodel.h"

#include <string>
#include <vector>

namespace velta {

// The continuation settings (ContSettings) are the section's own values of blocks 4, 5 and 8.
class Sec217 : public SectionCore, public ContSettings {
public:
    int code() const override { return 217; }
    // Reads the ".diud" file (nine blocks); QMOD starts at ALFA with QMOD as the current
    // parameter.
    void InputPar(Ctx& c) override;
    // The diagram from the starting approximation between QMIN and QMAX, the continue and
    // stability questions, STABL: "\User\QSOLV.diu", "\User\BSOLV.diu", "\User\Results.diu",
    // "\User\INFOR.diu", "\User\NLIST.diu", "\User\STABL.diu".
    void Integr1(Ctx& c) override;

    // ---- the values of a data file
    struct Values : ContSettings, NetModelValues {
        Vec Y0;  // starting approximation 1..NDIM
        Vec H;   // 1..NDIM+1
        double STAB = 0;
        std::vector<int> IC;  // plotted components
        double SCLX = 0, SCRX = 0, SCLY = 0, SCRY = 0;
    };
    // Bad input refused with a message before anything runs.
    static void checkValues(const Values& v);
    Values valuesFromStore(const Store& g) const;
    void checkLimits(const Store& g) const { checkValues(valuesFromStore(g)); }

    // ---- the model: F_i = ALFA*g(i) - Y(i), g(i) = 1/(BETA*S(i) + 1), S(i) the sum of
    // Y(j)^GAMA over MC(i,j) = 1 (the element itself included when MC(i,i) = 1), ALFA = QMOD.
    class Model : public Continuation {
    public:
        void FUNCp() override;
        const Mat* mc = nullptr;
        double beta = 0, gama = 0;
        Store* store = nullptr;  // its ALFA and TETA follow the curve (nullptr: no store)
    };

    // ---- stability of a point
    enum class Verdict { Stable, Unstable, Undecided };
    struct Stability {
        Verdict verdict = Verdict::Undecided;
        double kappa = 0;   // 2*NORMA(H) at the last doubling
        int doublings = 0;  // doublings made
        double STABIL = 0;  // STAB - kappa
    };
    // Row-sum norm.
    static double NORMA(const Mat& m);
    // X*Z skipping the terms that cannot matter (|Z| < 1 with |X| < 1e-18, |X| < 1 with
    // |Z| < 1e-18).
    static Mat MULTI(const Mat& x, const Mat& z);
    // The doubling limit w = Int(log2(STAB*ln(2*sqrt(STAB)))) + 5, at least 1.
    static int doublingLimit(double STAB);
    // Numerical characteristic of stability of dY/dt = J*Y: with Ĵ = J/NORMA(J), the
    // integral H(T) of exp(Ĵᵀt)exp(Ĵt) over [0, T] is doubled in T until 2*NORMA(H)
    // exceeds STAB (unstable) or NORMA(exp(ĴT)) < 1e-6 (stable), or the limit is reached.
    static Stability stabilityOf(const Mat& J, double STAB);
    // Determinant from the pivots of GAUSS on k.A (0 when GAUSS finds it singular).
    static double DETp(Continuation& k);

    // One line of "\User\STABL.diu". An undecided point (doubling limit reached) prints
    // STAB - kappa of its last doubling and "   UNDEF".
    static std::string PRINTp(int istep, double qmod, const Stability& s, double det);

    // ---- window texts and data file
    // Sheet 1 the model, sheets 4 and 5 the continuation and Newton's method.
    struct Fields : NetModelFields, ContFields {
        GridText mc;                         // sheet 2
        GridText y0;                         // sheet 3
        GridText steps;                      // sheet 6
        std::string stab;                    // sheet 7
        std::string nend, ic;                // sheet 8
        std::string sclx, scrx, scly, scry;  // sheet 9
    };
    Fields fieldsFromStore(const Store& g) const;
    // The file's keys shown in the window: the model, blocks 7 and 8 (STAB; NEND) and block 9.
    struct FieldKeys {
        NetModelWording model;
        KeyTable<Sec217, Fields> stab, scales;
    };
    static const FieldKeys& fieldKeys();
    static Values valuesFromFields(const Fields& f);
    static GridText matrixGrid(const Mat& mc, int n, bool zeros);
    // Column grid: component numbers in column 0 and values in column 2, rows 2..n+1,
    // headers "Номера  компонент" and head in row 0.
    static GridText columnGrid(const Vec& v, int n, const std::string& head, bool zeros);
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // Frame of the diagram (x from 0 to SCRX, y from 0 to SCRY) with its legend.
    void DrawMesh3(Ctx& c);
    // Stability along the diagram of the last run: reads "\User\NLIST.diu" and
    // "\User\Results.diu", writes "\User\STABL.diu", redraws the curves.
    void STABL(Ctx& c);

    // ---- the section's values (the store holds MCLASS, NDIM, ALFA, BETA, GAMA, MC, IC)
    Vec Y0;            // starting approximation
    double ALFA0 = 0;  // starting ALFA as read (the store's ALFA follows the curve)
    Vec H;
    double STAB = 0;
    double SCLX = 0, SCRX = 0, SCLY = 0, SCRY = 0;
    Model k;  // continuation state of the last run

    // What STABL found in the last run: the QMOD of every stability change.
    std::vector<double> changes;
    int undecided = 0;
};

}  // namespace velta
