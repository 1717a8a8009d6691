// Speed of the synthesis integrators of sections 5.1.1 and 5.2.1 (the oscillating chains of
// the shipped samples and a longer chain, curves X(t), a table row every 1000 steps) on
// the null surface, and the cost of one set of corrector weights of section 5.1.1.
// main() comes from the benchmark file of section 1.1 (one main per executable).
#include "synthesis/section511/sec511.h"
#include "synthesis/section521/sec521.h"

#include "app/prompter.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace velta;

namespace {

constexpr int kSteps = 200000;  // steps per benchmark iteration

// An application folder under /tmp holding one data file.
struct BenchApp {
    std::filesystem::path root;
    BenchApp(const std::string& name, const std::vector<std::string>& lines) {
        root = std::filesystem::temp_directory_path() / ("velta_bench_syn_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "User");
        std::ofstream f(root / "User" / name, std::ios::binary);
        for (const auto& l : lines) f << utf8ToCp1251(l) << "\r\n";
    }
    ~BenchApp() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

std::string tmax() { return CStr((kSteps - 1) * 0.01); }

template <typename Sec>
void run(benchmark::State& state, const std::string& name, const std::vector<std::string>& lines) {
    BenchApp app(name, lines);
    AppPaths paths(app.root.string());
    SilentPrompter ui{"x"};
    NullSurface surf;
    Store mdl;
    Ctx c{surf, ui, paths, mdl};
    Sec sec;
    sec.dataPath = paths.userFile(name);
    setColours(mdl, true);
    for (auto _ : state) {
        state.PauseTiming();
        sec.InputPar(c);  // back to the initial state
        state.ResumeTiming();
        sec.Integr1(c);
    }
    state.SetItemsProcessed(state.iterations() * (mdl.NSTEP + 1));
    state.counters["rows"] = mdl.NROW;
}

void BM_Sec511_Integr1(benchmark::State& state) {
    const std::string ndim = std::to_string(state.range(0));
    run<Sec511>(state, "bench.sy1d", {"1",           "-",          "NDIM = " + ndim,
                                      "ALFA = 10",   "BETA = 1",   "GAMA = 4",
                                      "TAU1 = 5",    "TAU2 = 100", "TETA = 1",
                                      "OMEG = 0.1",  "2",          "-",
                                      "Ind = 0",     "X_1 = 0",    "X_Ndim = 0.1",
                                      "3",           "-",          "TMAX = " + tmax(),
                                      "HHH = 0.01",  "4",          "-",
                                      "Lscreen = 1", "TMIN = 100", "5",
                                      "-",           "Lgraph = 1", "6",
                                      "-",           "IC(I):",     "1,4,8",
                                      "7",           "-",          "NSS = 1",
                                      "NSC = 1000",  "8",          "-",
                                      "SCLX = 0",    "SCRX = 7",   "SCLW = 0",
                                      "SCRW = 10",   "SCLT = 0"});
}

void BM_Sec521_Integr1(benchmark::State& state) {
    const std::string n = std::to_string(state.range(0));
    run<Sec521>(state, "bench.sy2d",
                {"1",
                 "-",
                 "NDIM1,NDIM2:",
                 n + "," + n,
                 "ALFA = 10",
                 "BETA1,BETA2:",
                 "1,2",
                 "GAMA1,GAMA2:",
                 "4,3",
                 "Tau1,Tau2:",
                 "5,5",
                 "TETA = 1",
                 "2",
                 "-",
                 "Ind = 0",
                 "X_Ndim = 0.1",
                 "3",
                 "-",
                 "TMAX = " + tmax(),
                 "HHH = 0.01",
                 "4",
                 "-",
                 "Lscreen = 1",
                 "TMIN = 100",
                 "5",
                 "-",
                 "Lgraph = 1",
                 "6",
                 "-",
                 "IC(I):",
                 "1,5,6",
                 "7",
                 "-",
                 "NSC = 1000",
                 "8",
                 "-",
                 "Dlx = 0",
                 "Drx = 0.6",
                 "Dlw = 0",
                 "Drw = 1",
                 "Sclt = 0"});
}

// One set of corrector weights: six phi functions and two exponentials.
void BM_Sec511_Corrector(benchmark::State& state) {
    double d = -1.5, acc = 0;
    for (auto _ : state) {
        const Sec511::Weights w = Sec511::corrector(0.01 * (1 + 1e-9 * acc), d, d);
        acc += w.A;
        benchmark::DoNotOptimize(acc);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_Sec511_Corrector);
BENCHMARK(BM_Sec511_Integr1)->Arg(8)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sec521_Integr1)->Arg(6)->Arg(21)->Unit(benchmark::kMillisecond);
