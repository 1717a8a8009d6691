#include "app/sweep.h"

#include "app/shell.h"
#include "data/paths.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace velta {

namespace {

bool toNumber(const std::string& s, double& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    v = std::strtod(s.c_str(), &end);
    return *end == '\0' && std::isfinite(v) && errno == 0;
}

bool toCount(const std::string& s, long& n) {
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 9) return false;
    n = std::stol(s);
    return true;
}

// The value as put into the data file: the shortest text of at most 10 significant digits
// (0.1 steps stay 0.1; 1/13 steps are written as 1.076923077).
std::string numberText(double v) {
    char buf[32];
    for (int p = 6; p <= 10; ++p) {
        std::snprintf(buf, sizeof buf, "%.*g", p, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    return buf;
}

std::uint64_t fnv1a(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

std::uint64_t splitmix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    if (from.empty()) return s;
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
    return s;
}

// ---- a small JSON reader: enough for the summary objects the runner writes.
struct JsonReader {
    const std::string& s;
    std::size_t i = 0;
    void ws() {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    }
    std::string string() {
        std::string out;
        ++i;  // opening quote
        while (i < s.size() && s[i] != '"') {
            if (s[i] == '\\' && i + 1 < s.size()) {
                const char e = s[++i];
                switch (e) {
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    const unsigned code = static_cast<unsigned>(
                        std::strtoul(s.substr(i + 1, 4).c_str(), nullptr, 16));
                    out += static_cast<char>(code < 0x80 ? code : '?');
                    i += 4;
                    break;
                }
                default: out += e;
                }
                ++i;
            } else {
                out += s[i++];
            }
        }
        ++i;  // closing quote
        return out;
    }
    // Skips a value and returns its raw text (strings unquoted).
    std::string value() {
        ws();
        if (i >= s.size()) throw VeltaError("summary ends early");
        if (s[i] == '"') return string();
        const std::size_t start = i;
        if (s[i] == '{' || s[i] == '[') {
            int depth = 0;
            bool inString = false;
            for (; i < s.size(); ++i) {
                const char c = s[i];
                if (inString) {
                    if (c == '\\') ++i;
                    else if (c == '"') inString = false;
                } else if (c == '"') {
                    inString = true;
                } else if (c == '{' || c == '[') {
                    ++depth;
                } else if (c == '}' || c == ']') {
                    if (--depth == 0) {
                        ++i;
                        break;
                    }
                }
            }
            return s.substr(start, i - start);
        }
        while (i < s.size() && s[i] != ',' && s[i] != '}' && s[i] != ']' &&
               !std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
        return s.substr(start, i - start);
    }
    // An object's members into out (nested objects named in `descend` are read into out too).
    void object(std::map<std::string, std::string>& out, const std::string& descend) {
        ws();
        if (i >= s.size() || s[i] != '{') throw VeltaError("summary is not a JSON object");
        ++i;
        for (;;) {
            ws();
            if (i < s.size() && s[i] == '}') {
                ++i;
                return;
            }
            if (i >= s.size() || s[i] != '"') throw VeltaError("summary: a member name is expected");
            const std::string name = string();
            ws();
            if (i >= s.size() || s[i] != ':') throw VeltaError("summary: ':' is expected");
            ++i;
            ws();
            if (name == descend && i < s.size() && s[i] == '{') object(out, "");
            else out[name] = value();
            ws();
            if (i < s.size() && s[i] == ',') ++i;
        }
    }
};

}  // namespace

std::map<std::string, std::string> summaryValues(const std::string& json) {
    std::map<std::string, std::string> out;
    JsonReader r{json};
    r.object(out, "outputs");
    return out;
}

// ---------------------------------------------------------------- axes and points

SweepAxis parseAxis(const std::string& spec) {
    const auto eq = spec.find('=');
    if (eq == std::string::npos || eq == 0)
        throw VeltaError("axis \"" + spec + "\": write KEY=a:b:n, KEY=log:a:b:n or KEY=v1,v2,...");
    SweepAxis a;
    a.key = spec.substr(0, eq);
    std::string body = spec.substr(eq + 1);
    if (body.rfind("log:", 0) == 0) {
        a.log = true;
        body = body.substr(4);
    }
    if (body.find(':') != std::string::npos) {
        std::vector<std::string> p;
        std::stringstream ss(body);
        for (std::string x; std::getline(ss, x, ':');) p.push_back(x);
        double from = 0, to = 0;
        long n = 0;
        if (p.size() != 3 || !toNumber(p[0], from) || !toNumber(p[1], to) || !toCount(p[2], n))
            throw VeltaError("axis \"" + spec + "\": a range is a:b:n with numbers a, b and a whole n");
        if (n < 1) throw VeltaError("axis \"" + spec + "\" has no points (n = 0)");
        if (a.log && !(from > 0 && to > 0))
            throw VeltaError("axis \"" + spec + "\": a log range needs a > 0 and b > 0");
        for (long k = 0; k < n; ++k) {
            const double f = n == 1 ? 0.0 : static_cast<double>(k) / static_cast<double>(n - 1);
            double v = a.log ? std::exp(std::log(from) + (std::log(to) - std::log(from)) * f)
                             : from + (to - from) * f;
            if (k == n - 1 && n > 1) v = to;
            a.values.push_back(numberText(v));
        }
        return a;
    }
    if (a.log) throw VeltaError("axis \"" + spec + "\": log needs a range a:b:n");
    std::stringstream ss(body);
    for (std::string x; std::getline(ss, x, ',');)
        if (!x.empty()) a.values.push_back(x);
    if (a.values.empty()) throw VeltaError("axis \"" + spec + "\" has no points");
    return a;
}

std::size_t SweepSpec::points() const {
    std::size_t n = axes.empty() ? 0 : 1;
    for (const auto& a : axes) n *= a.values.size();
    return n;
}

std::vector<std::string> SweepSpec::values(std::size_t i) const {
    std::vector<std::string> v(axes.size());
    for (std::size_t k = axes.size(); k-- > 0;) {
        const std::size_t m = axes[k].values.size();
        v[k] = axes[k].values[i % m];
        i /= m;
    }
    return v;
}

long long SweepSpec::pointSeed(std::size_t i) const {
    return static_cast<long long>(splitmix(seed * 0x100000001B3ULL + i) % 2147483647ULL);
}

std::string SweepSpec::identity() const {
    std::ostringstream s;
    s << "velta-sweep 1\nsection " << section << "\ndata " << data << "\ndata-hash " << std::hex
      << fnv1a(fileBytes(data)) << std::dec << "\ntask " << task << "\nseed " << seed << "\n";
    for (const auto& a : axes) {
        s << "axis " << a.key;
        for (const auto& v : a.values) s << " " << v;
        s << "\n";
    }
    for (const auto& x : sets) s << "set " << x << "\n";
    return s.str();
}

// ---------------------------------------------------------------- the table

const std::vector<std::string>& summaryFields() {
    static const std::vector<std::string> f = {
        "period",       "amplitude",         "stationary", "rows",
        "final_t",      "final_state",       "last_half",  "ALFAc",
        "Uc",           "critical_point",    "points",     "turning_points",
        "qsolv_points", "stability_changes", "solutions",  "solution_list"};
    return f;
}

std::vector<std::string> tableHeader(const SweepSpec& s) {
    std::vector<std::string> h = {"point"};
    for (const auto& a : s.axes) h.push_back(a.key);
    for (const char* c : {"seed", "exit_status", "message"}) h.push_back(c);
    for (const auto& f : summaryFields()) h.push_back(f);
    return h;
}

std::string csvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) line += ',';
        const std::string& c = cells[i];
        if (c.find_first_of(",\"\r\n") == std::string::npos) {
            line += c;
            continue;
        }
        line += '"';
        for (char ch : c) {
            if (ch == '"') line += '"';
            line += ch;
        }
        line += '"';
    }
    return line;
}

