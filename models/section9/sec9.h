// Section 9: oscillations of chaotic type in a gene network (window frmUni_9).
// Three elements, each driven by the sum of the other two passed MCPZ times through
// the regulatory function f(v) = ALFA*v / (1 + v^GAMA).
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
#include "models/autonomous.h"
#include "models/section.h"

#include <string>

namespace velta {

class Sec9 : public SectionCore {
public:
    int code() const override { return 9; }
    void InputPar(Ctx& c) override;
    void Integr1(Ctx& c) override;

    // Texts of the input window's fields and grids; the Poincaré plane (xp, fp) is sheet 2.
    struct Fields : PlaneFields {
        std::string ndim, alfa, gama, mcpz;       // sheet 1, block 1
        std::string xi1;                          // Xo(i), i = 1..NDIM, joined by ","
        std::string sclt, scrt, hhh, sclx, scrx;  // sheet 1, block 3
        std::string ici, lscreen, lgraph, nsc;    // sheet 3
    };
    // The texts the window shows after a reading (free-format texts of the values).
    Fields fieldsFromStore(const Store& g) const;
    // The file's keys with the window's fields: NDIM (block 1), the rest of the model,
    // block 3 (interval, ranges, step) and blocks 6 to 8.
    static const KeyTable<Store, Fields>& ndimKeys();
    static const KeyTable<Store, Fields>& modelKeys();
    static const KeyTable<Store, Fields>& rangeKeys();
    static const KeyTable<Store, Fields>& tailKeys();
    // Every key's text converted as the reading converts it; the first one refused throws.
    static void checkKeys(const Fields& f);
    // Writes the ".chad" data file: eight blocks with the header-store lines of g.
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // The regulatory input f^(MCPZ)(v) of one element: v passed MCPZ times through f.
    static double Regul(double v, double alfa, double gama, int mcpz);
    // FR9(i) = f^(MCPZ)(S(i)) from XOLD9, S(i) the sum of the two other components.
    void Vych_PCH(const Store& g);
    // Refuses values the computation cannot work with, before anything is computed.
    void checkLimits(const Store& g) const;
    // Results header (fourteen lines) and one table row for step d at time t.
    static void RezultsHeader(Store& g, TextWriter& out);
    static void Rezults(Store& g, TextWriter& out, i32 d, double t);
    static void DrawMesh1(Ctx& c);
    static void DrawMeshF1(Ctx& c);

    // Initial values Xo(i), private to the window (check-file name "YN(").
    Vec YO;
    // Window vectors, indexes 1..3: state at the start and at the end of a step, and the
    // regulatory input of each element.
    Vec XOLD9 = Vec(3), XNEW9 = Vec(3), FR9 = Vec(3);
    i32 NSTEP9 = 0;
};

}  // namespace velta
