// Section 6: system of equations with delays (window frmUni_6). MDIM equations of the
// model classes 1-4 with their own ALFA(k), GAMA(k), TETA(k), LTAU delays and the link
// matrix BETA(i,j,k), integrated window by window with the delay-window scheme;
// "\User\Results.suz" is rewritten at every portion.
#pragma once
#include "data/datafile.h"
#include "models/delay/delayscheme.h"
#include "models/section.h"

#include <string>

namespace velta {

class Sec6 : public SectionCore, public DelayModel {
public:
    int code() const override { return 6; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // Texts of the input window's fields and grids.
    struct Fields {
        std::string mclass, mdim, ltau;         // sheet 1
        GridText agt;                           // sheet 2: ALFA, GAMA, TETA (grdTable1)
        GridText tau;                           // sheet 3: the delays (grdTable2)
        GridText beta;                          // sheet 4: BETA(i,j,k) (grdTable3)
        std::string tmax, ndel, i1n, zi1, i1g;  // sheet 5
        std::string nsc, sclx, scrx, sclt;      // sheet 6
    };
    static Fields fieldsFromStore();
    // ALFA/GAMA/TETA grid: 6 rows, MDIM + 3 columns; corner "\j", numbers 1..MDIM in row 0,
    // "ALFA", "GAMA", "TETA" in column 0 of rows 2..4, values in columns 2..MDIM+1.
    static GridText paramGrid(int mdim, bool zeros);
    // Delay grid: 4 rows, LTAU + 3 columns; corner "\i", numbers in row 0, "TAU" and the
    // values in row 2.
    static GridText tauGrid(int ltau, bool zeros);
    // BETA grid: LTAU + 3 rows, MDIM*MDIM + 3 columns; corner "i\j (k)", column
    // (k-1)*MDIM + j + 1 headed j & " (" & k & ")", row i + 1 headed i.
    static GridText betaGrid(int ltau, int mdim, bool zeros);
    static void Table_File(const std::string& path, const Fields& f);
    // The texts the window is about to save, checked against what the reading and the
    // computation accept; a VeltaError names the first value refused.
    static void checkFields(const Fields& f);

    // ---- the delay model
    double decay(int k) const override { return mdlGlobal.TETAm(k); }
    void Nach_Rasp() override;
    void Vych_PCH() override;
    void checkLimits() const override;
    void setScales() override {}  // SCLX, SCRX, SCLT are given in the data file
    std::string resultsName() const override { return "Results.suz"; }
    void header(TextWriter& out) override;
    void DrawMesh1(Ctx& c) override;

    // BETA(i, j, k): delay i, source component j, target equation k.
    static double& BETA(int i, int j, int k);
};

}  // namespace velta