std::vector<std::string> parseCsvLine(const std::string& line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (quoted) {
            if (ch == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else if (ch == '"') {
                quoted = false;
            } else {
                cells.back() += ch;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            cells.emplace_back();
        } else {
            cells.back() += ch;
        }
    }
    return cells;
}

std::vector<std::string> tableRow(const SweepSpec& s, std::size_t i, int exitStatus,
                                  const std::string& summaryJson, const std::string& driverMessage,
                                  const std::string& privateRoot) {
    std::vector<std::string> row = {std::to_string(i)};
    for (const auto& v : s.values(i)) row.push_back(v);
    row.push_back(std::to_string(s.pointSeed(i)));
    std::map<std::string, std::string> values;
    std::string message = driverMessage;
    if (!summaryJson.empty()) {
        try {
            values = summaryValues(summaryJson);
        } catch (const std::exception& e) {
            if (message.empty()) message = std::string("unreadable summary: ") + e.what();
        }
    } else if (message.empty() && exitStatus != 0) {
        message = "the run wrote no summary";
    }
    if (message.empty()) message = values["message"];
    if (exitStatus == 0 && values.count("exit_status") && values["exit_status"] != "0")
        exitStatus = std::atoi(values["exit_status"].c_str());
    row.push_back(std::to_string(exitStatus));
    // Paths inside the private copy are shown as the sweep's own.
    row.push_back(replaceAll(message, privateRoot, s.root));
    for (const auto& f : summaryFields()) {
        const auto it = values.find(f);
        row.push_back(it == values.end() || it->second == "null" ? std::string() : it->second);
    }
    return row;
}

SweepTable readTable(const std::string& path) {
    SweepTable t;
    const std::string bytes = fileBytes(path);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t nl = bytes.find('\n', start);
        if (nl == std::string::npos) break;  // an interrupted last line is no row
        std::string line = bytes.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = nl + 1;
        // A quoted cell may hold a line end: join until the quotes balance.
        while (std::count(line.begin(), line.end(), '"') % 2 == 1) {
            const std::size_t more = bytes.find('\n', start);
            if (more == std::string::npos) return t;
            line += "\n" + bytes.substr(start, more - start);
            start = more + 1;
        }
        t.completeBytes = start;
        auto cells = parseCsvLine(line);
        if (t.header.empty()) {
            t.header = cells;
            continue;
        }
        long n = 0;
        if (!cells.empty() && toCount(cells[0], n)) t.rows[static_cast<std::size_t>(n)] = std::move(cells);
    }
    return t;
}

