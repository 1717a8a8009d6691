#include "app/runsummary.h"

#include "data/catalogue.h"
#include "data/dataoverride.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "data/textlist.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

namespace velta {

namespace {

// When the latest run began (set by RunSummary's constructor: once a run, not once a process).
std::filesystem::file_time_type gRunStart{};
std::filesystem::file_time_type runStart() { return gRunStart; }

bool number(const std::string& s, double& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return end && *end == '\0' && std::isfinite(v);
}

std::vector<std::string> fileLines(const std::string& path) {
    try {
        return readAllLines(path);
    } catch (const std::exception&) {
        return {};
    }
}

// Lines of a file the run wrote (modified since the run began); none for an older file.
std::vector<std::string> freshLines(const std::string& path) {
    std::error_code ec;
    const auto t = std::filesystem::last_write_time(path, ec);
    if (ec || t < runStart() - std::chrono::seconds(2)) return {};
    return fileLines(path);
}

int countBlocks(const std::vector<std::string>& lines, const std::string& heading) {
    int n = 0;
    for (const auto& l : lines) n += l.rfind(heading, 0) == 0 ? 1 : 0;
    return n;
}

std::string numberList(const std::vector<double>& v) {
    std::string s = "[";
    for (std::size_t i = 0; i < v.size(); ++i) s += (i ? "," : "") + jsonNumber(v[i]);
    return s + "]";
}

// A value text of a data file as JSON: a number when it reads as one, else a string.
std::string jsonValue(const std::string& text) {
    double v = 0;
    if (number(text, v)) return jsonNumber(v);
    return jsonString(text);
}

}  // namespace

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char ch : s) {
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (ch < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", ch);
                out += buf;
            } else {
                out += static_cast<char>(ch);
            }
        }
    }
    return out + "\"";
}

