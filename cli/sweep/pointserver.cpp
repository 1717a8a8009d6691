#include "cli/sweep/pointserver.h"

#include "cli/runner.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velta {

namespace {

// A command: u32 length, then i32 token, u8 kind, and for a run the log file and the
// arguments, each ended by '\0'. A report back: three i32 (token, wait status, fork errno).
enum Kind : std::uint8_t { kRunInProcess = 0, kRunExec = 1, kStopAll = 2 };

// argv[1] of the server process: velta-sweep --serve-points CMD-FD RESULT-FD SWEEP-PID keep|unset
constexpr const char* kServeOption = "--serve-points";

bool writeAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t w = ::write(fd, p, size);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        size -= static_cast<std::size_t>(w);
    }
    return true;
}

void report(int fd, int token, int status, int forkError) {
    const std::int32_t r[3] = {token, status, forkError};
    (void)writeAll(fd, r, sizeof r);
}

void onChild(int) {}

// The run of one point in the fork: the signal state of a fresh process, output to the log.
[[noreturn]] void runPoint(Kind kind, const std::string& log, std::vector<std::string> args,
                           const sigset_t& mask) {
    for (int sig : {SIGCHLD, SIGINT, SIGTERM, SIGPIPE, SIGXFSZ}) std::signal(sig, SIG_DFL);
    ::sigprocmask(SIG_SETMASK, &mask, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // the server gone, the run is not waited for
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {  // else the output is lost (the server's is /dev/null), the run still counts
        ::dup2(out, 1);
        ::dup2(out, 2);
        if (out > 2) ::close(out);
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (kind == kRunExec) {
        ::execv(argv[0], argv.data());
        const std::string why = "velta-sweep: cannot start " + args[0] + ": " + std::strerror(errno) + "\n";
        (void)writeAll(2, why.data(), why.size());
        ::_exit(127);
    }
    std::exit(runnerMain(static_cast<int>(args.size()), argv.data()));
}

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

    std::map<pid_t, int> running;  // pid -> token
    std::string in;
    bool eof = false;
    auto reap = [&](int flags) {
        int status = 0;
        for (pid_t pid; (pid = ::waitpid(-1, &status, flags)) > 0;) {
            const auto it = running.find(pid);
            if (it == running.end()) continue;
            report(res, it->second, status, 0);
            running.erase(it);
        }
    };
    auto stopAll = [&] {
        for (const auto& [pid, token] : running) ::kill(pid, SIGTERM);
    };
    while (!eof) {
        pollfd p{cmd, POLLIN, 0};
        const int n = ::ppoll(&p, 1, nullptr, &waiting);
        reap(WNOHANG);
        if (n <= 0) continue;
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
            std::vector<std::string> parts;
            for (std::size_t at = sizeof token + 1; at < msg.size();) {
                const std::size_t end = msg.find('\0', at);
                parts.push_back(msg.substr(at, end - at));
                at = end + 1;
            }
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(cmd);
                ::close(res);
                runPoint(kind, parts[0], std::vector<std::string>(parts.begin() + 1, parts.end()), open);
            }
            if (pid < 0) report(res, token, 0, errno);
            else running[pid] = token;
        }
    }
    // velta-sweep has gone: its runs end with it.
    stopAll();
    while (!running.empty()) {
        int status = 0;
        const pid_t pid = ::waitpid(-1, &status, 0);
        if (pid < 0 && errno != EINTR) break;
        if (pid > 0) running.erase(pid);
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
    error_ = "the runs cannot be started: the server has ended";
}

bool PointServer::run(int token, bool exec, const std::vector<std::string>& argv, const std::string& log) {
    std::string msg(sizeof(std::int32_t), '\0');
    const std::int32_t t = token;
    std::memcpy(msg.data(), &t, sizeof t);
    msg += static_cast<char>(exec ? kRunExec : kRunInProcess);
    msg += log;
    msg += '\0';
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
    std::int32_t r[3];
    std::size_t got = 0;
    while (got < sizeof r) {
        if (res_ < 0) {
            errno = 0;
            return false;
        }
        const ssize_t n = ::read(res_, reinterpret_cast<char*>(r) + got, sizeof r - got);
        if (n < 0 && errno == EINTR && got == 0) return false;
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = 0;
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    e.token = r[0];
    e.status = r[1];
    e.forkError = r[2];
    return true;
}

void PointServer::stopAll() {
    std::string msg(sizeof(std::uint32_t) + sizeof(std::int32_t), '\0');
    const std::uint32_t len = sizeof(std::int32_t) + 1;
    std::memcpy(msg.data(), &len, sizeof len);
    msg += static_cast<char>(kStopAll);
    if (cmd_ >= 0) (void)writeAll(cmd_, msg.data(), msg.size());
}

}  // namespace velta
