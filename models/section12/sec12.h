// Section 1.2: symmetric networks, system of equations with delays (window frmUni_12).
// The task folder (Tau0 ... Tau3) chooses the right-hand sides; the system is integrated
// window by window with the delay-window scheme and "\User\Results.mnz" is rewritten at
// every portion.
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
#include "models/delay/delayscheme.h"
#include "models/section.h"

#include <string>

namespace velta {

class Sec12 : public SectionCore, public DelayModel {
public:
    int code() const override { return 12; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // Texts of the input window's fields and of the delay grid.
    struct Fields {
        std::string mclass, ndim, kmod, alfa, beta, gama;  // sheet 1, block 1
        std::string mdim, ltau, ptau;                      // sheet 1, block 2
        GridText tau;                                      // sheet 2 (grdTable1)
        std::string tmax, ndel, ind, z_1, i1g;             // sheet 3
        std::string nsc, dlx, drx, sclt;                   // sheet 4
    };
    static Fields fieldsFromStore(const Store& g);
    // The file's keys with the window's fields: block 1 (the network) or the keys of block 2
    // before the delays.
    static const KeyTable<Store, Fields>& keys(int block);
    // The delay grid of the window (delayTauGrid).
    static GridText tauGrid(const Vec& tau, int ltau, bool zeros);
    static void Table_File(const Store& g, const std::string& path, const Fields& f);
    // The texts the window is about to save, checked against what the reading and the
    // computation accept; a VeltaError names the first value refused.
    static void checkFields(const Fields& f);

    // ---- the delay model
    std::vector<double> preparedDelays(const Store& g) const override;  // PTAU * TAU(j)
    void Nach_Rasp(Store& g) override;
    void Vych_PCH(Store& g) override;
    void checkLimits(const Store& g) const override;
    std::string resultsName() const override { return "Results.mnz"; }
    void header(const Store& g, TextWriter& out) override;
    void DrawMesh1(Ctx& c) override;

    // The stationary value STAT: S = ALFA/(1 + (KMOD - 1)*BETA*S^GAMA) by the damped
    // iteration from S = 0 (capped, with a message).
    static void Station(Store& g);
    // Equations and delays the right-hand sides of a task folder read ({0, 0}: none).
    struct TaskNeeds {
        int mdim, ltau;
    };
    static TaskNeeds taskNeeds(const std::string& taskdir);
};

}  // namespace velta
