// Section 2.1.3: stationary solution of a general gene network from the starting solution
// MNN (window frmUni_213). A two-level stationary solution of the fully connected network
// (components U1 or U2) is continued in QMOD, which scales the links absent from MC, from
// QMOD = 1 to the first point QMOD = QSOLV: the solution of the network MC.
#pragma once
#include "data/datafile.h"
#include "models/section.h"
#include "stationary/continuation.h"
#include "stationary/netmodel.h"

#include <string>
#include <vector>

namespace velta {

// The continuation settings (ContSettings) are the section's own values of blocks 4 and 6.
class Sec213 : public SectionCore, public ContSettings {
public:
    int code() const override { return 213; }
    // Reads the ".srgd" file (eight blocks) into the store and the section's parameters;
    // QMOD starts at 1, INDEX at NDIM + 1.
    void InputPar(Ctx& c) override;
    // The continuation from the starting solution to the first QSOLV point. When no
    // starting solution was made for the current parameters (the window's first stage was
    // not passed, as in the runner), its questions are asked here first.
    void Integr1(Ctx& c) override;

    // ---- the two-stage input
    // The LDIM box: false for an empty answer; a text that is not an integer is an error.
    bool askLDIM(Ctx& c);
    // askLDIM, then STARTp on the values in the store. False when LDIM was not given.
    bool firstStage(Ctx& c);
    // Relaxation for U1, U2 and its message, then the group list (repeated until it has
    // NDIM entries, each 1 or 2, or is left empty). True when the starting vector was set.
    bool STARTp(Ctx& c);

    // Result of the relaxation dU/dt = F(U) - U from U10, U20 with step HHH up to TMAX.
    struct Relax {
        double U1 = 0, U2 = 0, err1 = 0, err2 = 0;
    };
    static Relax relax(int ndim, int ldim, double alfa, double beta, double gama, double hhh, double tmax,
                       double u10, double u20);
    // Splits the group list; empty when it is not NDIM entries of 1 or 2.
    static std::vector<int> parseGroups(const std::string& text, int ndim);

    // ---- the model
    class Model : public Continuation {
    public:
        void FUNCp() override;
        void WRITEp() override;  // ALFA, BETA, GAMA, TETA before point 0
        Vec S0;                  // frozen sum over the absent links
        const Mat* mc = nullptr;
        double alfa = 0, beta = 0, gama = 0, teta = 0;
    };
    // S0(i) = sum of Y(j)^GAMA over j <> i with MC(i,j) = 0 (starting vector).
    static void modelConstants(Model& k, const Mat& mc);

    // ---- window texts and data file
    // Sheet 1 the model, sheets 4 and 6 the continuation and Newton's method.
    struct Fields : NetModelFields, ContFields {
        std::string hhh, tmax, u10, u20;     // sheet 2
        GridText mc;                         // sheet 3
        GridText steps;                      // sheet 5: H, UL, UR
        std::string nend, ic;                // sheet 7
        std::string sclx, scrx, scly, scry;  // sheet 8
    };
    Fields fieldsFromStore(const Store& g) const;
    // The file's keys shown in the window: the model, block 3 (HHH, TMAX; U10, U20), the NEND
    // of block 7 and block 8.
    struct FieldKeys {
        NetModelWording model;
        KeyTable<Store, Fields> relax;
        KeyTable<Sec213, Fields> start, portion;
        KeyTable<Store, Fields> bounds;
    };
    static const FieldKeys& fieldKeys();
    // MC grid: NDIM + 3 rows and columns, "(i,j)" in the corner.
    static GridText matrixGrid(const Mat& mc, int n, bool zeros);
    // Grid of H, UL, UR: rows 2, 3, 4 hold H(i), UL(i), UR(i) in columns 2..N1+1.
    static GridText stepsGrid(const Vec& h, const Vec& ul, const Vec& ur, int n1, bool zeros);
    // Writes the ".srgd" file (the dimensions are the store's NDIM).
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // Bad input refused before anything is computed (old results files stay untouched).
    void checkLimits(const Store& g) const;
    // Frame of the diagram with its legend.
    void DrawMesh3(Ctx& c) const;

    // ---- the section's values
    double U10 = 0, U20 = 0;
    i16 LDIM = 1;
    Vec H, UL, UR;  // 1..NDIM+1
    IVec G;         // group of each component
    Vec YSTART;     // starting vector Y(1..NDIM) made by STARTp
    double U1 = 0, U2 = 0;
    Model k;  // the continuation state of the last run

private:
    struct StartKey {
        int ndim = -1;
        double alfa = 0, beta = 0, gama = 0, hhh = 0, tmax = 0, u10 = 0, u20 = 0;
        bool operator==(const StartKey&) const = default;
    };
    StartKey currentKey(const Store& g) const;
    StartKey startKey_;  // parameters STARTp was computed with
    bool startValid(const Store& g) const;
};

}  // namespace velta
