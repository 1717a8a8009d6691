// The hot paths measured in isolation: the stability test of section 2.1.7 at NDIM = 20,
// the checked containers, the curve segments on the image surface (steps that stay on one
// pixel) and the delay sections 1.2 and 2.2 at NDEL = 400 drawing on the image surface.
// bench/pair.sh compares whole runs of the runner with the plain loops of bench/bare/.
#include "app/prompter.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/canvas.h"
#include "graphics/qt/qimagesurface.h"
#include "models/section12/sec12.h"
#include "models/section22/sec22.h"
#include "stationary/section217/sec217.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace velta;

namespace {

void needGuiApp() {
    static int argc = 1;
    static char name[] = "velta_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

// A ring of repressors at NDIM = 20 linearised at a stationary point: J(i,i) = -1,
// J(i,i-1) = -g. g = 0.8 is stable (the doubling runs until exp(JT) dies out), g = 3
// unstable (it stops when 2*NORMA(H) passes STAB).
Mat ringJacobian(int n, double g) {
    Mat j(n, n);
    for (int i = 1; i <= n; ++i) {
        j(i, i) = -1;
        j(i, i == 1 ? n : i - 1) = -g;
    }
    return j;
}

void BM_Stability217(benchmark::State& state) {
    const Mat j = ringJacobian(static_cast<int>(state.range(0)), state.range(1) / 10.0);
    int doublings = 0;
    for (auto _ : state) {
        const Sec217::Stability s = Sec217::stabilityOf(j, 10000);
        doublings = s.doublings;
        benchmark::DoNotOptimize(s.kappa);
    }
    state.counters["doublings"] = doublings;
}

// m(i,j) through the checks: a sum over a 20 x 20 matrix.
void BM_CheckedMatSum(benchmark::State& state) {
    const Mat m = ringJacobian(20, 0.8);
    for (auto _ : state) {
        double s = 0;
        for (int i = 1; i <= 20; ++i)
            for (int k = 1; k <= 20; ++k) s += m(i, k);
        benchmark::DoNotOptimize(s);
    }
}

// Steps of three curves that advance by 1/1000 of a pixel: most land on the pixel drawn last.
void BM_CurveSegments(benchmark::State& state) {
    needGuiApp();
    QImageSurface surf;
    double x = 100;
    for (auto _ : state) {
        const double x2 = x + 0.001;
        surf.curveSegment(x, 200.2, x2, 200.3, QBColor(13));
        surf.curveSegment(x, 300.2, x2, 300.3, QBColor(12));
        surf.curveSegment(x, 250.4, x2, 250.1, QBColor(11));
        x = x2 > 500 ? 100 : x2;
    }
    state.SetItemsProcessed(state.iterations() * 3);
}

// Sections 1.2 and 2.2, task Tau0, NDEL = 400, on the image surface: one portion of TMAX
// per iteration, continuing.
struct DelayCase {
    std::filesystem::path root;
    explicit DelayCase(bool sec12) {
        root = std::filesystem::temp_directory_path() /
               ("velta_bench_hot_" + std::to_string(::getpid()) + (sec12 ? "_12" : "_22"));
        const std::string dir = sec12 ? "Mnk" : "Mtr";
        std::filesystem::create_directories(root / "User" / dir / "Tau0");
        std::vector<std::string> lines;
        if (sec12)
            lines = {"1", "-", "MCLASS = 1", "NDIM = 32", "KMOD = 4", "ALFA = 10", "BETA = 1",  "GAMA = 3",
                     "2", "-", "MDIM = 2",   "LTAU = 3",  "PTAU = 3", "TAUm(I):",  "0.5,0.75,1"};
        else
            lines = {"1", "-",        "ALFA = 10", "BETA = 1", "GAMA = 3", "2",
                     "-", "MDIM = 2", "LTAU = 6",  "PTAU = 5", "TAUm(I):", "0.1,0.25,0.4,0.55,0.7,1"};
        for (const char* l :
             {"3", "-",       "TMAX = 300", "NDEL = 400", "4", "-", "IND = 0",   "Z_1 = 0.0001",
              "5", "-",       "IC(I):",     "1,2",        "6", "-", "NSC = 100", "7",
              "-", "Dlx = 0", "Drx = 0.6",  "Sclt = 0"})
            lines.push_back(l);
        std::ofstream f(root / "User" / dir / "Tau0" / (sec12 ? "bench.mnzd" : "bench.mtzd"),
                        std::ios::binary);
        for (const auto& l : lines) f << utf8ToCp1251(l) << "\r\n";
    }
    ~DelayCase() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

template <typename Sec>
void runDelay(benchmark::State& state, bool sec12) {
    needGuiApp();
    DelayCase app(sec12);
    AppPaths paths(app.root.string());
    SilentPrompter ui;
    QImageSurface surf;
    Store mdl;
    Ctx c{surf, ui, paths, mdl};
    setColours(mdl, true);
    mdl.TASKDIR = "Tau0";
    mdl.SUBDIR = sec12 ? "Mnk\\" : "Mtr\\";
    Sec sec;
    sec.dataPath = paths.resolve(std::string("\\User\\") +
                                 (sec12 ? "Mnk\\Tau0\\bench.mnzd" : "Mtr\\Tau0\\bench.mtzd"));
    sec.InputPar(c);
    long long steps = 0;
    for (auto _ : state) {
        sec.Integr1(c);
        mdl.L = static_cast<i16>(std::min(mdl.L + 1, 30000));
        steps += static_cast<long long>(mdl.NPER) * mdl.NDEL;
    }
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}

void BM_Delay12_Image(benchmark::State& state) { runDelay<Sec12>(state, true); }
void BM_Delay22_Image(benchmark::State& state) { runDelay<Sec22>(state, false); }

}  // namespace

BENCHMARK(BM_Stability217)->Args({20, 8})->Args({20, 30})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckedMatSum);
BENCHMARK(BM_CurveSegments);
BENCHMARK(BM_Delay12_Image)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delay22_Image)->Unit(benchmark::kMillisecond);