SweepTable openSweepFolder(const SweepSpec& s, const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder)) throw VeltaError("cannot make the folder " + folder + ": " + ec.message());
    const std::string idPath = (fs::path(folder) / "sweep.id").string();
    const std::string table = (fs::path(folder) / "sweep.csv").string();
    const std::string id = s.identity();
    const bool hasTable = fs::exists(table) && fs::file_size(table, ec) > 0;
    if (fs::exists(idPath)) {
        if (fileBytes(idPath) != id)
            throw VeltaError(folder +
                             " holds the table of another sweep (section, data file, axes, fixed values "
                             "or seed differ; see its sweep.id): choose another --out folder");
    } else if (hasTable) {
        throw VeltaError(
            table + " was not written by this sweep (no sweep.id beside it): choose another --out folder");
    } else {
        std::ofstream f(idPath, std::ios::binary);
        f << id;
        f.close();
        if (!f) throw VeltaError("cannot write " + idPath + ": " + std::strerror(errno));
    }
    SweepTable t = readTable(table);
    if (hasTable && !t.header.empty() && t.header != tableHeader(s))
        throw VeltaError(table + " has other columns than this sweep: choose another --out folder");
    if (hasTable && t.completeBytes < fs::file_size(table, ec)) {
        // An interrupted write left part of a row: cut it off (its point is run again).
        fs::resize_file(table, t.completeBytes, ec);
        if (ec) throw VeltaError("cannot repair " + table + ": " + ec.message());
    }
    return t;
}

TableAppender::TableAppender(const SweepSpec& s, std::string path)
    : path_(std::move(path)), header_(tableHeader(s)) {}

TableAppender::~TableAppender() {
    if (fd_ < 0) return;
    (void)::fsync(fd_);
    ::close(fd_);
}

void TableAppender::append(const std::vector<std::string>& row) {
    std::string text;
    if (fd_ < 0) {
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd_ < 0) throw VeltaError("cannot write " + path_ + ": " + std::strerror(errno));
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && st.st_size == 0) text += csvLine(header_) + "\n";
        lastSync_ = std::chrono::steady_clock::now();
    }
    text += csvLine(row) + "\n";
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t w = ::write(fd_, text.data() + done, text.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            const int err = errno;
            // A partly written row is cut off again, so the table stays whole.
            const off_t end = ::lseek(fd_, 0, SEEK_END);
            if (end >= static_cast<off_t>(done)) (void)::ftruncate(fd_, end - static_cast<off_t>(done));
            ::close(fd_);
            fd_ = -1;
            throw VeltaError("cannot write " + path_ + ": " + std::strerror(err));
        }
        done += static_cast<std::size_t>(w);
    }
    // Every row is with the system as soon as it is written (a killed sweep keeps it); the
    // disk gets the rows at least once a second, not once a row, which would cost more than
    // a point.
    if (std::chrono::steady_clock::now() - lastSync_ >= std::chrono::seconds(1)) sync();
}

void TableAppender::sync() {
    if (fd_ < 0) return;
    if (::fsync(fd_) != 0 && errno != EINVAL)
        throw VeltaError("cannot write " + path_ + ": " + std::strerror(errno));
    lastSync_ = std::chrono::steady_clock::now();
}

