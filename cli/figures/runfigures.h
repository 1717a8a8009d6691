// The pictures and the SBML export of velta-run and velta-sweep live in a module of their
// own (velta-run-figures.so, Qt and libSBML), loaded only by a run that saves a picture or
// the model as SBML; a plain run loads neither library.
#pragma once
#include <string>

namespace velta {

class Surface;
struct ModelDesc;
struct SweepSpec;
struct SweepTable;

// The functions of the module. Messages are returned ("" when all went well); the module
// catches its own exceptions.
struct RunFigures {
    int version;  // kRunFiguresVersion of the build that made the module
    // Makes the application object painting needs (no window, offscreen); once, first.
    void (*startPainting)(const char* argv0);
    // Ends painting; every surface must be deleted before.
    void (*stopPainting)();
    // The canvas as an image; with `vector` it also records every primitive for SVG and PDF.
    Surface* (*newSurface)(bool vector);
    void (*deleteSurface)(Surface* s);
    std::string (*savePng)(Surface& s, const std::string& path);
    std::string (*saveSvg)(Surface& s, const std::string& path);  // vector surfaces only
    std::string (*savePdf)(Surface& s, const std::string& path);  // vector surfaces only
    std::string (*writeSbml)(const ModelDesc& m, const std::string& path);
    // The field drawn when none is chosen, and the line plot or heat map of a sweep
    // (base + ".png" and base + ".svg").
    std::string (*defaultField)(const SweepTable& t);
    std::string (*drawSweep)(const SweepSpec& s, const SweepTable& t, const std::string& field,
                             const std::string& base);
};

// Changed whenever RunFigures or a type it passes changes: a module of another build is refused.
constexpr int kRunFiguresVersion = 1;

// The module's file name and its entry point: extern "C" const RunFigures* velta_run_figures().
constexpr const char* kRunFiguresFile = "velta-run-figures.so";
constexpr const char* kRunFiguresEntry = "velta_run_figures";

// Loads the module beside the program `programPath` (build tree) or in ../lib/velta
// (installed). Returns nullptr with the message in `why` when it is missing, broken or of
// another build.
const RunFigures* loadRunFigures(const std::string& programPath, std::string& why);

}  // namespace velta
