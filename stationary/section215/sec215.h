// Section 2.1.5: stationary solutions of a general gene network from random starts RND
// (window frmUni_215). For each random point Y0 a homotopy in QMOD is built in which Y0 is
// an exact solution at QMOD = 0 and the network of MC is reached at QMOD = 1; the solution
// is continued to QMOD = QSOLV, refined at QMOD = 1 and recorded. After LMAX recorded
// solutions MULTYp keeps the distinct ones with small residuals.
#pragma once
#include "data/datafile.h"
#include "models/section.h"
#include "stationary/continuation.h"
#include "stationary/netmodel.h"

#include <cstdint>
#include <random>
#include <string>

namespace velta {

class TextWriter;

// The continuation settings (ContSettings) are the section's own values of blocks 3 and 5;
// HSTEP is the starting step HSTEP0 of every attempt, NEND the limit on its steps.
class Sec215 : public SectionCore, public ContSettings {
public:
    int code() const override { return 215; }
    // Reads the ".srRd" file (six blocks) into the store and the section's values.
    void InputPar(Ctx& c) override;
    // Random starts until LMAX solutions are recorded (or the attempts run out), then
    // MULTYp: "\User\QSOLV0.srR", "\User\Results.srR", "\User\QSOLV.srR".
    void Integr1(Ctx& c) override;

    // ---- the values of a data file (besides the texts of the header store)
    struct Values : ContSettings, NetModelValues {
        i16 NSTEP = 0;
        Vec H;  // 1..NDIM+1
        i16 LMAX = 0;
        double FFERR = 0.01, UUERR = 0.0001;
    };
    // Bad input refused with a message before anything runs.
    static void checkValues(const Values& v);
    Values valuesFromStore(const Store& g) const;
    void checkLimits(const Store& g) const { checkValues(valuesFromStore(g)); }

    // ---- the model: the homotopy from the random point (QMOD = 0) to the network MC
    class Model : public Continuation {
    public:
        void FUNCp() override;
        // " ISTEP, INDEX, QMOD, Y(I) =====>" at ISTEP = 0, then the line of the point.
        void WRITEp() override;
        // S0(j) so that Y is a solution at QMOD = 0.
        void homotopyWeights();

        enum class Outcome { Recorded, Abandoned, RefineFailed };
        // One attempt from the random point in Y(1..NDIM): continuation to QSOLV and the
        // refinement at QMOD = 1 (QMOD held fixed). Recorded: Y is the solution and F its
        // residuals.
        Outcome attempt(Ctx* c, i16 nend);

        Vec S0, F;
        const Mat* mc = nullptr;
        double alfa = 0, beta = 0, gama = 0, teta = 0;

    private:
        Outcome refine();
    };

    // Uniform numbers in [0, 1) from a 64-bit Mersenne twister; the same seed gives the
    // same sequence on every platform.
    class Rnd {
    public:
        explicit Rnd(std::uint64_t seed);
        double next();

    private:
        std::mt19937_64 gen_;
    };
    // A seed from the clock (a positive number a user can type back).
    static std::int64_t clockSeed();

    // One record of "\User\QSOLV0.srR": the two lines of solution NCONT.
    static void writeRecord(TextWriter& out, int ncont, const Vec& y, const Vec& f, int n);
    // The selection of distinct solutions with small residuals from "QSOLV0.srR" (path
    // in) into "QSOLV.srR" (path out). Returns their number NSOL.
    static int MULTYp(const std::string& in, const std::string& out);

    // ---- window texts and data file
    // Sheet 1 the model; sheets 2 and 3 the continuation (hstep: HSTEP0) and Newton's method.
    struct Fields : NetModelFields, ContFields {
        std::string lmax;                       // sheet 2
        std::string nend, nstep, uuerr, fferr;  // sheet 3
        GridText mc;                            // sheet 4
        GridText steps;                         // sheet 5: H
    };
    Fields fieldsFromStore(const Store& g) const;
    // The file's keys shown in the window: the model, block 3 and block 6.
    struct FieldKeys {
        NetModelWording model;
        KeyTable<Sec215, Fields> cont, selection;
    };
    static const FieldKeys& fieldKeys();
    // The values the texts stand for; a text that is not a number is refused.
    static Values valuesFromFields(const Fields& f);
    // MC grid: NDIM + 3 rows and columns, "(i,j)" in the corner.
    static GridText matrixGrid(const Mat& mc, int n, bool zeros);
    // Grid of the standard steps: component numbers in column 0 and H(i) in column 2,
    // rows 2..N1+1, headers "Номера компонент" and "Стандартные шаги" in row 0.
    static GridText stepsGrid(const Vec& h, int n1, bool zeros);
    // Writes the ".srRd" file (NDIM from the size of the MC grid).
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // ---- the section's values (the store holds MCLASS, NDIM, ALFA, BETA, GAMA, TETA, MC)
    i16 NSTEP = 0, LMAX = 0;
    double FFERR = 0.01, UUERR = 0.0001;
    Vec H;  // 1..NDIM+1 as read

    // ---- what the last run did
    std::int64_t seedUsed = -1;
    int attempts = 0;     // attempts made
    int recorded = 0;     // solutions written to QSOLV0.srR
    int NSOL = 0;         // distinct solutions kept by MULTYp
    bool capped = false;  // the attempts ran out before LMAX solutions
    Model k;              // the continuation state of the last attempt

    // At most this many attempts per wanted solution.
    static constexpr int kAttemptsPerSolution = 20;
};

}  // namespace velta
