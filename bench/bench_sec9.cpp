// Speed of the section 9 integrator: steps per second of Integr1 on the null surface for
// the chaotic sample's model (MCPZ = 4, GAMA = 6), with GAMA = 2 (no pow) and MCPZ = 0,
// drawing time curves or testing the Poincaré plane; and one regulatory input alone.
#include "models/section9/sec9.h"

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

constexpr int kSteps9 = 200000;  // steps per benchmark iteration
constexpr double kStep9 = 0.002;

// An application folder under /tmp holding one ".chad" file of the benchmark case.
struct ChadApp {
    std::filesystem::path root;
    ChadApp(const std::string& gama, const std::string& mcpz, int lgraph) {
        root = std::filesystem::temp_directory_path() / ("velta_bench_sec9_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "User");
        const std::vector<std::string> lines = {"1) Параметры модели",
                                                "-",
                                                "NDIM = 3",
                                                "ALFA = 4",
                                                "GAMA = " + gama,
                                                "MCPZ = " + mcpz,
                                                "2) Начальные данные",
                                                "-",
                                                "Yo(i),...:",
                                                "0.3,0.6,0.9",
                                                "3) Параметры метода",
                                                "-",
                                                "SCLT = 0",
                                                "SCRT = " + CStr((kSteps9 - 1) * kStep9),
                                                "SCLX = 0",
                                                "SCRX = 2",
                                                "HHH = " + CStr(kStep9),
                                                "4) Плоскость Пуанкаре",
                                                "-",
                                                "XP(I):",
                                                "0,0,0.9",
                                                "FP(I):",
                                                "0,0,1",
                                                "5) Компоненты",
                                                "-",
                                                "IC(I):",
                                                "1,2,3",
                                                "6) Период",
                                                "-",
                                                "LSCREEN = 0",
                                                "7) График",
                                                "-",
                                                "LGRAPH = " + std::to_string(lgraph),
                                                "8) Таблица",
                                                "-",
                                                "NSC = 1000"};
        std::ofstream f(root / "User" / "bench.chad", std::ios::binary);
        for (const auto& l : lines) f << utf8ToCp1251(l) << "\r\n";
    }
    ~ChadApp() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

void BM_Sec9_Integr1(benchmark::State& state, const std::string& gama, const std::string& mcpz, int lgraph) {
    ChadApp app(gama, mcpz, lgraph);
    AppPaths paths(app.root.string());
    NullSurface surf;
    SilentPrompter ui{"x"};
    Store mdl;
    Ctx c{surf, ui, paths, mdl};
    Sec9 sec;
    sec.dataPath = paths.userFile("bench.chad");
    setColours(mdl, true);
    sec.InputPar(c);
    for (auto _ : state) sec.Integr1(c);  // every run starts from Xo
    state.SetItemsProcessed(state.iterations() * sec.NSTEP9);
    state.counters["rows"] = mdl.NROW;
}

// One regulatory input f^(4)(v) of the sample's model.
void BM_Sec9_Regul(benchmark::State& state) {
    double v = 1.3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Sec9::Regul(v, 4, 6, 4));
        v = v < 2 ? v + 1e-7 : 1.3;
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_Sec9_Regul);
BENCHMARK_CAPTURE(BM_Sec9_Integr1, curves_mcpz4_gama6, std::string("6"), std::string("4"), 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sec9_Integr1, poincare_mcpz4_gama6, std::string("6"), std::string("4"), 3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sec9_Integr1, curves_mcpz4_gama2, std::string("2"), std::string("4"), 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sec9_Integr1, curves_mcpz0, std::string("6"), std::string("0"), 1)
    ->Unit(benchmark::kMillisecond);
