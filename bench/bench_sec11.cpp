// Speed of the section 1.1 integrator (NDIM = 20, KMOD = 3, three plotted components,
// a table row every 1000 steps) on the null surface and on the image surface, and the
// cost of one results row against snprintf.
#include "models/section11/sec11.h"

#include "app/prompter.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "graphics/qt/qimagesurface.h"
#include "graphics/surface.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace velta;

namespace {

constexpr int kSteps = 200000;  // steps per benchmark iteration

// An application folder under /tmp holding one data file of the benchmark case.
struct BenchApp {
    std::filesystem::path root;
    explicit BenchApp(const std::string& gama) {
        root = std::filesystem::temp_directory_path() / ("velta_bench_sec11_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "User");
        std::string zeros = "0";
        for (int i = 2; i <= 20; ++i) zeros += ",0";
        const std::vector<std::string> lines = {"1. Модель",
                                                "-",
                                                "MCLASS = 1",
                                                "NDIM = 20",
                                                "KMOD = 3",
                                                "ALFA = 10",
                                                "BETA = 1",
                                                "GAMA = " + gama,
                                                "2. Начальные данные",
                                                "-",
                                                "i1,...:",
                                                "1,5,9",
                                                "X(i1),...:",
                                                "3,1,2",
                                                "3. Плоскость Пуанкаре",
                                                "-",
                                                "XP(I):",
                                                zeros,
                                                "FP(I):",
                                                zeros,
                                                "4. Интегрирование",
                                                "-",
                                                "TMAX = " + CStr((kSteps - 1) * 0.01),
                                                "HHH = 0.01",
                                                "5. Период",
                                                "-",
                                                "LSCREEN = 1",
                                                "TMIN = 1",
                                                "6. График",
                                                "-",
                                                "LGRAPH = 1",
                                                "7. Порции",
                                                "-",
                                                "LSTEP = 0",
                                                "8. Компоненты",
                                                "-",
                                                "IC(I):",
                                                "1,2,3",
                                                "9. Таблица",
                                                "-",
                                                "NSC = 1000",
                                                "10. Границы",
                                                "-",
                                                "Dlx = 0",
                                                "Drx = 1",
                                                "Dlw = 0",
                                                "Drw = 1",
                                                "Sclt = 0"};
        std::ofstream f(root / "User" / "bench.mnkd", std::ios::binary);
        for (const auto& l : lines) f << utf8ToCp1251(l) << "\r\n";
    }
    ~BenchApp() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

void runIntegr(benchmark::State& state, Surface& surf, const std::string& gama) {
    BenchApp app(gama);
    AppPaths paths(app.root.string());
    SilentPrompter ui{"x"};
    Store mdl;
    Ctx c{surf, ui, paths, mdl};
    Sec11 sec;
    sec.dataPath = paths.userFile("bench.mnkd");
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

void BM_Sec11_Null(benchmark::State& state, const std::string& gama) {
    NullSurface surf;
    runIntegr(state, surf, gama);
}

void BM_Sec11_QImage(benchmark::State& state, const std::string& gama) {
    // The image surface needs a Qt GUI application (offscreen, no display). It is made on
    // first use, so that the benchmarks before it run without the Qt libraries started.
    static int argc = 1;
    static char name[] = "velta_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication qapp(argc, argv);
    QImageSurface surf;
    runIntegr(state, surf, gama);
}

// One results row as Rezults writes it (Format masks, Windows-1251 conversion).
void BM_RowRezults(benchmark::State& state) {
    Store mdl;
    mdl.NDIM = 20;
    mdl.NSC = 1;
    mdl.X1.alloc(20);
    for (int k = 1; k <= 20; ++k) mdl.X1(k) = 1.2345678 * k;
    std::ostringstream sink;
    TextWriter out(sink);
    i32 j = 2;
    for (auto _ : state) {
        Sec11::Rezults(mdl, out, j, 0.01 * j);
        if (++j > 99999) {
            j = 2;
            sink.str({});
        }
    }
    state.SetItemsProcessed(state.iterations());
}

// The same row with snprintf, for comparison.
void BM_RowSnprintf(benchmark::State& state) {
    double x[21];
    for (int k = 1; k <= 20; ++k) x[k] = 1.2345678 * k;
    char buf[512];
    std::ostringstream sink;
    int j = 2;
    for (auto _ : state) {
        int p = std::snprintf(buf, sizeof buf, "%05d   %.5E   ", j, 0.01 * j);
        for (int k = 1; k <= 20; ++k) p += std::snprintf(buf + p, sizeof buf - p, "%.5E   ", x[k]);
        sink.write(buf, p);
        sink.write("\r\n", 2);
        if (++j > 99999) {
            j = 2;
            sink.str({});
        }
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_RowRezults);
BENCHMARK(BM_RowSnprintf);
BENCHMARK_CAPTURE(BM_Sec11_Null, gama2, std::string("2"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sec11_Null, gama2_5, std::string("2.5"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sec11_QImage, gama2, std::string("2"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sec11_QImage, gama2_5, std::string("2.5"))->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