SweepTable gatherTable(const SweepSpec& s, const std::string& folder, const std::vector<std::string>& parts) {
    const std::string table = (fs::path(folder) / "sweep.csv").string();
    SweepTable all = readTable(table);
    for (const auto& p : parts) {
        SweepTable t = readTable(p);
        if (!t.header.empty() && t.header != tableHeader(s))
            throw VeltaError(p + " has other columns than this sweep");
        for (auto& [k, row] : t.rows) all.rows.emplace(k, std::move(row));
    }
    all.header = tableHeader(s);
    std::string text = csvLine(all.header) + "\n";
    for (const auto& [k, row] : all.rows) text += csvLine(row) + "\n";
    all.completeBytes = text.size();
    const std::string tmp = table + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f << text;
        f.flush();
        if (!f) {
            f.close();
            std::remove(tmp.c_str());
            throw VeltaError("cannot write " + tmp + " (the table " + table +
                             " is kept as it was): " + std::strerror(errno));
        }
    }
    std::error_code ec;
    fs::rename(tmp, table, ec);
    if (ec) throw VeltaError("cannot replace " + table + ": " + ec.message());
    for (const auto& p : parts) fs::remove(p, ec);
    return all;
}

// ---------------------------------------------------------------- private folders and processes

PrivateRoot::PrivateRoot(const std::string& root, const std::string& tmpBase) : root_(root) {
    std::string tmpl = (fs::path(tmpBase) / "velta-sweep-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw VeltaError("cannot make a folder in " + tmpBase + ": " + std::strerror(errno));
    path_ = tmpl;
    // The User folder without the results and check files of earlier runs.
    const AppPaths paths(root);
    const fs::path from = paths.user();
    std::vector<std::string> skip;
    for (const auto& n : Shell::deleteList()) skip.push_back(lowerUtf8(n));
    std::error_code ec;
    fs::create_directories(fs::path(path_) / "User", ec);
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path rel = it->path().lexically_relative(from);  // no system call a file
        const fs::path to = fs::path(path_) / "User" / rel;
        if (it->is_directory()) {
            fs::create_directories(to, ec);
        } else if (it->is_regular_file()) {
            if (it.depth() == 0 && std::find(skip.begin(), skip.end(), lowerUtf8(rel.string())) != skip.end())
                continue;
            fs::copy_file(it->path(), to, fs::copy_options::overwrite_existing, ec);
        }
    }
    if (ec) {
        const std::string why = ec.message();
        fs::remove_all(path_, ec);
        throw VeltaError("cannot copy " + from.string() + " for a worker: " + why);
    }
}

PrivateRoot::~PrivateRoot() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void PrivateRoot::clearRun() const { clearRunFiles(path_); }

void clearRunFiles(const std::string& root) {
    // One listing of the folder and a removal for each run file in it: most of the names a
    // run may write are not there, and trying each costs a system call a name every point.
    static const std::set<std::string> names(Shell::deleteList().begin(), Shell::deleteList().end());
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(root + "/User", ec), end; !ec && it != end; it.increment(ec))
        if (names.count(it->path().filename().string()) != 0) found.push_back(it->path());
    for (const auto& p : found) std::remove(p.c_str());
}

std::string PrivateRoot::mapped(const std::string& file) const {
    const std::string user = AppPaths(root_).user() + "/";
    if (file.rfind(user, 0) == 0) return (fs::path(path_) / "User" / file.substr(user.size())).string();
    return file;
}

std::vector<std::string> runnerArgs(const SweepSpec& s, std::size_t i, const std::string& runner,
                                    const std::string& root, const std::string& dataInRoot,
                                    const std::string& summary) {
    std::vector<std::string> a = {runner,
                                  "--root",
                                  root,
                                  "--section",
                                  std::to_string(s.section),
                                  "--data",
                                  dataInRoot,
                                  "--seed",
                                  std::to_string(s.pointSeed(i)),
                                  "--summary",
                                  summary};
    if (!s.task.empty()) {
        a.push_back("--task");
        a.push_back(s.task);
    }
    for (const auto& x : s.sets) {
        a.push_back("--set");
        a.push_back(x);
    }
    const auto v = s.values(i);
    for (std::size_t k = 0; k < s.axes.size(); ++k) {
        a.push_back("--set");
        a.push_back(s.axes[k].key + "=" + v[k]);
    }
    return a;
}

std::string waitStatusMessage(int status) {
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        return std::string("velta-run was ended by signal ") + std::to_string(sig) + " (" + strsignal(sig) +
               ")";
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return "velta-run could not be started";
    return {};
}

int exitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}

std::string fileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    if (!f) return {};
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(0, f.tellg())), '\0');
    f.seekg(0);
    f.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(f.gcount()));
    return bytes;
}

}  // namespace velta
