// Section 3: stability of the symmetric stationary solution of the circulant network
// M(NDIM,KMOD) of classes 1-4 (window frmUni_3). The Jacobian at the symmetric solution U
// is -I - X*C with C the circulant of the cyclic links, so its eigenvalues follow from the
// circulant spectrum in closed form: lambda_j = -1 - X*(Re(j) + i*Im(j)).
#pragma once
#include "data/datafile.h"
#include "data/keytable.h"
#include "graphics/surface.h"
#include "models/section.h"

#include <string>
#include <vector>

namespace velta {

class Sec3 : public SectionCore {
public:
    int code() const override { return 3; }
    // Reads the ".stbd" file (two blocks) and allocates the section's arrays.
    void InputPar(Ctx& c) override;
    // U(ALFA) on the grid of [Amin, Amax] with the stability of each node, the point of loss
    // of stability, "\User\Results.stb" and the plot.
    void Integr1(Ctx& c) override;
    bool hasSpectr() const override { return true; }
    // "&Спектр": asks ALFA, computes the spectrum and the verdict at that ALFA, keeps the
    // text of the view in spectrView and writes "\User\Spectr.stb".
    void Spectr(Ctx& c) override;
    std::vector<std::string> spectrText() const override { return spectrView; }

    // ---- window texts and data file
    struct Fields {
        std::string mclass, ndim, kmod, beta, gama;  // sheet 1
        std::string amin, amax, umin, umax, ndel;    // sheet 2
    };
    static Fields fieldsFromStore(const Store& g);
    // The file's keys with the window's fields.
    static const KeyTable<Store, Fields>& keys();
    static void Table_File(const Store& g, const std::string& path, const Fields& f);

    // ---- the computation
    // Re(j), Im(j), j = 1..NDIM: the spectrum of the circulant of KMOD - 1 cyclic links
    // (NDIM*(KMOD - 1) terms; the surface, when given, is polled once per j).
    void Circulant(const Store& g, Surface* surf = nullptr);
    // Point of loss of stability from the spectrum: Gmin, KSTAB and (when it exists)
    // ALFAc, Uc in the store.
    void Bifurcation(Store& g) const;
    // Symmetric solution U and gain X at the given ALFA (Newton's method, capped).
    struct Sym {
        double U = 0, X = 0;
    };
    static Sym SUB_200(const Store& g, double alfa);
    // ReL, ImL from the gain; true when some eigenvalue has ReL >= 0 (unstable).
    bool Eigen(const Store& g, double x);
    // "\User\Results.stb".
    static void SUB_300(const Store& g, TextWriter& out);
    // Frame of the plot U(ALFA) with its legend.
    static void DrawMesh3(Ctx& c);
    // Bad input refused before anything is computed (old results stay untouched).
    static void checkModel(const Store& g);
    static void checkLimits(const Store& g);

    // Lines of "\User\Spectr.stb" and of the view for the last Spectr (tests read them).
    static std::vector<std::string> spectrFileLines(const Store& g, double alfa, const Sym& sol,
                                                    const Vec& reL, const Vec& imL);
    std::vector<std::string> spectrViewLines(const Store& g, double alfa, const Sym& sol,
                                             bool unstable) const;

    Vec Re, Im, ReL, ImL;                            // 1..NDIM
    std::vector<std::string> spectrView;             // text the main window shows after "&Спектр"
    static constexpr Colour kSpectrBack = 15663086;  // its background, light green
};

}  // namespace velta
