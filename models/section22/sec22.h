// Section 2.2: general gene network, system of equations with delays (window frmUni_22).
// The built-in task "Tau0": two equations with six delays, integrated window by window
// with the delay-window scheme; "\User\Results.mtz" is rewritten at every portion.
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
#include "models/delay/delayscheme.h"
#include "models/section.h"

#include <string>

namespace velta {

class Sec22 : public SectionCore, public DelayModel {
public:
    int code() const override { return 22; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // Texts of the input window's fields and of the delay grid.
    struct Fields {
        std::string alfa, beta, gama, mdim, ltau, ptau;  // sheet 1
        GridText tau;                                    // sheet 2 (grdTable1)
        std::string tmax, ndel, ind, z_1, i1g;           // sheet 3
        std::string nsc, dlx, drx, sclt;                 // sheet 4
    };
    static Fields fieldsFromStore(const Store& g);
    // The file's keys with the window's fields: block 1 (the model) or the keys of block 2
    // before the delays.
    static const KeyTable<Store, Fields>& keys(int block);
    // The delay grid of the window (delayTauGrid).
    static GridText tauGrid(const Vec& tau, int ltau, bool zeros);
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // ---- the delay model
    std::vector<double> preparedDelays(const Store& g) const override;  // PTAU * TAU(j)
    void Nach_Rasp(Store& g) override;
    void Vych_PCH(Store& g) override;
    void checkLimits(const Store& g) const override;
    std::string resultsName() const override { return "Results.mtz"; }
    void header(const Store& g, TextWriter& out) override;
    void DrawMesh1(Ctx& c) override;

    // Stationary solution of the "Tau0" model into ZS1, ZS2 (Newton, capped).
    static void Station(Store& g);
};

}  // namespace velta
