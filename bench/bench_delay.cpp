// Speed of the delay-window scheme: section 2.2 ("Tau0", six delays, two equations) on
// the null surface, and the scheme alone on a linear model (one equation, two delays).
// Steps per second = new nodes computed per second, rows and plot segments included.
// The benchmark main is in bench_sec11.cpp.
#include "models/delay/delayscheme.h"
#include "models/section22/sec22.h"

#include "app/prompter.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace velta;

namespace {

struct DelayBenchApp {
    std::filesystem::path root;
    DelayBenchApp() {
        root = std::filesystem::temp_directory_path() / ("velta_bench_delay_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "User" / "Mtr" / "Tau0");
        const std::vector<std::string> lines = {
            "1",         "-",           "ALFA = 10",  "BETA = 1",   "GAMA = 3", "2",
            "-",         "MDIM = 2",    "LTAU = 6",   "PTAU = 5",   "TAUm(I):", "0.1,0.25,0.4,0.55,0.7,1",
            "3",         "-",           "TMAX = 500", "NDEL = 400", "4",        "-",
            "IND = 0",   "Z_1 = 0.001", "5",          "-",          "IC(I):",   "1,2",
            "6",         "-",           "NSC = 100",  "7",          "-",        "Dlx = 0",
            "Drx = 0.4", "Sclt = 0"};
        std::ofstream f(root / "User" / "Mtr" / "Tau0" / "bench.mtzd", std::ios::binary);
        for (const auto& l : lines) f << utf8ToCp1251(l) << "\r\n";
    }
    ~DelayBenchApp() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

long long stepsOfPortion(const Store& g) {
    const double taum = g.TAU(g.LTAU);
    const double rem = Int((g.TMAX - g.NPER * taum) / g.HHH);
    return static_cast<long long>(g.NPER) * g.NDEL + static_cast<long long>(rem < 0 ? 0 : rem) + 1;
}

// One portion of 100 windows of 400 steps (40 000 steps) per iteration, continuing.
void BM_Delay_Sec22(benchmark::State& state) {
    DelayBenchApp app;
    AppPaths paths(app.root.string());
    SilentPrompter ui;
    NullSurface surf;
    Store mdl;
    Ctx c{surf, ui, paths, mdl};
    setColours(mdl, true);
    mdl.TASKDIR = "Tau0";
    mdl.SUBDIR = "Mtr\\";
    Sec22 sec;
    sec.dataPath = paths.resolve("\\User\\Mtr\\Tau0\\bench.mtzd");
    sec.InputPar(c);
    long long steps = 0;
    for (auto _ : state) {
        sec.Integr1(c);
        mdl.L = static_cast<i16>(std::min(mdl.L + 1, 30000));
        steps += stepsOfPortion(mdl);
    }
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}

// The scheme without the cost of the powers: dZ/dt = -Z + 0.6*Z(t - 0.37) + 0.4*Z(t - 1) (Z = 1 stays).
class LinearBench : public DelayModel {
public:
    int components(const Store&) const override { return 1; }
    int delays(const Store&) const override { return 2; }
    void Nach_Rasp(Store& g) override {
        for (int p = 1; p <= g.NDEL + 1; ++p) g.ZTAB(p, 1) = 1;
    }
    void Vych_PCH(Store& g) override { g.FZ(1) = 0.6 * g.ZTAU(1, 1) + 0.4 * g.ZTAU(2, 1); }
    std::string resultsName() const override { return "Results.tst"; }
    void header(const Store&, TextWriter& out) override { out.line(""); }
    void DrawMesh1(Ctx& c) override {
        const Store& g = c.store;
        MeshMaskG(c, "Z", "Z", "u", g.SCLT, g.SCRT, g.SCLX, g.SCRX);
    }
};

void BM_Delay_Linear(benchmark::State& state) {
    DelayBenchApp app;
    AppPaths paths(app.root.string());
    SilentPrompter ui;
    NullSurface surf;
    Store mdl;
    Ctx c{surf, ui, paths, mdl};
    setColours(mdl, true);
    auto& g = mdl;
    allocDelayTables(g, 1000, 5, 20);
    g.LTAU = 2;
    g.TAU(1) = 0.37;
    g.TAU(2) = 1;
    g.NDEL = 400;
    g.TMAX = 100;
    g.NSC = 100;
    g.NCOMP = 1;
    g.IC(1) = 1;
    g.ALFA = 1;
    g.DRX = 2;
    LinearBench m;
    long long steps = 0;
    for (auto _ : state) {
        DelayIntegr(c, m);
        g.L = static_cast<i16>(std::min(g.L + 1, 30000));
        steps += stepsOfPortion(mdl);
    }
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_Delay_Sec22)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delay_Linear)->Unit(benchmark::kMillisecond);
