// Section 5.1.2: synthesis coded by one genetic element, equation with delay (window
// frmUni_512). dZ/dt = ALFA/(1 + BETA*Z(t - TAU)^GAMA) - TETA*Z, integrated portion by
// portion with the delay-window scheme; "\User\Results.s1z" is rewritten at every portion.
// The ".syzd" blocks 2..7 and the delay grid are shared with section 5.2.2.
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
#include "models/delay/delayscheme.h"
#include "models/section.h"

#include <string>
#include <vector>

namespace velta {

// Texts of the fields of blocks 2..7 of a ".syzd" file (the same in sections 512 and 522).
struct SyzFields {
    std::string mdim, ltau;                 // sheet 1
    GridText tau;                           // sheet 2 (grdTable1)
    std::string teta;                       // sheet 1
    std::string tmax, ndel, ind, z_1, i1g;  // sheet 3
    std::string nsc, dlx, drx, sclt;        // sheet 4
};

class Sec512 : public SectionCore, public DelayModel {
public:
    int code() const override { return 512; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    struct Fields : SyzFields {
        std::string alfa, beta, gama;  // sheet 1
    };
    static Fields fieldsFromStore(const Store& g);
    static void Table_File(const Store& g, const std::string& path, const Fields& f);
    // Block 1 of the file (the model) with the window's fields.
    static const KeyTable<Store, Fields>& keys();

    // ---- pieces shared with section 5.2.2
    // The keys of block 2 before the delays (MDIM, LTAU) with the window's fields.
    static const KeyTable<Store, SyzFields>& delayKeys();
    // The delay grid of the window (delayTauGrid).
    static GridText tauGrid(const Vec& tau, int ltau, bool zeros);
    // Tables of the scalar delay equation (5000 nodes, one component, 20 delays, TETAm 0..5).
    static void allocTables(Store& g);
    // Blocks 2..7 of a ".syzd" file: read into the reader's store (with the echo lines, NP1,
    // NP2, L = 0) and written with the header lines of g.
    static void readDelayBlocks(ParReader& r);
    static void writeDelayBlocks(const Store& g, TextWriter& o, const SyzFields& f);
    static void delayFieldsFromStore(const Store& g, SyzFields& f);
    // Initial function on nodes 1..NP1: STAT (IND = 0) or 0, plus Z_1 on the oldest node.
    static void initialFunction(Store& g);
    // The refusals both sections share: data read, TETA nonzero.
    static void checkCommon(const Store& g);
    // The title and the column head of the results table of both sections.
    static void writeTableHead(TextWriter& out);
    // The plot frame of both sections with the legend of `section` at row offset v.
    static void drawMesh(Ctx& c, int section, double v);

    // ---- the delay model: one component, one delay TAU(1), decay TETAm(1)
    int components(const Store&) const override { return 1; }
    int delays(const Store&) const override { return 1; }
    double decay(const Store& g, int) const override { return g.TETAm(1); }
    void Nach_Rasp(Store& g) override;
    void Vych_PCH(Store& g) override;
    void checkLimits(const Store& g) const override;
    std::string resultsName() const override { return "Results.s1z"; }
    void header(const Store& g, TextWriter& out) override;
    void DrawMesh1(Ctx& c) override { drawMesh(c, 512, 6); }

    // Stationary value into STAT: Newton from (ALFA/BETA/TETA)^(1/(GAMA+1)), capped.
    static void Station(Store& g);
    // The right-hand side for the delayed value zd1.
    static double rhs(const Store& g, double zd1);

    double ZD1 = 0;  // Z(t - TAU) of the node being computed
};

}  // namespace velta
