// Continuation of a curve of stationary solutions in a parameter (the engine of the
// sections 2.1.3, 2.1.5 and 2.1.7).
//
// The curve F_i(Y(1..NDIM), QMOD) = 0, i = 1..NDIM, lives in N1 = NDIM + 1 unknowns,
// Y(N1) = QMOD. At every point the unknown that changes fastest (INDEX) is held fixed and
// Newton's method (ADAPT) corrects the others; the step in INDEX is controlled by the
// standard steps H(i); between two accepted points a cubic Hermite interpolant finds the
// point at QMOD = QSOLV (QSOLVp) and the turning points in QMOD (TURNp).
//
// How a section uses it (each section owns its own instance; nothing is shared):
//   class MyCont : public Continuation {
//       void FUNCp() override;        // DY(1..NDIM) := F(Y), A(1..NDIM, 1..N1) := dF/dY
//   };
//   MyCont k;  k.setup(ndim);          // sizes every array (NDIM <= kContMaxDim), INDEX = N1
//   k.use(settings);                   // the section's ContSettings: QMIN ... NEND in one piece
//   fill Y, H, UL, UR
//   k.checkLimits();                   // VeltaError with the message for bad input
// (checkContSettings makes the same checks on a section's values before a run, no engine
// state needed.)
//   k.ctx = &c;  k.style = ContStyle::Short;   // messages: Short (2.1.3), Direct (2.1.7), Silent (2.1.5)
//   k.qsolvOut / bsolvOut / resultsOut = open writers (or nullptr: nothing written)
//   k.plotIC = list of plotted components (drawn by WRITEp through Graphic0)
//   ContEnd e = k.Syst_QB(endAtQsolv);  // the whole driver (2.1.3: true, 2.1.7: false)
//   then the section's own end of the run (INFOR box, end question, INFOR/NLIST files ...).
// Sections with a different loop (2.1.5) call the pieces themselves, in the order of the
// driver: ADAPT (MARK >= 1: failed) -> at ISTEP 0: WRITEp, INDEXp, firstStep -> per step:
// ++ISTEP, ADAPT, [QMOD outside: leaveInterval, WRITEp, QSOLVp], QSOLVp, TURNp, WRITEp,
// INDEXp, stepControl (false: MARK 7). QSOLVp/TURNp put the point into YR and write it
// only when qsolvOut/bsolvOut is set; WRITEp is virtual. beginCurve() resets ISTEP, NSOLV,
// NTURN, MARK and the file headers before a new curve (Syst_QB calls it). ITER, DS, INDEX,
// PREV are readable after each call.
// The start of a run: INDEX = N1 (QMOD held fixed by the starting correction).
// Each Newton iteration evaluates FUNCp once and factors once; no allocation in the loop.
//
// Messages: INFORM and the driver raise MARK 1..7; with ContStyle::Short they show the
// short boxes ("MARK = 3 => INFORM" ...), with ContStyle::Direct the explanation texts
// of INFOR (with the full stops of section 2.1.7), with ContStyle::Silent nothing (and
// every failure at the starting point is MARK 3). INFOR() shows the explanation of MARK;
// inforText(mark, fullStops) returns it.
//
// All vectors are 1-based with slot 0 unused (CheckedVec / CheckedMat).
#pragma once
#include "data/context.h"
#include "data/store.h"

#include <string>
#include <vector>

namespace velta {

class TextWriter;

constexpr int kContMaxDim = 20;  // capacity of the engine: NDIM <= 20

// How the run of the driver ended.
enum class ContEnd {
    QsolvPoint,     // a point with QMOD = QSOLV was found (only when endAtQsolv)
    IntervalBound,  // the curve left [QMIN, QMAX]; the point at the bound was written once
    Stopped,        // MARK >= 1 (messages of the style already shown, INFOR not yet)
    ContinueNo,     // empty or "NO" answer to "Продолжить?"
    ContinueOther,  // any other answer to "Продолжить?"
};

// Which messages INFORM and the driver show.
enum class ContStyle { Short, Direct, Silent };

// The engine's settings as a data file gives them. A section owns one (as a base) and hands
// it to its engine with Continuation::use.
struct ContSettings {
    double QMIN = 0, QMAX = 0, QSOLV = 0, HSTEP = 0, EMIN = 0, EMAX = 0, ACCEL = 0, EXACT = 0;
    i16 LIMIT0 = 0, LIMIT = 0, NEND = 0;
};

// The input the engine relies on, for ndim equations with the standard steps h(1..ndim+1) and
// the plotted components plotIC; throws VeltaError with a Russian message: NDIM <= 20,
// EMAX > EMIN > 0, ACCEL finite, EXACT > 0, LIMIT and LIMIT0 >= 1, QMIN < QMAX, H(i) > 0 with
// EMIN*H(i) > 0 and EMAX*H(i) finite, at most min(12,NDIM) components within 1..NDIM.
void checkContSettings(const ContSettings& s, int ndim, const Vec& h, const std::vector<int>& plotIC);

// A value "printed as a number" in the result files: its free-format text with one blank
// in front when it is not negative and one blank after it.
std::string printedNumber(double v);

class Continuation : public ContSettings {
public:
    virtual ~Continuation() = default;

