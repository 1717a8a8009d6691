// Section 5.2.2: synthesis coded by two genetic elements, equation with delay (window
// frmUni_522). dZ/dt = ALFA*(ALFA1/(1 + BETA1*Z(t - TAU1)^GAMA1) + ALFA2/(1 + BETA2*Z(t -
// TAU2)^GAMA2)) - TETA*Z with TAU1 <= TAU2; the shorter delay is read between the window's
// nodes. "\User\Results.s2z" is rewritten at every portion.
#pragma once
#include "synthesis/section512/sec512.h"

namespace velta {

class Sec522 : public SectionCore, public DelayModel {
public:
    int code() const override { return 522; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // The three pairs of sheet 1 are one field each, "ALFA,ALFA1,ALFA2" as typed.
    struct Fields : SyzFields {
        std::string alfa3, beta12, gama12;
    };
    static Fields fieldsFromStore(const Store& g);
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // ---- the delay model: one component, two delays, decay TETAm(1)
    int components(const Store&) const override { return 1; }
    int delays(const Store&) const override { return 2; }
    // TAU(1), TAU(2) ordered so that TAU(1) <= TAU(2); the scheme stores them back.
    std::vector<double> preparedDelays(const Store& g) const override;
    double decay(const Store& g, int) const override { return g.TETAm(1); }
    void Nach_Rasp(Store& g) override;
    void Vych_PCH(Store& g) override;
    void checkLimits(const Store& g) const override;
    std::string resultsName() const override { return "Results.s2z"; }
    void header(const Store& g, TextWriter& out) override;
    void DrawMesh1(Ctx& c) override { Sec512::drawMesh(c, 522, 9); }

    // Stationary value into STAT: a tenth of the Newton step from z = 0, capped.
    static void Station(Store& g);
    // g(z) = TETA*z - ALFA*(ALFA1*c + ALFA2*f) and g'(z), c = 1/(1 + BETA1*z^GAMA1),
    // f = 1/(1 + BETA2*z^GAMA2).
    static std::pair<double, double> stationGdg(const Store& g, double z);
    // The right-hand side for the delayed values zd1 = Z(t - TAU1), zd2 = Z(t - TAU2).
    static double rhs(const Store& g, double zd1, double zd2);

    double ZD1 = 0, ZD2 = 0;  // delayed values of the node being computed
};

}  // namespace velta
