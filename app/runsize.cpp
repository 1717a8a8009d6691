#include "app/runsize.h"

#include "data/catalogue.h"
#include "data/numtext.h"
#include "data/store.h"

#include <algorithm>
#include <cmath>

namespace velta {

namespace {

// A table row: step number, time and n values, each with three blanks, then CR LF.
double rowBytes(int n) { return 24.0 + 14.0 * std::max(n, 1) + 2.0; }

RunEstimate stepTable(double end, double h, int nsc, int n) {
    RunEstimate e;
    if (!(h > 0) || !(end >= 0) || nsc < 1 || !std::isfinite(end / h)) return e;
    e.steps = std::floor(end / h) + 1;
    e.rows = 1 + std::floor(e.steps / nsc);
    e.bytes = e.rows * rowBytes(n);
    return e;
}

}  // namespace

RunEstimate estimateRun(const Store& g, int section) {
    const SectionInfo* info = findSection(section);
    switch (info ? info->traits.runSize : RunSize::None) {
    case RunSize::Autonomous: return stepTable(g.TMAX, g.HHH, g.NSC, g.NDIM);
    case RunSize::ThreeColumns:  // the interval ends at SCRT; the table holds the three coordinates
        return stepTable(g.SCRT, g.HHH, g.NSC, 3);
    case RunSize::DelayPortion: {
        // One portion: at least one window TAU(LTAU), NDEL steps per window (the step of a
        // later portion is HHH).
        if (g.LTAU < 1 || g.TAU.upper() < g.LTAU) return {};
        const double taum = g.TAU(g.LTAU);
        const double h = g.HHH > 0 ? g.HHH : (g.NDEL > 0 ? taum / g.NDEL : 0);
        if (!(taum > 0)) return {};
        return stepTable(std::max(g.TMAX, taum), h, g.NSC, std::max(g.MDIM, g.NDIM));
    }
    case RunSize::None: break;
    }
    return {};
}

std::string sizeText(double bytes) {
    const char* units[] = {"байт", "КБ", "МБ", "ГБ", "ТБ"};
    int u = 0;
    while (bytes >= 1000 && u < 4) {
        bytes /= 1000;
        ++u;
    }
    return CStr(static_cast<long long>(std::llround(bytes))) + " " + units[u];
}

std::string runSizeQuestion(const Store& g, int section, const std::string& resultsName) {
    const RunEstimate e = estimateRun(g, section);
    if (!e.known() || (e.bytes <= kMaxResultsBytes && e.steps <= kMaxRunSteps)) return {};
    return "Счёт займёт " + CStr(e.steps) + " шагов интегрирования, файл результатов " + resultsName +
           " — около " + sizeText(e.bytes) + " (" + CStr(e.rows) + " строк).\n" +
           "Проверьте TMAX, HHH и NSC. Продолжить счёт?";
}

}  // namespace velta