    // Sizes every array for NDIM equations (1 <= ndim <= kContMaxDim) and sets INDEX = N1.
    void setup(int ndim);
    // The settings of a run, all at once.
    void use(const ContSettings& s) { static_cast<ContSettings&>(*this) = s; }
    // checkContSettings on the engine's own settings, H and plotIC.
    void checkLimits() const { checkContSettings(*this, NDIM, H, plotIC); }

    // ---- supplied by the section
    // Residual and Jacobian at Y: DY(i) := F_i(Y), i = 1..NDIM; A(i,k) := dF_i/dY(k),
    // k = 1..N1 (the whole matrix is to be set).
    virtual void FUNCp() = 0;
    // Record of a point: draws the segments of the plotted components from the last
    // accepted point (ISTEP > 0) and writes the results line. Sections may override
    // (2.1.3 writes its ALFA, BETA, GAMA, TETA header at ISTEP = 0 first).
    virtual void WRITEp();

    // ---- the engine
    void beginCurve();       // ISTEP, NSOLV, NTURN, MARK := 0; headers not yet written
    void ADAPT();            // Newton corrector; on success DY = tangent, DY(INDEX) = 1
    void INFORM();           // failure inside ADAPT: halve the step or set MARK
    void checkStep() const;  // a step that is not a finite number ends the run (VeltaError)
    void GAUSS();            // A(1..NDIM,1..NDIM) := LU with complete pivoting; IGAUSS
    void SOLVE();            // DY(1..NDIM) := A^-1 DY with the last factorisation
    void INDEXp();           // choose INDEX, normalise DY to DY(INDEX) = 1
    void PREDICT();          // Hermite (Euler at ISTEP = 1) predictor from YY, TT
    bool QSOLVp();           // point at QMOD = QSOLV between YY(.,2) and Y into YR
    bool TURNp();            // turning point in QMOD between YY(.,2) and Y into YR
    void firstStep();        // the first step from the starting point (driver step 5)
    void leaveInterval();    // Y moved to QMIN or QMAX on the Hermite arc (driver step 7)
    bool stepControl();      // new HSTEP, history shift, PREDICT; false: MARK = 7
    // Hermite interpolant between YY(.,2) (tangent TT(.,2)) and the end point of the step Y
    // (tangent DY), both tangents normalised to INDEX, at t in [0,1] into YR; its QMOD
    // derivative per unit of the current parameter. After leaveInterval: the arc in QMOD.
    void hermite(double t);
    double hermiteSlope(double t) const;

    // The driver (Syst_QB): start point, first step and the step loop with the continue
    // question; the files must be open and the frame drawn. endAtQsolv: the run ends at
    // the first QSOLV point (2.1.3); otherwise every QSOLV point is recorded (2.1.7).
    ContEnd Syst_QB(bool endAtQsolv);

    // Shows the explanation of MARK (message box, title "   VELTA"); nothing for MARK 0.
    void INFOR();
    static std::string inforText(int mark, bool fullStops);
    // The short box text of INFORM / the driver for MARK (2.1.3).
    std::string shortText(int mark) const;

    // ---- continuation state (all 1-based)
    int NDIM = 0, N1 = 0;
    Vec Y, DY, B, YR, H, UL, UR;
    Mat A;       // NDIM x N1
    IVec P, Q;   // pivot rows and columns of GAUSS
    Mat YY, TT;  // N1 x 2: column 2 = last accepted point, 1 = the one before
    i16 INDEX = 0, PREV = 0, ISTEP = 0, ITER = 0, IREG = 0, IGAUSS = 0, MARK = 0;
    i16 NSOLV = 0, NTURN = 0;
    double DS = 0;
    i16 NENDINC = 0;  // the NEND increment of the continue question

    // ---- what the driver and the records use
    Ctx* ctx = nullptr;  // prompter and surface (nullptr: no messages, no drawing)
    ContStyle style = ContStyle::Short;
    std::string messageTitle = "   VELTA";  // title of the boxes of INFORM, the driver, INFOR
    TextWriter* qsolvOut = nullptr;         // QSOLV file
    TextWriter* bsolvOut = nullptr;         // turning-point file
    TextWriter* resultsOut = nullptr;       // results file
    std::vector<int> plotIC;                // plotted components (at most 12, each 1..NDIM)

    // Number of Newton iterations made in the run (all ADAPT calls), for measurements.
    long newtonIterations = 0;

protected:
    void message(const std::string& text);
    // YR := the point of the arc from YY(.,2) (sign e) to Y (sign m) where signAt(t), taken
    // after hermite(t), changes: an end whose sign is 0 itself, else found by bisection.
    template <class SignAt>
    void locate(int e, int m, SignAt signAt);
    Vec YEND;             // end of the step before leaveInterval moved Y to the bound
    bool moved_ = false;  // the interpolants run from YY(.,2) to YEND in QMOD
    bool headQ_ = false, headB_ = false;
    bool prevValid_ = false;  // TT(.,1) holds a usable tangent for the Hermite predictor
    int halvings_ = 0;        // step halvings of the current ADAPT
};

}  // namespace velta
