// The process that starts the points of a sweep. velta-sweep forks it first thing in main,
// before anything touches the core's state. Each slot of the pool gets a worker, a fork of the
// server, that calls the runner's run (runnerMain) for one point after another, put back in
// the state a fresh velta-run starts in before each (resetRunnerState): no program is started
// and no process made for a point. A worker that dies ends its point with its wait status and
// is replaced. With --runner every point is a fork that execs that program.
// The server kills its runs when velta-sweep asks it to or when velta-sweep dies.
#pragma once
#include <string>
#include <vector>

namespace velta {

class PointServer {
public:
    PointServer() = default;
    ~PointServer() { finish(); }
    PointServer(const PointServer&) = delete;
    PointServer& operator=(const PointServer&) = delete;

    // Forks the server; in the server process this never returns.
    void start();
    // In the server process (started by start()), serves and never returns; otherwise returns
    // at once. The first call in main.
    static void serveIfAsked(int argc, char** argv);
    // Closes the pipe to the server (it ends the runs still going) and waits for it, so its
    // runs count in this process's CPU time.
    void finish();

    // "" when the server is up, else why not.
    const std::string& error() const { return error_; }

    // Starts a run for `token`: the runner with arguments `argv` (argv[0] names it; with `exec`
    // that program is started in a fork, else the worker of slot token / 2 calls the runner's
    // function), stdout and stderr to the file `log`. A worker first removes the run files in
    // the folder `clear` (if given), and hands the run's summary back through next() rather
    // than in its file. A slot's runs queue up at its worker
    // and run in order, so a slot may have its next run sent before the last one ends. False
    // (errno set) when the server cannot be reached.
    bool run(int token, bool exec, const std::vector<std::string>& argv, const std::string& log,
             const std::string& clear = {});

    // A run that ended: its token and wait status, or `forkError` (an errno) when it could not
    // be started; the summary a worker handed back (empty for a program started per point, which
    // writes its summary file, and for a run that ended before it made one).
    struct Ended {
        int token = -1;
        int status = 0;
        int forkError = 0;
        std::string summary;
    };
    // Waits for the next run to end. False with errno EINTR when a signal came first, or with
    // another errno (0 when the server ended) when the server is gone.
    bool next(Ended& e);

    // Asks the server to end every running run (SIGTERM); their ends still come through next().
    void stopAll();

private:
    int cmd_ = -1, res_ = -1;  // our ends of the pipes to and from the server
    int pid_ = -1;
    std::string in_;  // what came from the server and is not yet a whole report
    std::string error_ = "the runs cannot be started: no server process";
};

}  // namespace velta