std::string jsonNumber(double v) {
    if (!std::isfinite(v)) return "null";
    // The shortest text that reads back as the same double.
    char buf[32];
    for (int p = 15; p <= 17; ++p) {
        std::snprintf(buf, sizeof buf, "%.*g", p, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    return buf;
}

IntegrationOutcome integrationOutcome(const std::vector<std::vector<double>>& rows, char prefix,
                                      const std::vector<int>& plotted) {
    IntegrationOutcome o;
    if (rows.empty() || rows.back().size() < 2) return o;
    o.hasRows = true;
    o.finalT = rows.back()[0];
    o.finalState.assign(rows.back().begin() + 1, rows.back().end());
    const int n = static_cast<int>(rows.back().size()) - 1;
    std::vector<int> comps = plotted;
    if (comps.empty())
        for (int i = 1; i <= n; ++i) comps.push_back(i);
    const double middle = rows.front()[0] + (rows.back()[0] - rows.front()[0]) / 2;
    o.stationary = true;
    for (int c : comps) {
        if (c < 1 || c > n) continue;
        ComponentStats s;
        s.name = std::string(1, prefix) + std::to_string(c);
        s.min = INFINITY;
        s.max = -INFINITY;
        double sum = 0;
        long count = 0;
        for (const auto& r : rows) {
            if (r[0] < middle || static_cast<int>(r.size()) <= c) continue;
            const double x = r[static_cast<std::size_t>(c)];
            s.min = std::min(s.min, x);
            s.max = std::max(s.max, x);
            sum += x;
            ++count;
        }
        if (count == 0) continue;
        s.mean = sum / static_cast<double>(count);
        o.amplitude = std::max(o.amplitude, s.max - s.min);
        if (!(s.max - s.min <= 1e-4 * std::max(1.0, std::fabs(s.mean)))) o.stationary = false;
        o.components.push_back(s);
    }
    if (o.components.empty()) o.stationary = false;
    return o;
}

std::vector<std::vector<double>> numericRows(const std::vector<std::string>& lines) {
    std::vector<std::vector<double>> rows;
    for (const auto& l : lines) {
        const auto p = words(l);
        if (p.size() < 3 || p[0].find_first_not_of("0123456789") != std::string::npos) continue;
        std::vector<double> r;
        double v = 0;
        bool ok = true;
        for (std::size_t i = 1; i < p.size() && ok; ++i) {
            ok = number(p[i], v);
            r.push_back(v);
        }
        if (ok) rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<std::pair<std::string, std::string>> dataParameters(const std::string& bytes) {
    const auto lines = splitLines(bytes);
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& k : dataKeys(lines)) {
        const std::string& line = lines[static_cast<std::size_t>(k.line)];
        std::string value;
        if (k.kind == DataKeyKind::Scalar) {
            value = line.substr(line.find(" = ") + 3);
        } else if (k.kind == DataKeyKind::List) {
            value = line;
        } else {
            std::size_t start = 0;
            for (int j = 1; j < k.item && start != std::string::npos; ++j) {
                start = line.find(',', start);
                if (start != std::string::npos) ++start;
            }
            if (start == std::string::npos) continue;
            value = line.substr(start, line.find(',', start) - start);
        }
        out.emplace_back(cp1251ToUtf8(k.name), cp1251ToUtf8(value));
    }
    return out;
}

void RunSummary::begin(char prefix, int n) {
    prefix_ = prefix;
    rows_.clear();
    if (previous_) previous_->begin(prefix, n);
}

void RunSummary::row(double t, const double* x, int n) {
    std::vector<double> r(static_cast<std::size_t>(n) + 1);
    r[0] = t;
    for (int i = 1; i <= n; ++i) r[static_cast<std::size_t>(i)] = x[i];
    rows_.push_back(std::move(r));
    if (previous_) previous_->row(t, x, n);
}

RunSummary::RunSummary() { gRunStart = std::filesystem::file_time_type::clock::now(); }

std::string RunSummary::json(const Store& g, int exitStatus, const AppPaths& paths) const {
    const SectionInfo* info = findSection(section);
    const SummaryKind kind = info ? info->traits.summary : SummaryKind::None;
    std::string s = "{\"section\":" + std::to_string(section);
    s += ",\"data\":" + jsonString(dataPath);
    s += ",\"parameters\":{";
    for (std::size_t i = 0; i < parameters.size(); ++i)
        s += (i ? "," : "") + jsonString(parameters[i].first) + ":" + jsonValue(parameters[i].second);
    s += "},\"exit_status\":" + std::to_string(exitStatus);
    s += ",\"message\":" + (messages.empty() ? std::string("\"\"") : jsonString(messages.back()));
    s += ",\"outputs\":{";
    const std::string results = info && !info->resultExt.empty()
                                    ? paths.userFile("Results." + info->resultExt)
                                    : "";
    std::string out;
    auto field = [&](const std::string& name, const std::string& value) {
        out += (out.empty() ? "" : ",") + jsonString(name) + ":" + value;
    };
    if (exitStatus == 0 && kind == SummaryKind::Steps) {
        auto rows = rows_;
        std::string source = "sink";
        if (rows.empty()) {
            // Sections that do not feed the sink: the 6-digit rows of the results file.
            rows = numericRows(freshLines(results));
            source = "results file";
        }
        std::vector<int> plotted;
        for (int j = 1; j <= g.NCOMP && j <= g.IC.upper(); ++j) plotted.push_back(g.IC(j));
        const char prefix = !rows_.empty() ? prefix_ : info->traits.delay ? 'Z' : 'X';
        const IntegrationOutcome o = integrationOutcome(rows, prefix, plotted);
        field("rows", std::to_string(rows.size()));
        field("rows_from", jsonString(source));
        if (o.hasRows) {
            field("final_t", jsonNumber(o.finalT));
            field("final_state", numberList(o.finalState));
            std::string comps = "{";
            for (std::size_t i = 0; i < o.components.size(); ++i) {
                const auto& c = o.components[i];
                comps += (i ? "," : "") + jsonString(c.name) + ":{\"min\":" + jsonNumber(c.min) +
                         ",\"max\":" + jsonNumber(c.max) + ",\"mean\":" + jsonNumber(c.mean) + "}";
            }
            field("last_half", comps + "}");
            field("amplitude", jsonNumber(o.amplitude));
        }
        field("stationary", o.stationary ? "true" : "false");
        if (info->traits.periodSearch) {
            // The period as the canvas shows it: found after TMIN in a time plot with the search on.
            const bool shown = g.LGRAPH == 1 && g.LSCREEN == 1 && g.LPERIOD > 0 && g.PERIOD > g.TMIN;
            field("period", shown ? jsonNumber(g.PERIOD) : "null");
        }
    }
    if (exitStatus == 0 && kind == SummaryKind::Stability && g.KSTAB != 0) {
        field("critical_point", g.KSTAB == 1 ? "true" : "false");
        if (g.KSTAB == 1) {
            field("ALFAc", jsonNumber(g.ALFAc));
            field("Uc", jsonNumber(g.Uc));
        }
    }
    if (exitStatus == 0 && kind == SummaryKind::Continuation) {
        const SectionInfo::Traits& t = info->traits;
        const auto points = numericRows(freshLines(results));
        field("points", std::to_string(points.size()));
        if (!t.qsolvFile.empty()) {
            field("turning_points", std::to_string(countBlocks(
                                        freshLines(paths.userFile("BSOLV." + info->resultExt)), "Решение")));
            field("qsolv_points",
                  std::to_string(countBlocks(freshLines(paths.userFile(t.qsolvFile)), "Решение")));
        }
        if (!t.stablFile.empty()) {
            // Verdicts of STABL along the curve: a change between STAB and UNSTAB is a change of stability.
            const auto lines = freshLines(paths.userFile(t.stablFile));
            if (!lines.empty()) {
                int changes = 0;
                std::string last;
                for (const auto& l : lines) {
                    const auto p = words(l);
                    if (p.empty() || (p.back() != "STAB" && p.back() != "UNSTAB")) continue;
                    if (!last.empty() && p.back() != last) ++changes;
                    last = p.back();
                }
                field("stability_changes", std::to_string(changes));
            }
        }
    }
    if (exitStatus == 0 && kind == SummaryKind::Solutions) {
        // Every solution kept in QSOLV: the first column under each "РЕШЕНИЕ" heading.
        std::vector<std::vector<double>> sols;
        for (const auto& l : freshLines(paths.userFile(info->traits.qsolvFile))) {
            if (l.find("РЕШЕНИЕ") != std::string::npos) {
                sols.emplace_back();
                continue;
            }
            const auto p = words(l);
            double v = 0;
            if (!sols.empty() && !p.empty() && number(p[0], v)) sols.back().push_back(v);
        }
        std::string list = "[";
        for (std::size_t i = 0; i < sols.size(); ++i) list += (i ? "," : "") + numberList(sols[i]);
        field("solutions", std::to_string(sols.size()));
        field("solution_list", list + "]");
    }
    s += out + "}}";
    return s;
}

}  // namespace velta
