// Live plotting: the same section 1.1 run (ring of 20, as bench/pair.sh) through the shell
// without a picture (the runner's default), on the image surface as the runner draws a PNG,
// on the recording image surface (the surface of the window, which also keeps every
// primitive for the vector figures), and by "С&чёт [и графика]" in the main window with the
// canvas shown, in interleaved rounds; prints the medians of the process's CPU time of each,
// the ratios, and the display server's CPU time per run when its process id is given.
//   velta_live ROOT DATAFILE [ROUNDS] [SERVER_PID]     (needs a display: DISPLAY=:36)
// VELTA_LIVE_ONLY=n|i|r|w runs only one of them (no picture, image, recording, window), to
// count its instructions: valgrind --tool=callgrind velta_live ROOT DATAFILE 1.
#include "app/prompter.h"
#include "app/qt/mainwindow.h"
#include "app/shell.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/cpustate.h"
#include "graphics/qt/qimagesurface.h"
#include "graphics/qt/vectorsurface.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

using namespace velta;

namespace {

class Quiet : public Prompter {
public:
    void message(const std::string& text, MsgIcon, const std::string&) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    std::string inputBox(const std::string&, const std::string&, const std::string&, int, int) override {
        return {};
    }
};

double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// User + system time of another process in ms (0 when it cannot be read).
double processMs(long pid) {
    if (pid <= 0) return 0;
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const auto close = s.rfind(')');
    if (close == std::string::npos) return 0;
    std::vector<std::string> w;
    std::string cur;
    for (char ch : s.substr(close + 2)) {
        if (ch == ' ') {
            w.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (w.size() < 13) return 0;
    return (std::stod(w[11]) + std::stod(w[12])) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: velta_live ROOT DATAFILE [ROUNDS] [SERVER_PID]\n");
        return 2;
    }
    const std::string root = argv[1], data = argv[2];
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    const long server = argc > 4 ? std::atol(argv[4]) : 0;
    QApplication app(argc, argv);
    clearAvxUpperState();
    Quiet quiet;

    // The runner's way: the shell on an image surface of its own, nothing polled.
    AppPaths paths(root);
    Store mdl;
    Shell shell(mdl, paths);
    QImageSurface surface;
    Ctx ctx{surface, quiet, paths, mdl};
    shell.Sect_Select(11);
    shell.core(11)->dataPath = paths.userFile(data);
    shell.core(11)->InputPar(ctx);
    shell.afterAccept(data);
    if (!shell.mnuInput(ctx)) return 1;

    // The window's way: the canvas shown and repainted while the run goes on.
    MainWindow w(mdl, root);
    w.setPrompter(&quiet);
    w.show();
    w.selectSection(11);
    w.shell().core(11)->dataPath = paths.userFile(data);
    w.shell().afterAccept(data);
    w.commandsChanged();
    w.runCommand("mnuInput");
    for (int i = 0; i < 20; ++i) QApplication::processEvents();

    RecordingImageSurface recording;
    Ctx recCtx{recording, quiet, paths, mdl};
    NullSurface none;
    Ctx noCtx{none, quiet, paths, mdl};

    std::vector<double> bare, runner, recorded, window, display;
    if (const char* only = std::getenv("VELTA_LIVE_ONLY")) {
        const double t = cpuMs();
        switch (only[0]) {
        case 'n': shell.mnuIntegr(noCtx); break;
        case 'i': shell.mnuIntegr(ctx); break;
        case 'r': shell.mnuIntegr(recCtx); break;
        case 'w':
            w.runCommand("mnuIntegr");
            QApplication::processEvents();
            break;
        default: std::fprintf(stderr, "VELTA_LIVE_ONLY: one of n, i, r, w\n"); return 2;
        }
        std::printf("%s: %.1f ms, %zu primitives recorded\n", only, cpuMs() - t, recording.size());
        // VELTA_LIVE_FIGURE=FILE.svg|.pdf|.png saves the recorded picture, to look at.
        if (const char* fig = std::getenv("VELTA_LIVE_FIGURE")) {
            const QString err = recording.save(QString::fromLocal8Bit(fig));
            if (!err.isEmpty()) std::fprintf(stderr, "%s\n", err.toUtf8().constData());
        }
        return 0;
    }
    for (int r = 0; r < rounds; ++r) {
        double t = cpuMs();
        if (!shell.mnuIntegr(noCtx)) return 1;
        bare.push_back(cpuMs() - t);
        t = cpuMs();
        if (!shell.mnuIntegr(ctx)) return 1;
        runner.push_back(cpuMs() - t);
        t = cpuMs();
        if (!shell.mnuIntegr(recCtx)) return 1;
        recorded.push_back(cpuMs() - t);
        const double s = processMs(server);
        t = cpuMs();
        w.runCommand("mnuIntegr");
        QApplication::processEvents();
        window.push_back(cpuMs() - t);
        display.push_back(processMs(server) - s);
    }
    std::printf(
        "no picture %.1f ms, image surface %.1f ms, recording surface %.1f ms (%.2fx), window %.1f ms: "
        "%.2fx the image surface, %.2fx no picture, %.2fx the recording surface",
        median(bare), median(runner), median(recorded), median(recorded) / median(runner), median(window),
        median(window) / median(runner), median(window) / median(bare), median(window) / median(recorded));
    if (server > 0) std::printf(", display server %.1f ms per run", median(display));
    std::printf(" (medians of %d)\n", rounds);
    return 0;
}
