// Section 6: system of equations with delays (window frmUni_6). MDIM equations of the
// model classes 1-4 with their own ALFA(k), GAMA(k), TETA(k), LTAU delays and the link
// matrix BETA(i,j,k), integrated window by window with the delay-window scheme;
// "\User\Results.suz" is rewritten at every portion.
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
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
    static Fields fieldsFromStore(const Store& g);
    // The file's keys with the window's fields: the table holding block 1 (before the
    // parameter lines), 2 (before the delays), 4, or 7 and 8.
    static const KeyTable<Store, Fields>& keys(int block);
    // ALFA/GAMA/TETA grid: 6 rows, MDIM + 3 columns; corner "\j", numbers 1..MDIM in row 0,
    // "ALFA", "GAMA", "TETA" in column 0 of rows 2..4, values in columns 2..MDIM+1.
    static GridText paramGrid(const Store& g, int mdim, bool zeros);
    // Delay grid: 4 rows, LTAU + 3 columns; corner "\i", numbers in row 0, "TAU" and the
    // values in row 2.
    static GridText tauGrid(const Store& g, int ltau, bool zeros);
    // BETA grid: LTAU + 3 rows, MDIM*MDIM + 3 columns; corner "i\j (k)", column
    // (k-1)*MDIM + j + 1 headed j & " (" & k & ")", row i + 1 headed i.
    static GridText betaGrid(const Store& g, int ltau, int mdim, bool zeros);
    static void Table_File(const Store& g, const std::string& path, const Fields& f);
    // The texts the window is about to save, checked against what the reading and the
    // computation accept; a VeltaError names the first value refused.
    static void checkFields(const Fields& f);

    // ---- the delay model
    double decay(const Store& g, int k) const override { return g.TETAm(k); }
    void Nach_Rasp(Store& g) override;
    void Vych_PCH(Store& g) override;
    void checkLimits(const Store& g) const override;
    void setScales(Store&) override {}  // SCLX, SCRX, SCLT are given in the data file
    std::string resultsName() const override { return "Results.suz"; }
    void header(const Store& g, TextWriter& out) override;
    void DrawMesh1(Ctx& c) override;

    // BETA(i, j, k) of g: delay i, source component j, target equation k.
    static double& BETA(Store& g, int i, int j, int k);
};

}  // namespace velta
