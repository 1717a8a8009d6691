// The module velta-run-figures.so: the canvas as an image or a vector figure, the model as
// SBML, and the plots of a sweep, behind the table of functions the programs load.
#include "cli/figures/runfigures.h"

#include "cli/sweep/sweepplot.h"
#include "export/sbml.h"
#include "graphics/cpustate.h"
#include "graphics/qt/qimagesurface.h"
#include "graphics/qt/vectorsurface.h"

#include <QGuiApplication>

#include <cstdlib>
#include <exception>
#include <filesystem>

#include <unistd.h>

namespace fs = std::filesystem;

namespace velta {
namespace {

QGuiApplication* gApp = nullptr;
int gArgc = 1;
char* gArgv[] = {nullptr, nullptr};

void startPainting(const char* argv0) {
    if (gApp) return;
    // No window is ever shown: an inherited platform (xcb without a display) would abort.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder; a run as root without a session has none.
        const std::string dir = "/tmp/velta-runtime-" + std::to_string(getuid());
        std::error_code ec;
        fs::create_directories(dir, ec);
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    static std::string name;
    name = argv0 ? argv0 : "velta";
    gArgv[0] = name.data();
    gApp = new QGuiApplication(gArgc, gArgv);
    clearAvxUpperState();
}

void stopPainting() {
    delete gApp;
    gApp = nullptr;
}

Surface* newSurface(bool vector) {
    if (vector) return new RecordingImageSurface();
    return new QImageSurface();
}

void deleteSurface(Surface* s) { delete s; }

std::string savePng(Surface& s, const std::string& path) {
    auto* image = dynamic_cast<QImageSurface*>(&s);
    if (!image || !image->savePng(path)) return "cannot write " + path;
    return {};
}

std::string saveVector(Surface& s, const std::string& path, bool svg) {
    auto* record = dynamic_cast<RecordingImageSurface*>(&s);
    if (!record) return "cannot write " + path + ": the canvas keeps no record of its primitives";
    const QString p = QString::fromStdString(path);
    return (svg ? record->saveSvg(p) : record->savePdf(p)).toStdString();
}

std::string saveSvg(Surface& s, const std::string& path) { return saveVector(s, path, true); }
std::string savePdf(Surface& s, const std::string& path) { return saveVector(s, path, false); }

std::string sbml(const ModelDesc& m, const std::string& path) {
    try {
        writeSbml(m, path);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

std::string sweepField(const SweepTable& t) { return defaultField(t); }

std::string sweepPictures(const SweepSpec& s, const SweepTable& t, const std::string& field,
                          const std::string& base) {
    try {
        return drawSweep(s, t, field, base);
    } catch (const std::exception& e) {
        return e.what();
    }
}

const RunFigures kTable = {kRunFiguresVersion,
                           startPainting,
                           stopPainting,
                           newSurface,
                           deleteSurface,
                           savePng,
                           saveSvg,
                           savePdf,
                           sbml,
                           sweepField,
                           sweepPictures};

}  // namespace
}  // namespace velta

extern "C" __attribute__((visibility("default"))) const velta::RunFigures* velta_run_figures() {
    return &velta::kTable;
}
