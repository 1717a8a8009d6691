// Section 5.2.1: synthesis coded by two genetic elements, autonomous system (window
// frmUni_521). Two chains of compartments, of NDIM1 - 1 and NDIM2 - 1 compartments, feed a
// common last compartment NDIM = NDIM1 + NDIM2 - 1 whose content represses both elements.
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
#include "models/autonomous.h"
#include "models/section.h"

#include <string>

namespace velta {

class Sec521 : public SectionCore {
public:
    int code() const override { return 521; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // Texts of the input window's fields; the pairs are "first,second" as typed. The run
    // (RunFields) is sheet 2; the plotted components, NSC and the bounds (ScaleFields) sheet 3.
    struct Fields : RunFields, ScaleFields {
        std::string ndim12, alfa, beta12, gama12, tau12, teta;  // sheet 1
        std::string ind, xndim;
        std::string i1g;
    };
    static Fields fieldsFromStore(const Store& g);
    // The file's keys with the window's fields: ALFA and TETA of block 1 (between the pair
    // lines) and the initial data (block 2).
    static const KeyTable<Store, Fields>& alfaKeys();
    static const KeyTable<Store, Fields>& tetaKeys();
    static const KeyTable<Store, Fields>& startKeys();
    // Writes the data file: eight blocks with their header-store lines and the field texts.
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // Decay rate of each component into AK: chain 1, chain 2, TETA for the last one.
    static void rates(Store& g);
    // Right-hand sides: dX/dt = FV - AK*X with FV computed at XV.
    static void Vych_PCH(Store& g);
    // Stationary solution: ZST1, ZST2 for the chains, STAT for the last component.
    static void Station(Store& g);
    // Step weights of the exact solution of dx/dt = F - K x over HHH with F linear:
    // x_new = EHIm * (x + EC1m * F1 + EC2m * F2).
    static void weights(Store& g);
    // Refuses values the computation cannot work with, before anything is computed.
    static void checkLimits(Store& g);
    // Results header (at j = 1) and one row every NSC steps.
    static void Rezults(Store& g, TextWriter& out, i32 j, double t);
};

}  // namespace velta
