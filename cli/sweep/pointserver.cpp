#include "cli/sweep/pointserver.h"

#include "app/sweep.h"
#include "cli/runner.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <iostream>
#include <iterator>
#include <list>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velta {

namespace {

// A command: u32 length, then i32 token, u8 kind, and for a run the log file, for a run in a
// worker also the private folder it clears first, then the arguments,
// each ended by '\0'. A report back: three i32 (token, wait status, fork errno), then the
// run's summary as u32 length and bytes (empty unless a worker handed it back).
enum Kind : std::uint8_t { kRunInProcess = 0, kRunExec = 1, kStopAll = 2 };

// argv[1] of the server process: velta-sweep --serve-points CMD-FD RESULT-FD SWEEP-PID keep|unset
constexpr const char* kServeOption = "--serve-points";

// Moves all `size` bytes through `io` (read or write), again after a signal; false at the end
// of the pipe or on an error.
template <class Io, class Byte>
bool transferAll(Io io, int fd, Byte* p, std::size_t size) {
    while (size > 0) {
        const ssize_t n = io(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool writeAll(int fd, const void* data, std::size_t size) {
    return transferAll(::write, fd, static_cast<const char*>(data), size);
}

void report(int fd, int token, int status, int forkError, const std::string& summary = {}) {
    const std::int32_t r[3] = {token, status, forkError};
    const auto len = static_cast<std::uint32_t>(summary.size());
    std::string msg(reinterpret_cast<const char*>(r), sizeof r);
    msg.append(reinterpret_cast<const char*>(&len), sizeof len);
    msg += summary;
    (void)writeAll(fd, msg.data(), msg.size());
}

// Set when a child may have ended: the server waits for children only then.
volatile std::sig_atomic_t gChildEnded = 0;
void onChild(int) { gChildEnded = 1; }

// The signal state of a fresh process; the server gone, the process is not waited for.
void freshSignals(const sigset_t& mask) {
    for (int sig : {SIGCHLD, SIGINT, SIGTERM, SIGPIPE, SIGXFSZ}) std::signal(sig, SIG_DFL);
    ::sigprocmask(SIG_SETMASK, &mask, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

// stdout and stderr to the run's log; when it cannot be opened the output is lost (the
// server's is /dev/null) and the run still counts.
void outputTo(const std::string& log) {
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) return;
    ::dup2(out, 1);
    ::dup2(out, 2);
    if (out > 2) ::close(out);
}

std::vector<char*> argvOf(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

// The run of one point by the program given with --runner, in its own fork.
[[noreturn]] void execPoint(const std::string& log, std::vector<std::string> args, const sigset_t& mask) {
    freshSignals(mask);
    outputTo(log);
    auto argv = argvOf(args);
    ::execv(argv[0], argv.data());
    const std::string why = "velta-sweep: cannot start " + args[0] + ": " + std::strerror(errno) + "\n";
    (void)writeAll(2, why.data(), why.size());
    ::_exit(127);
}

// A worker's request: u32 length, then the log file, the folder to clear
// and the arguments, each ended by '\0'.
std::string request(const std::vector<std::string>& parts) {
    std::string msg(sizeof(std::uint32_t), '\0');
    for (const auto& p : parts) {
        msg += p;
        msg += '\0';
    }
    const std::uint32_t len = static_cast<std::uint32_t>(msg.size() - sizeof len);
    std::memcpy(msg.data(), &len, sizeof len);
    return msg;
}

std::vector<std::string> parts(const std::string& msg, std::size_t from) {
    std::vector<std::string> p;
    for (std::size_t at = from; at < msg.size();) {
        const std::size_t end = msg.find('\0', at);
        p.push_back(msg.substr(at, end - at));
        at = end + 1;
    }
    return p;
}

bool readAll(int fd, void* data, std::size_t size) {
    return transferAll(::read, fd, static_cast<char*>(data), size);
}

// A process that runs the points of one slot one after another: forked from the server, so
// it starts in the state of a fresh velta-run, and put back in it before every point. It
// answers each request with the run's exit code and its summary (i32, then u32 length and
// bytes: no file made and read again a point) and ends when its request pipe closes.
// Requests queue up in its pipe, so it starts the next point as soon as one ends.
[[noreturn]] void workerLoop(int in, int out, const sigset_t& mask) {
    freshSignals(mask);
    std::ios fresh(nullptr);
    fresh.copyfmt(std::cout);
    for (;;) {
        std::uint32_t len = 0;
        if (!readAll(in, &len, sizeof len)) ::_exit(0);
        std::string msg(len, '\0');
        if (!readAll(in, msg.data(), len)) ::_exit(0);
        auto p = parts(msg, 0);
        if (p.size() < 3) ::_exit(0);
        // The files of the last run go first: a run that ends early leaves none of them behind.
        if (!p[1].empty()) clearRunFiles(p[1]);
        outputTo(p[0]);
        std::vector<std::string> args(p.begin() + 2, p.end());
        auto argv = argvOf(args);
        resetRunnerState();
        for (std::ostream* os : {&std::cout, &std::cerr}) {
            os->clear();
            os->copyfmt(fresh);
        }
        std::string summary;
        const std::int32_t rc = runnerMain(static_cast<int>(args.size()), argv.data(), &summary) & 0xff;
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        const auto size = static_cast<std::uint32_t>(summary.size());
        summary.insert(0, reinterpret_cast<const char*>(&size), sizeof size);
        summary.insert(0, reinterpret_cast<const char*>(&rc), sizeof rc);
        if (!writeAll(out, summary.data(), summary.size())) ::_exit(0);
    }
}

// A worker process is replaced after this many points, so what runs leak stays bounded.
constexpr int kPointsPerWorker = 4000;

struct Worker {
    pid_t pid = -1;
    int in = -1, out = -1;  // the server's ends: requests to it (-1 once retired), answers from it
    int slot = -1;
    std::deque<std::pair<int, std::string>> pending;  // the runs sent and not answered, in order
    std::string got;                                  // answer bytes read and not yet a whole answer
    int runs = 0;
    bool retired() const { return in < 0; }
};

[[noreturn]] void serve(int cmd, int res, pid_t sweep) {
    // Ctrl-C reaches the whole group: velta-sweep then asks for the stop itself.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != sweep) ::_exit(0);  // velta-sweep died before the line above
    const int null = ::open("/dev/null", O_RDWR);
    for (int fd = 0; fd <= 2; ++fd) ::dup2(null, fd);
    if (null > 2) ::close(null);

    sigset_t blocked, open;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGCHLD);
    ::sigprocmask(SIG_BLOCK, &blocked, &open);
    struct sigaction sa {};
    sa.sa_handler = onChild;
    ::sigaction(SIGCHLD, &sa, nullptr);
    sigset_t waiting = open;
    sigdelset(&waiting, SIGCHLD);

    std::map<pid_t, int> running;  // runs in their own fork: pid -> token
    std::list<Worker> workers;     // per slot one taking requests, and retired ones finishing theirs
    std::string in;
    bool eof = false, stopping = false;
    // In a fork: the server's pipes are not the child's to hold open.
    auto closeInherited = [&] {
        ::close(cmd);
        ::close(res);
        for (const Worker& w : workers) {
            if (!w.retired()) ::close(w.in);
            ::close(w.out);
        }
    };
    auto retire = [&](Worker& w) {
        if (w.retired()) return;
        ::close(w.in);  // it answers what it has and exits at the end of its requests
        w.in = -1;
    };
    // Reads what a worker has answered (one read; the caller knows there is something) and
    // reports every whole answer: its oldest run ended with that exit code and summary. False
    // at the end of its pipe.
    auto answered = [&](Worker& w) {
        char buf[65536];
        ssize_t n;
        while ((n = ::read(w.out, buf, sizeof buf)) < 0 && errno == EINTR) {}
        if (n <= 0) return false;
        w.got.append(buf, static_cast<std::size_t>(n));
        constexpr std::size_t head = sizeof(std::int32_t) + sizeof(std::uint32_t);
        while (!w.pending.empty() && w.got.size() >= head) {
            std::int32_t rc = 0;
            std::uint32_t len = 0;
            std::memcpy(&rc, w.got.data(), sizeof rc);
            std::memcpy(&len, w.got.data() + sizeof rc, sizeof len);
            if (w.got.size() < head + len) break;
            report(res, w.pending.front().first, W_EXITCODE(rc, 0), 0, w.got.substr(head, len));
            w.got.erase(0, head + len);
            w.pending.pop_front();
            ++w.runs;
        }
        return true;
    };
    std::function<int(int, const std::string&)> toWorker;
    auto reap = [&](int flags) {
        int status = 0;
        for (pid_t pid; (pid = ::waitpid(-1, &status, flags)) > 0;) {
            if (const auto it = running.find(pid); it != running.end()) {
                report(res, it->second, status, 0);
                running.erase(it);
                continue;
            }
            const auto it = std::find_if(workers.begin(), workers.end(),
                                         [&](const Worker& w) { return w.pid == pid; });
            if (it == workers.end()) continue;
            // The answers it gave before it died count; the run it was in ends with its status;
            // the runs it had not begun go to a new worker (or end too when the runs are stopped).
            Worker& w = *it;
            for (pollfd p{w.out, POLLIN, 0}; !w.pending.empty(); p.revents = 0)
                if (::poll(&p, 1, 0) <= 0 || (p.revents & POLLIN) == 0 || !answered(w)) break;
            if (!w.pending.empty()) {
                report(res, w.pending.front().first, status, 0);
                w.pending.pop_front();
            }
            auto rest = std::move(w.pending);
            retire(w);
            ::close(w.out);
            workers.erase(it);
            for (const auto& [token, msg] : rest) {
                if (stopping) report(res, token, status, 0);
                else if (const int e = toWorker(token, msg); e != 0) report(res, token, 0, e);
            }
        }
    };
    auto stopAll = [&] {
        stopping = true;
        for (const auto& [pid, token] : running) ::kill(pid, SIGTERM);
        for (const Worker& w : workers)
            if (!w.pending.empty()) ::kill(w.pid, SIGTERM);
    };
    // Hands a point to its slot's worker (token / 2 names the slot), starting one when there is
    // none; the worker of a slot is retired after kPointsPerWorker runs.
    toWorker = [&](int token, const std::string& msg) -> int {
        const int slot = token / 2;
        auto it = std::find_if(workers.begin(), workers.end(),
                               [&](const Worker& w) { return w.slot == slot && !w.retired(); });
        if (it != workers.end() && it->runs + static_cast<int>(it->pending.size()) >= kPointsPerWorker) {
            retire(*it);
            it = workers.end();
        }
        if (it == workers.end()) {
            int req[2], ans[2];
            if (::pipe(req) != 0) return errno;
            if (::pipe(ans) != 0) {
                const int e = errno;
                ::close(req[0]);
                ::close(req[1]);
                return e;
            }
            const pid_t pid = ::fork();
            if (pid == 0) {
                closeInherited();
                ::close(req[1]);
                ::close(ans[0]);
                workerLoop(req[0], ans[1], open);
            }
            const int e = errno;
            ::close(req[0]);
            ::close(ans[1]);
            if (pid < 0) {
                ::close(req[1]);
                ::close(ans[0]);
                return e;
            }
            it = workers.insert(workers.end(), Worker{pid, req[1], ans[0], slot, {}, {}, 0});
        }
        it->pending.emplace_back(token, msg);
        // A worker gone before it read ends this run through reap.
        (void)writeAll(it->in, msg.data(), msg.size());
        return 0;
    };
    while (!eof) {
        std::vector<pollfd> fds{{cmd, POLLIN, 0}};
        for (const Worker& w : workers)
            if (!w.pending.empty()) fds.push_back({w.out, POLLIN, 0});
        const int n = ::ppoll(fds.data(), fds.size(), nullptr, &waiting);
        // A worker's pipe closed means it has ended, though ppoll, with a descriptor ready,
        // leaves SIGCHLD pending and undelivered.
        bool hungUp = false;
        if (n > 0)
            for (std::size_t k = 1; k < fds.size(); ++k) {
                hungUp = hungUp || (fds[k].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
                if ((fds[k].revents & POLLIN) == 0) continue;
                for (Worker& w : workers)
                    if (w.out == fds[k].fd) (void)answered(w);
            }
        if (gChildEnded || hungUp) {
            gChildEnded = 0;
            reap(WNOHANG);
        }
        if (n <= 0 || (fds[0].revents & (POLLIN | POLLHUP)) == 0) continue;
        char buf[65536];
        const ssize_t got = ::read(cmd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            eof = true;
            break;
        }
        in.append(buf, static_cast<std::size_t>(got));
        for (;;) {
            std::uint32_t len = 0;
            if (in.size() < sizeof len) break;
            std::memcpy(&len, in.data(), sizeof len);
            if (in.size() < sizeof len + len) break;
            const std::string msg = in.substr(sizeof len, len);
            in.erase(0, sizeof len + len);
            std::int32_t token = 0;
            std::memcpy(&token, msg.data(), sizeof token);
            const auto kind = static_cast<Kind>(msg[sizeof token]);
            if (kind == kStopAll) {
                stopAll();
                continue;
            }
            auto p = parts(msg, sizeof token + 1);
            if (kind == kRunInProcess) {
                if (const int e = toWorker(token, request(p)); e != 0) report(res, token, 0, e);
                continue;
            }
            const pid_t pid = ::fork();
            if (pid == 0) {
                closeInherited();
                execPoint(p[0], std::vector<std::string>(p.begin() + 1, p.end()), open);
            }
            if (pid < 0) report(res, token, 0, errno);
            else running[pid] = token;
        }
    }
    // velta-sweep has gone: its runs end with it, the idle workers at the end of their requests.
    stopAll();
    for (Worker& w : workers) {
        retire(w);
        ::close(w.out);
    }
    workers.clear();
    for (;;) {
        int status = 0;
        const pid_t pid = ::waitpid(-1, &status, 0);
        if (pid < 0 && errno != EINTR) break;
    }
    ::_exit(0);
}

}  // namespace

void PointServer::serveIfAsked(int argc, char** argv) {
    if (argc != 6 || std::strcmp(argv[1], kServeOption) != 0) return;
    if (std::strcmp(argv[5], "unset") == 0) ::unsetenv("LD_BIND_NOW");  // the runs get the caller's
    ::prctl(PR_SET_NAME, "velta-sweep");                                // not "exe" in ps and top
    serve(std::atoi(argv[2]), std::atoi(argv[3]), static_cast<pid_t>(std::atol(argv[4])));
}

void PointServer::start() {
    int toServer[2], fromServer[2];
    if (::pipe2(toServer, O_CLOEXEC) != 0) {
        error_ = std::string("the runs cannot be started: ") + std::strerror(errno);
        return;
    }
    if (::pipe2(fromServer, O_CLOEXEC) != 0) {
        error_ = std::string("the runs cannot be started: ") + std::strerror(errno);
        ::close(toServer[0]);
        ::close(toServer[1]);
        return;
    }
    const pid_t sweep = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(toServer[1]);
        ::close(fromServer[0]);
        // The server is this program started afresh with every library's symbols bound at
        // once (LD_BIND_NOW), so no fork binds them again; if that fails, this fork serves.
        ::fcntl(toServer[0], F_SETFD, 0);
        ::fcntl(fromServer[1], F_SETFD, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const bool bound = std::getenv("LD_BIND_NOW") != nullptr;
        if (!bound) ::setenv("LD_BIND_NOW", "1", 1);
        const std::string args[] = {"velta-sweep",
                                    kServeOption,
                                    std::to_string(toServer[0]),
                                    std::to_string(fromServer[1]),
                                    std::to_string(sweep),
                                    bound ? "keep" : "unset"};
        char* argv[std::size(args) + 1] = {};
        for (std::size_t k = 0; k < std::size(args); ++k) argv[k] = const_cast<char*>(args[k].c_str());
        ::execv("/proc/self/exe", argv);
        if (!bound) ::unsetenv("LD_BIND_NOW");
        serve(toServer[0], fromServer[1], sweep);
    }
    ::close(toServer[0]);
    ::close(fromServer[1]);
    if (pid < 0) {
        error_ = std::string("the runs cannot be started: ") + std::strerror(errno);
        ::close(toServer[1]);
        ::close(fromServer[0]);
        return;
    }
    pid_ = pid;
    cmd_ = toServer[1];
    res_ = fromServer[0];
    error_.clear();
}

void PointServer::finish() {
    if (pid_ < 0) return;
    ::close(cmd_);
    ::close(res_);
    cmd_ = res_ = -1;
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
    pid_ = -1;
    in_.clear();
    error_ = "the runs cannot be started: the server has ended";
}

bool PointServer::run(int token, bool exec, const std::vector<std::string>& argv, const std::string& log,
                      const std::string& clear) {
    std::string msg(sizeof(std::int32_t), '\0');
    const std::int32_t t = token;
    std::memcpy(msg.data(), &t, sizeof t);
    msg += static_cast<char>(exec ? kRunExec : kRunInProcess);
    msg += log;
    msg += '\0';
    if (!exec) {
        msg += clear;
        msg += '\0';
    }
    for (const auto& a : argv) {
        msg += a;
        msg += '\0';
    }
    const std::uint32_t len = static_cast<std::uint32_t>(msg.size());
    msg.insert(0, reinterpret_cast<const char*>(&len), sizeof len);
    if (cmd_ < 0) {
        errno = EPIPE;
        return false;
    }
    return writeAll(cmd_, msg.data(), msg.size());
}

bool PointServer::next(Ended& e) {
    // Reports come through a buffer: one read takes what is there, often several reports.
    constexpr std::size_t head = 3 * sizeof(std::int32_t) + sizeof(std::uint32_t);
    for (;;) {
        if (in_.size() >= head) {
            std::int32_t r[3];
            std::uint32_t len = 0;
            std::memcpy(r, in_.data(), sizeof r);
            std::memcpy(&len, in_.data() + sizeof r, sizeof len);
            if (in_.size() >= head + len) {
                e.token = r[0];
                e.status = r[1];
                e.forkError = r[2];
                e.summary.assign(in_, head, len);
                in_.erase(0, head + len);
                return true;
            }
        }
        if (res_ < 0) {
            errno = 0;
            return false;
        }
        char buf[65536];
        const ssize_t n = ::read(res_, buf, sizeof buf);
        if (n < 0 && errno == EINTR && in_.empty()) return false;
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = 0;
            return false;
        }
        in_.append(buf, static_cast<std::size_t>(n));
    }
}

void PointServer::stopAll() {
    std::string msg(sizeof(std::uint32_t) + sizeof(std::int32_t), '\0');
    const std::uint32_t len = sizeof(std::int32_t) + 1;
    std::memcpy(msg.data(), &len, sizeof len);
    msg += static_cast<char>(kStopAll);
    if (cmd_ >= 0) (void)writeAll(cmd_, msg.data(), msg.size());
}

}  // namespace velta
