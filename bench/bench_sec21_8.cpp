// Integration speed of sections 2.1 and 8 at NDIM = 20: steps per second of a whole
// Integr1 run (results file every 100 steps, curves drawn on a surface that draws nothing).
#include "app/prompter.h"
#include "data/context.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/canvas.h"
#include "graphics/surface.h"
#include "models/section21/sec21.h"
#include "models/section8/sec8.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

using namespace velta;

namespace {

constexpr int kN = 20;

std::string list(int n, const std::string& v) {
    std::string s;
    for (int i = 1; i <= n; ++i) {
        if (i > 1) s += ',';
        s += v.empty() ? std::to_string(i) : v;
    }
    return s;
}

// The common tail of both data files: integration, plot and table settings.
std::string tail(const std::string& lscreenKey, int firstBlock) {
    std::string s;
    int b = firstBlock;
    auto H = [&] {
        s += 'H';
        s += std::to_string(b++);
        s += "\r\n--\r\n";
    };
    H();
    s += "XP(I):\r\n" + list(kN, "1") + "\r\nFP(I):\r\n" + list(kN, "0") + "\r\n";
    H();
    s += "TMAX = 10\r\nHHH = 0.001\r\n";
    H();
    s += lscreenKey + " = 1\r\nTMIN = 1\r\n";
    H();
    s += "LGRAPH = 1\r\n";
    H();
    s += "LSTEP = 0\r\n";
    H();
    s += "IC(I):\r\n" + list(12, "") + "\r\n";
    H();
    s += "NSC = 100\r\n";
    H();
    s += "Dlx = 0\r\nDrx = 1\r\nDlw = 0\r\nDrw = 2\r\nSclt = 0\r\n";
    return s;
}

struct App {
    std::filesystem::path root;
    App() {
        root = std::filesystem::temp_directory_path() / ("velta_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "User");
    }
    ~App() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string write(const std::string& name, const std::string& text) {
        const auto p = root / "User" / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
};

// A ring of repressors with two extra links per element (weights 1, 2 and 0.5).
std::string mtrd() {
    std::string s = "H1\r\n--\r\nMCLASS = 1\r\nNDIM = 20\r\nALFA = 10\r\nBETA = 1\r\nGAMA = 3\r\n";
    s += "H2\r\n--\r\n";
    for (int i = 1; i <= kN; ++i) {
        std::string row;
        for (int j = 1; j <= kN; ++j) {
            const int d = (i - j + kN) % kN;
            if (j > 1) row += ',';
            row += d == 1 ? "1" : d == 4 ? "2" : d == 7 ? "0.5" : "0";
        }
        s += row + "\r\n";
    }
    s += "\r\nH3\r\n--\r\ni1,...:\r\n1,5,9\r\nX(i1),...:\r\n1,2,3\r\n";
    return s + tail("Lscreen", 4);
}

std::string gsed() {
    std::string s =
        "H1\r\n--\r\nMCLASS = 1\r\nNDIM = 20\r\nKMOD = 3\r\nALFA = 3\r\nBETA = 5\r\nGAMA = 2.5\r\n";
    s += "H2\r\n--\r\ni1,...:\r\n" + list(kN, "") + "\r\nX(i1),...:\r\n" + list(kN, "0.1") + "\r\n";
    return s + tail("LSCREEN", 3);
}

template <class Section>
void run(benchmark::State& state, const std::string& name, const std::string& text) {
    App app;
    AppPaths paths(app.root.string());
    NullSurface surf;
    SilentPrompter ui;
    Store mdl;
    Ctx c{surf, ui, paths, mdl};
    Section sec;
    sec.dataPath = app.write(name, text);
    setColours(mdl, true);
    sec.InputPar(c);
    const Vec x0 = mdl.X1;
    std::int64_t steps = 0;
    for (auto _ : state) {
        mdl.X1 = x0;
        sec.Integr1(c);
        steps += mdl.NSTEP + 1;
    }
    state.SetItemsProcessed(steps);
    state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(steps),
                                                       benchmark::Counter::kIsRate);
}

void BM_Sec21_Integr1_NDIM20(benchmark::State& state) { run<Sec21>(state, "b.mtrd", mtrd()); }
void BM_Sec8_Integr1_NDIM20(benchmark::State& state) { run<Sec8>(state, "b.gsed", gsed()); }

}  // namespace

BENCHMARK(BM_Sec21_Integr1_NDIM20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sec8_Integr1_NDIM20)->Unit(benchmark::kMillisecond);

// main() comes from the benchmark file of section 1.1 (one main per executable).
