// velta-sweep: runs one section over a grid of parameter values, every point as a run of
// velta-run (--set, --summary; a fork of a clean process calling the runner's code, or the
// program given with --runner) in a private copy of the application folder, and gathers
// FOLDER/sweep.csv with a line plot or heat map. Engines: a local pool of processes, GNU
// parallel (job list, --sshloginfile), Slurm (job array, one task per chunk of points).
#include "app/shell.h"
#include "app/sweep.h"
#include "cli/figures/runfigures.h"
#include "cli/startup.h"
#include "cli/sweep/pointserver.h"
#include "data/catalogue.h"
#include "data/dataoverride.h"
#include "data/paths.h"
#include "data/store.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace velta;

namespace {

const char* kUsage =
    "usage: velta-sweep --root DIR --section CODE [--data FILE] [--task TauN] --axis KEY=SPEC [--axis "
    "KEY=SPEC]...\n"
    "                   --out FOLDER [--set KEY=VALUE]... [--engine local|parallel|slurm] [--jobs N]\n"
    "                   [--seed N] [--field NAME] [--chunk-size N] [--sshloginfile FILE] [--sbatch-option "
    "OPT]...\n"
    "                   [--dry-run] [--retry-failed] [--runner PATH] [--tmp DIR] [--progress-lines]\n"
    "  SPEC: a:b:n (n points from a to b), log:a:b:n (evenly on a log scale), v1,v2,... (a list)\n";

volatile std::sig_atomic_t gStop = 0;
void onSignal(int) { gStop = 1; }

int usage(const std::string& why) {
    std::cerr << "velta-sweep: " << why << "\n" << kUsage;
    return 2;
}

int stop(const std::string& why) {
    std::cerr << "velta-sweep: " << why << std::endl;
    return 1;
}

struct Options {
    SweepSpec spec;
    std::vector<std::string> axisTexts;
    std::string data, out, engine = "local", field, runner, tmp, sshlogin;
    std::vector<std::string> sbatchOptions;
    int jobs = 0;
    long chunkSize = 0;
    bool dryRun = false, retryFailed = false, progressLines = false;
    bool execRunner = false;  // --runner given: every point starts that program
    int workerChunk = -1, workerChunks = 0;
};

// Starts the runs of the points; forked as the program starts (see main).
PointServer gServer;

std::string shellQuote(const std::string& s) {
    if (!s.empty() &&
        s.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-./=:,+@%") ==
            std::string::npos)
        return s;
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string programDir() { return fs::path(programFile("velta-sweep")).parent_path().string(); }

// The command line of a worker for chunk k of c (everything that defines the sweep, absolute).
std::vector<std::string> workerCommand(const Options& o, int k, int c, bool slurmTask) {
    std::vector<std::string> a = {programFile("velta-sweep"),
                                  "--root",
                                  o.spec.root,
                                  "--section",
                                  std::to_string(o.spec.section),
                                  "--data",
                                  o.spec.data,
                                  "--out",
                                  o.out,
                                  "--seed",
                                  std::to_string(o.spec.seed)};
    if (!o.tmp.empty()) a.insert(a.end(), {"--tmp", o.tmp});
    if (o.execRunner) a.insert(a.end(), {"--runner", o.runner});
    if (!o.spec.task.empty()) a.insert(a.end(), {"--task", o.spec.task});
    for (const auto& x : o.axisTexts) a.insert(a.end(), {"--axis", x});
    for (const auto& x : o.spec.sets) a.insert(a.end(), {"--set", x});
    a.push_back("--worker");
    a.push_back(slurmTask ? "$SLURM_ARRAY_TASK_ID/" + std::to_string(c)
                          : std::to_string(k) + "/" + std::to_string(c));
    return a;
}

std::string joinCommand(const std::vector<std::string>& a) {
    std::string s;
    for (const auto& x : a) {
        if (!s.empty()) s += ' ';
        s += x.rfind("$SLURM_ARRAY_TASK_ID", 0) == 0 ? "\"" + x + "\"" : shellQuote(x);
    }
    return s;
}

// ---------------------------------------------------------------- progress

class Progress {
public:
    Progress(std::size_t total, bool lines)
        : total_(total), lines_(lines), tty_(isatty(2)), start_(clock::now()) {}
    void update(std::size_t done, std::size_t failed) {
        if (lines_) {
            // One write a line: a line a point, so each costs a single system call.
            const std::string line = "progress " + std::to_string(done) + " " + std::to_string(total_) + " " +
                                     std::to_string(failed) + "\n";
            std::cerr.write(line.data(), static_cast<std::streamsize>(line.size()));
            return;
        }
        const double secs = std::chrono::duration<double>(clock::now() - start_).count();
        const double eta = done ? secs / static_cast<double>(done) * static_cast<double>(total_ - done) : 0;
        const int width = 30;
        const int filled = total_ ? static_cast<int>(width * done / total_) : width;
        char buf[160];
        std::snprintf(buf, sizeof buf, "[%s%s] %zu/%zu points, %zu failed, %s left",
                      std::string(filled, '#').c_str(), std::string(width - filled, '.').c_str(), done,
                      total_, failed, time(eta).c_str());
        if (tty_) {
            std::cerr << ("\r" + std::string(buf));
        } else if (done == total_ || done * 10 / std::max<std::size_t>(total_, 1) !=
                                         last_ * 10 / std::max<std::size_t>(total_, 1)) {
            std::cerr << buf << std::endl;
        }
        last_ = done;
    }
    void finish() {
        if (tty_ && !lines_) std::cerr << std::endl;
    }

private:
    using clock = std::chrono::steady_clock;
    static std::string time(double s) {
        char buf[32];
        if (s < 60) std::snprintf(buf, sizeof buf, "%.0fs", s);
        else if (s < 3600)
            std::snprintf(buf, sizeof buf, "%dm%02ds", static_cast<int>(s) / 60, static_cast<int>(s) % 60);
        else
            std::snprintf(buf, sizeof buf, "%dh%02dm", static_cast<int>(s) / 3600,
                          static_cast<int>(s) / 60 % 60);
        return buf;
    }
    std::size_t total_, last_ = 0;
    bool lines_, tty_;
    clock::time_point start_;
};

// ---------------------------------------------------------------- running points

// The points still to run: not in the table (failed ones too with --retry-failed).
std::vector<std::size_t> pointsToRun(const Options& o, const SweepTable& t, std::size_t from,
                                     std::size_t to) {
    const auto header = tableHeader(o.spec);
    const auto statusCol = static_cast<std::size_t>(std::find(header.begin(), header.end(), "exit_status") -
                                                    header.begin());
    std::vector<std::size_t> todo;
    for (std::size_t i = from; i < to; ++i) {
        const auto it = t.rows.find(i);
        if (it == t.rows.end()) todo.push_back(i);
        else if (o.retryFailed && statusCol < it->second.size() && it->second[statusCol] != "0")
            todo.push_back(i);
    }
    return todo;
}

// One worker slot of the local pool: a private folder and the points sent to it. A slot's
// worker has its next point queued while it computes one (two lanes, each with its own
// summary and log), so it goes on without waiting for this process; a program started per
// point (--runner) has one lane, its files cleared here.
struct Slot {
    std::unique_ptr<PrivateRoot> root;
    std::string data;  // the sweep's data file in the private folder
    std::array<bool, 2> busy{};
    std::array<std::size_t, 2> point{};
    std::string summary(int lane) const {
        return root->path() + "/summary-" + std::to_string(lane) + ".json";
    }
    std::string log(int lane) const { return root->path() + "/run-" + std::to_string(lane) + ".log"; }
    int running() const { return busy[0] + busy[1]; }
};

// Starts point i in a free lane of slot k; false when the server cannot be reached.
bool startPoint(const Options& o, Slot& s, int k, std::size_t i) {
    const int lane = s.busy[0] ? 1 : 0;
    if (o.execRunner) {
        std::remove(s.summary(lane).c_str());
        std::remove(s.log(lane).c_str());
        s.root->clearRun();
    }
    s.point[lane] = i;
    s.busy[lane] = gServer.run(2 * k + lane, o.execRunner,
                               runnerArgs(o.spec, i, o.runner, s.root->path(), s.data, s.summary(lane)),
                               s.log(lane), o.execRunner ? std::string() : s.root->path());
    return s.busy[lane];
}

// What a run left: its summary, and its output when it made no summary.
struct RunOutput {
    std::size_t point = 0;
    int status = 0;
    std::string json, log;
};

// A worker hands its summary back with the end of the run; a program started per point leaves it
// in the lane's file.
RunOutput collect(const Options& o, const Slot& s, int lane, const PointServer::Ended& e) {
    RunOutput r{s.point[lane], e.status, o.execRunner ? fileBytes(s.summary(lane)) : e.summary, {}};
    if (r.json.empty()) r.log = fileBytes(s.log(lane));
    return r;
}

std::vector<std::string> finishedRow(const Options& o, const RunOutput& r, const std::string& privateRoot) {
    std::string message = waitStatusMessage(r.status);
    const std::string& json = r.json;
    if (message.empty() && json.empty()) {
        // No summary: the last line the run printed says why.
        std::istringstream log(r.log);
        std::string line, last;
        while (std::getline(log, line))
            if (!line.empty()) last = line;
        message = last.empty() ? "the run wrote no summary" : last;
    }
    return tableRow(o.spec, r.point, exitCodeOf(r.status), json, message, privateRoot);
}

// Where the private copies go: --tmp, else $TMPDIR, else memory (/dev/shm, where the files
// every run writes and removes cost least), else /tmp.
std::string privateBase(const std::string& given) {
    if (!given.empty()) return given;
    if (const char* t = std::getenv("TMPDIR"); t && *t) return t;
    if (::access("/dev/shm", W_OK | X_OK) == 0 && fs::is_directory("/dev/shm")) return "/dev/shm";
    return "/tmp";
}

// Runs the points on `jobs` processes at once, appending every finished point to `table`.
// Returns 0, or 1 when the table could not be written or the run was stopped.
int runPool(const Options& o, const std::vector<std::size_t>& todo, TableAppender& table, int jobs,
            bool showProgress) {
    if (!gServer.error().empty()) return stop(gServer.error());
    std::vector<Slot> pool(
        static_cast<std::size_t>(std::max(1, std::min<int>(jobs, static_cast<int>(todo.size())))));
    // A slot's private copy of User is made when it starts its first point: the first slot
    // computes while the next one's copy is made.
    const std::string base = privateBase(o.tmp);
    Progress progress(todo.size(), o.progressLines);
    std::size_t next = 0, done = 0, failed = 0, running = 0;
    std::string error;
    const std::string serverGone = "the process that starts the runs has ended";
    // Ends the running points and waits for their ends (their rows are not recorded).
    auto killAll = [&] {
        gServer.stopAll();
        PointServer::Ended e;
        while (running > 0) {
            if (gServer.next(e)) {
                if (e.token >= 0 && static_cast<std::size_t>(e.token / 2) < pool.size())
                    pool[static_cast<std::size_t>(e.token / 2)].busy[e.token % 2] = false;
                --running;
            } else if (errno != EINTR) {
                running = 0;
            }
        }
    };
    const int lanes = o.execRunner ? 1 : 2;
    auto startFree = [&] {
        for (int round = 0; round < lanes; ++round)
            for (std::size_t k = 0; k < pool.size(); ++k) {
                if (pool[k].running() > round || next >= todo.size() || gStop || !error.empty()) continue;
                if (!pool[k].root) {
                    try {
                        pool[k].root = std::make_unique<PrivateRoot>(o.spec.root, base);
                        pool[k].data = pool[k].root->mapped(o.spec.data);
                    } catch (const std::exception& e) {
                        error = e.what();
                        return;
                    }
                }
                if (!startPoint(o, pool[k], static_cast<int>(k), todo[next])) {
                    error = serverGone;
                    return;
                }
                ++next;
                ++running;
            }
    };
    for (;;) {
        if (gStop && running > 0) killAll();
        startFree();
        if (running == 0 || !error.empty()) break;
        PointServer::Ended e;
        if (!gServer.next(e)) {
            if (errno == EINTR) {
                if (gStop) killAll();
                continue;
            }
            error = serverGone;
            break;
        }
        if (e.token < 0 || static_cast<std::size_t>(e.token / 2) >= pool.size()) continue;
        Slot& slot = pool[static_cast<std::size_t>(e.token / 2)];
        const int lane = e.token % 2;
        slot.busy[lane] = false;
        --running;
        if (e.forkError != 0) {
            error = std::string("cannot start a run: ") + std::strerror(e.forkError);
            killAll();
            break;
        }
        if (gStop) continue;  // a point ended by the stop is run again next time
        const RunOutput out = collect(o, slot, lane, e);
        // The slot's next point starts before the row is made and written.
        startFree();
        const auto row = finishedRow(o, out, slot.root->path());
        try {
            table.append(row);
        } catch (const std::exception& e) {
            error = e.what();
            killAll();
            break;
        }
        ++done;
        if (row[o.spec.axes.size() + 2] != "0") ++failed;
        if (showProgress) progress.update(done, failed);
    }
    if (!error.empty() && running > 0) killAll();
    if (error.empty()) {
        try {
            table.sync();
        } catch (const std::exception& e) {
            error = e.what();
        }
    }
    if (showProgress) progress.finish();
    if (!error.empty())
        return stop(error + "\n" + std::to_string(done) + " point(s) of this run were recorded in " +
                    table.path() + "; free the space and run the same command again to go on");
    if (gStop) {
        std::cerr << "velta-sweep: stopped; " << done << " point(s) of this run were recorded in "
                  << table.path() << "; run the same command again to go on" << std::endl;
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- engines

int runWorker(const Options& o) {
    // A chunk of the points, one after another, into its own part of the table.
    const std::size_t n = o.spec.points();
    const std::size_t from = n * static_cast<std::size_t>(o.workerChunk) /
                             static_cast<std::size_t>(o.workerChunks);
    const std::size_t to = n * static_cast<std::size_t>(o.workerChunk + 1) /
                           static_cast<std::size_t>(o.workerChunks);
    const std::string idPath = (fs::path(o.out) / "sweep.id").string();
    if (fileBytes(idPath) != o.spec.identity())
        return stop(idPath +
                    " does not describe this sweep: start it again with velta-sweep (without --worker)");
    const std::string part =
        (fs::path(o.out) / "parts" / ("part-" + std::to_string(o.workerChunk) + ".csv")).string();
    std::error_code ec;
    fs::create_directories(fs::path(part).parent_path(), ec);
    SweepTable done = readTable((fs::path(o.out) / "sweep.csv").string());
    for (auto& [k, row] : readTable(part).rows) done.rows[k] = row;
    TableAppender table(o.spec, part);
    const int rc = runPool(o, pointsToRun(o, done, from, to), table, 1, false);
    gServer.finish();
    return rc;
}

int chunkCount(const Options& o) {
    const long n = static_cast<long>(o.spec.points());
    const long size = o.chunkSize > 0 ? o.chunkSize : std::max(1L, (n + 99) / 100);
    return static_cast<int>(std::max(1L, (n + size - 1) / size));
}

std::vector<std::string> partFiles(const std::string& out) {
    std::vector<std::string> parts;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(out) / "parts", ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".csv") parts.push_back(it->path().string());
    std::sort(parts.begin(), parts.end());
    return parts;
}

// Runs a program and waits; its output goes to ours. Returns the wait status or -1.
int runAndWait(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        ::execvp(args[0], args.data());
        std::fprintf(stderr, "velta-sweep: cannot start %s: %s\n", args[0], std::strerror(errno));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
        if (gStop) ::kill(pid, SIGTERM);
    }
    return status;
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream ss(path ? path : "");
    for (std::string dir; std::getline(ss, dir, ':');)
        if (!dir.empty() && ::access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
    return false;
}

int runParallel(const Options& o) {
    const int chunks = chunkCount(o);
    const std::string jobsFile = (fs::path(o.out) / "jobs.txt").string();
    {
        std::ofstream f(jobsFile, std::ios::binary | std::ios::trunc);
        for (int k = 0; k < chunks; ++k) f << joinCommand(workerCommand(o, k, chunks, false)) << "\n";
        f.close();
        if (!f) return stop("cannot write " + jobsFile);
    }
    std::cerr << "velta-sweep: " << chunks << " job(s) in " << jobsFile << std::endl;
    if (o.dryRun) return 0;
    if (!onPath("parallel"))
        return stop("GNU parallel is not installed (Debian package parallel); the job list is " + jobsFile);
    std::vector<std::string> cmd = {"parallel", "--will-cite", "--halt",
                                    "never",    "--joblog",    (fs::path(o.out) / "parallel.log").string()};
    if (o.jobs > 0) cmd.insert(cmd.end(), {"--jobs", std::to_string(o.jobs)});
    if (!o.sshlogin.empty()) cmd.insert(cmd.end(), {"--sshloginfile", o.sshlogin});
    if (isatty(2)) cmd.push_back("--bar");
    cmd.insert(cmd.end(), {"--arg-file", jobsFile});
    const int st = runAndWait(cmd);
    if (st < 0 || !WIFEXITED(st) || WEXITSTATUS(st) != 0)
        std::cerr << "velta-sweep: GNU parallel reported failed jobs (see "
                  << (fs::path(o.out) / "parallel.log").string() << "); the points they recorded are kept"
                  << std::endl;
    return 0;
}

int runSlurm(const Options& o) {
    const int chunks = chunkCount(o);
    const std::string script = (fs::path(o.out) / "sweep.sbatch").string();
    const std::string logs = (fs::path(o.out) / "slurm").string();
    std::error_code ec;
    fs::create_directories(logs, ec);
    {
        std::ofstream f(script, std::ios::binary | std::ios::trunc);
        f << "#!/bin/bash\n"
          << "# velta-sweep: one array task per chunk of points; each writes parts/part-<task>.csv\n"
          << "#SBATCH --job-name=velta-sweep\n"
          << "#SBATCH --array=0-" << chunks - 1 << "\n"
          << "#SBATCH --ntasks=1\n#SBATCH --cpus-per-task=1\n"
          << "#SBATCH --output=" << logs << "/task-%a.log\n";
        for (const auto& x : o.sbatchOptions) f << "#SBATCH " << x << "\n";
        f << "exec " << joinCommand(workerCommand(o, 0, chunks, true)) << "\n";
        f.close();
        if (!f) return stop("cannot write " + script);
    }
    std::cerr << "velta-sweep: " << chunks << " array task(s) in " << script << std::endl;
    if (o.dryRun) return 0;
    if (!onPath("sbatch"))
        return stop("Slurm is not reachable: sbatch is not installed on this machine; the batch script is " +
                    script + " (nothing was run, the table is as it was)");
    const int st = runAndWait({"sbatch", "--parsable", "--wait", script});
    if (st < 0 || !WIFEXITED(st) || WEXITSTATUS(st) != 0) {
        if (partFiles(o.out).empty())
            return stop("Slurm did not run the job (sbatch ended with status " +
                        std::to_string(st < 0 ? -1 : exitCodeOf(st)) +
                        "; is slurmctld running and the node up? see sinfo); the batch script is " + script +
                        " and the table is as it was");
        std::cerr << "velta-sweep: some Slurm tasks failed (logs in " << logs
                  << "); the points they recorded are kept" << std::endl;
    }
    return 0;
}

bool parseWorker(const std::string& v, int& k, int& c) {
    const auto slash = v.find('/');
    if (slash == std::string::npos) return false;
    const std::string ks = v.substr(0, slash), cs = v.substr(slash + 1);
    if (ks.empty() || cs.empty() || ks.size() > 9 || cs.size() > 9 ||
        (ks + cs).find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long a = std::stol(ks), b = std::stol(cs);
    if (b < 1 || a >= b) return false;
    k = static_cast<int>(a);
    c = static_cast<int>(b);
    return true;
}

// Whether this command runs points here (the local pool or a --worker): then the server that
// forks them is started before anything else happens in the process.
bool runsPointsHere(const std::vector<std::string>& args) {
    bool elsewhere = false, worker = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h" || args[i] == "--dry-run") return false;
        worker = worker || args[i] == "--worker";
        if (args[i] == "--engine" && i + 1 < args.size())
            elsewhere = args[i + 1] == "parallel" || args[i + 1] == "slurm";
    }
    return worker || !elsewhere;
}

}  // namespace

int main(int argc, char** argv) {
    PointServer::serveIfAsked(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (runsPointsHere(args)) gServer.start();
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        char* end = nullptr;
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--root") {
            if (!value(o.spec.root)) return usage("--root needs a folder");
        } else if (a == "--section") {
            if (!value(v) || (o.spec.section = static_cast<int>(std::strtol(v.c_str(), &end, 10))) <= 0 ||
                *end)
                return usage("--section needs a section code");
        } else if (a == "--data") {
            if (!value(o.data)) return usage("--data needs a file");
        } else if (a == "--task") {
            if (!value(o.spec.task)) return usage("--task needs a folder name such as Tau0");
        } else if (a == "--axis") {
            if (!value(v)) return usage("--axis needs KEY=SPEC");
            try {
                o.spec.axes.push_back(parseAxis(v));
            } catch (const std::exception& e) {
                return usage(e.what());
            }
            o.axisTexts.push_back(v);
        } else if (a == "--set") {
            if (!value(v)) return usage("--set needs KEY=VALUE");
            o.spec.sets.push_back(v);
        } else if (a == "--out") {
            if (!value(o.out) || o.out.empty()) return usage("--out needs a folder");
        } else if (a == "--engine") {
            if (!value(o.engine) || (o.engine != "local" && o.engine != "parallel" && o.engine != "slurm"))
                return usage("--engine is local, parallel or slurm");
        } else if (a == "--jobs") {
            if (!value(v) || (o.jobs = static_cast<int>(std::strtol(v.c_str(), &end, 10))) < 1 || *end)
                return usage("--jobs needs a number >= 1");
        } else if (a == "--seed") {
            if (!value(v) || v.empty() || v.find_first_not_of("0123456789") != std::string::npos)
                return usage("--seed needs a number >= 0");
            o.spec.seed = std::strtoull(v.c_str(), nullptr, 10);
        } else if (a == "--field") {
            if (!value(o.field)) return usage("--field needs a column name such as period or amplitude");
        } else if (a == "--chunk-size") {
            if (!value(v) || (o.chunkSize = std::strtol(v.c_str(), &end, 10)) < 1 || *end)
                return usage("--chunk-size needs a number >= 1");
        } else if (a == "--sshloginfile") {
            if (!value(o.sshlogin)) return usage("--sshloginfile needs a file");
        } else if (a == "--sbatch-option") {
            if (!value(v)) return usage("--sbatch-option needs an option such as --partition=batch");
            o.sbatchOptions.push_back(v);
        } else if (a == "--runner") {
            if (!value(o.runner)) return usage("--runner needs the path of velta-run");
        } else if (a == "--tmp") {
            if (!value(o.tmp)) return usage("--tmp needs a folder");
        } else if (a == "--dry-run") {
            o.dryRun = true;
        } else if (a == "--retry-failed") {
            o.retryFailed = true;
        } else if (a == "--progress-lines") {
            o.progressLines = true;
        } else if (a == "--worker") {
            if (!value(v) || !parseWorker(v, o.workerChunk, o.workerChunks))
                return usage("--worker needs K/C");
        } else {
            return usage("unknown option " + a);
        }
    }
    if (o.spec.section == 0) return usage("--section is required");
    const SectionInfo* info = findSection(o.spec.section);
    if (!info) return usage("unknown section code " + std::to_string(o.spec.section));
    if (info->group == 'B')
        return usage("section " + std::to_string(o.spec.section) + " has no data file to sweep");
    if (o.spec.axes.empty()) return usage("at least one --axis is required");
    if (o.out.empty()) return usage("--out is required");
    std::set<std::string> keys;
    for (const auto& ax : o.spec.axes)
        if (!keys.insert(lowerUtf8(ax.key)).second) return usage("the axis " + ax.key + " is given twice");

    if (!o.field.empty() &&
        std::find(summaryFields().begin(), summaryFields().end(), o.field) == summaryFields().end()) {
        std::string list;
        for (const auto& f : summaryFields()) list += (list.empty() ? "" : ", ") + f;
        return usage("unknown --field " + o.field + "; the fields: " + list);
    }
    std::string why;
    o.spec.root = appFolder(o.spec.root, argv[0], why);
    if (o.spec.root.empty()) return stop(why);
    AppPaths paths(o.spec.root);
    if (!dirExists(paths.user())) return usage("no User folder in " + o.spec.root);
    o.out = fs::absolute(o.out).lexically_normal().string();
    // Without --runner a point calls the runner's code in a fork; argv[0] still names velta-run.
    o.execRunner = !o.runner.empty();
    if (o.runner.empty()) o.runner = (fs::path(programDir()) / "velta-run").string();
    else if (::access(o.runner.c_str(), X_OK) != 0) return usage("no program " + o.runner + " (--runner)");
    // Without --tmp each process that runs points chooses its own folder (privateBase).

    // The data file as velta-run finds it: absolute, or in the section's data folder.
    Shell shell(mdlGlobal, paths);
    if (const std::string noTask = selectSection(shell, *info, o.spec.task); !noTask.empty())
        return usage(noTask);
    if (o.data.empty()) return usage("--data is required");
    const std::string data = findDataFile(o.data, shell.dataFolder(), paths);
    if (!fileExists(data)) return stop("the data file is not found: " + o.data);
    o.spec.data = fs::absolute(data).lexically_normal().string();

    // Every key must be one of the data file's: checked once here, not at every point.
    try {
        std::vector<std::string> all = o.spec.sets;
        for (const auto& ax : o.spec.axes) all.push_back(ax.key + "=" + ax.values.front());
        std::vector<DataOverride> ovs;
        for (const auto& s : all) ovs.push_back(parseOverride(s));
        overriddenText(fileBytes(o.spec.data), ovs);
    } catch (const std::exception& e) {
        return usage(e.what());
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);  // a file size limit fails the write with EFBIG, reported

    if (o.workerChunk >= 0) return runWorker(o);

    SweepTable done;
    try {
        done = openSweepFolder(o.spec, o.out);
    } catch (const std::exception& e) {
        return stop(e.what());
    }
    const std::size_t total = o.spec.points();
    const std::string tablePath = (fs::path(o.out) / "sweep.csv").string();
    int rc = 0;
    std::future<const RunFigures*> preload;
    if (o.engine == "local") {
        const auto todo = pointsToRun(o, done, 0, total);
        std::cerr << "velta-sweep: " << total << " point(s), " << total - todo.size() << " already in "
                  << tablePath << std::endl;
        if (!o.dryRun && !todo.empty()) {
            TableAppender table(o.spec, tablePath);
            const int jobs = o.jobs > 0 ? o.jobs
                                        : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
            // The module of the pictures (Qt and its libraries) loads while the points run.
            preload = std::async(std::launch::async, [&argv] {
                std::string ignored;
                return loadRunFigures(programFile(argv[0]), ignored);
            });
            rc = runPool(o, todo, table, jobs, true);
            gServer.finish();
        }
    } else if (o.engine == "parallel") {
        rc = runParallel(o);
    } else {
        rc = runSlurm(o);
    }
    if (o.dryRun) return rc;
    // Every engine ends with the same table: rows ordered by point, parts gathered in.
    SweepTable t;
    try {
        t = gatherTable(o.spec, o.out, partFiles(o.out));
    } catch (const std::exception& e) {
        return stop(e.what());
    }
    std::size_t failed = 0;
    const auto header = tableHeader(o.spec);
    const std::size_t statusCol = o.spec.axes.size() + 2;
    for (const auto& [k, row] : t.rows) failed += statusCol < row.size() && row[statusCol] != "0";
    std::cout << "table: " << tablePath << " (" << t.rows.size() << " of " << total << " points, " << failed
              << " failed)" << std::endl;
    if (o.spec.axes.size() <= 2 && !t.rows.empty()) {
        // The plots come from the module of the pictures, loaded only now (or while the points ran).
        if (preload.valid()) preload.wait();
        const RunFigures* figures = loadRunFigures(programFile(argv[0]), why);
        if (!figures) return stop(why + "; the table is complete");
        figures->startPainting(argv[0]);
        const std::string field = o.field.empty() ? figures->defaultField(t) : o.field;
        const std::string base = (fs::path(o.out) / "sweep").string();
        why = figures->drawSweep(o.spec, t, field, base);
        figures->stopPainting();
        if (!why.empty()) return stop(why);
        std::cout << "png: " << base << ".png\nsvg: " << base << ".svg" << std::endl;
    }
    if (rc == 0 && t.rows.size() < total) rc = 1;
    return rc;
}
