// Parameter sweeps: the axes, the points, the table FOLDER/sweep.csv and how a point is
// run (velta-run with --set and --summary in a private copy of the application folder).
// velta-sweep and the window's series dialog share this; every engine (local pool, GNU
// parallel, Slurm) runs points through runPoint and records them with tableRow.
#pragma once
#include "data/error.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace velta {

// One axis: KEY=a:b:n (n points from a to b), KEY=log:a:b:n (n points from a to b evenly on
// a log scale, a and b > 0), KEY=v1,v2,... (the values as written).
struct SweepAxis {
    std::string key;
    std::vector<std::string> values;  // texts put into the data file
    bool log = false;
};
// Throws VeltaError quoting the axis text when it gives no points or is malformed.
SweepAxis parseAxis(const std::string& spec);

struct SweepSpec {
    std::string root;  // application folder whose User the points copy
    int section = 0;
    std::string data;  // data file, absolute
    std::string task;  // task folder of the delay sections ("" = Tau0)
    std::vector<SweepAxis> axes;
    std::vector<std::string> sets;  // fixed KEY=VALUE for every point
    std::uint64_t seed = 1;

    std::size_t points() const;
    // Values of point i on each axis (the first axis varies slowest).
    std::vector<std::string> values(std::size_t i) const;
    // Seed of point i: one number mixed from --seed and i (the same point gets the same seed
    // whichever engine and order run it).
    long long pointSeed(std::size_t i) const;
    // What makes two sweeps the same: section, data file (path and content), task, axes, sets,
    // seed. Written to FOLDER/sweep.id; a table with another identity is refused.
    std::string identity() const;
};

// Output fields of a summary that become columns, in table order.
const std::vector<std::string>& summaryFields();
// Header of the table: point, the axis keys, seed, exit_status, message, summary fields.
std::vector<std::string> tableHeader(const SweepSpec& s);
// The whole file as bytes ("" when it cannot be read).
std::string fileBytes(const std::string& path);

// A CSV line (without its end) from cells; cells with ',', '"' or line ends are quoted.
std::string csvLine(const std::vector<std::string>& cells);
std::vector<std::string> parseCsvLine(const std::string& line);

// The row of point i from the run's exit status, its summary JSON ("" when none was
// written) and a message of the driver ("" unless the run could not report for itself).
// Paths of the private copy in messages are written as the sweep's root.
std::vector<std::string> tableRow(const SweepSpec& s, std::size_t i, int exitStatus,
                                  const std::string& summaryJson, const std::string& driverMessage,
                                  const std::string& privateRoot);

// The table as read back: header and rows by point number. A last line without its end
// (an interrupted write) is not a row.
struct SweepTable {
    std::vector<std::string> header;
    std::map<std::size_t, std::vector<std::string>> rows;
    std::size_t completeBytes = 0;  // length of the file up to its last complete line
};
SweepTable readTable(const std::string& path);

// Prepares FOLDER for the sweep: writes sweep.id or checks it; refuses (VeltaError) a
// folder whose table belongs to another sweep or whose table has another header. Cuts an
// interrupted last line off the table. Returns the points already recorded.
SweepTable openSweepFolder(const SweepSpec& s, const std::string& folder);

// Appends rows to the table (header first when the file is empty): each row is written
// when appended and synced to disk at least once a second and when the appender ends;
// throws VeltaError naming the file on a failed write (full disk), leaving only whole rows.
class TableAppender {
public:
    TableAppender(const SweepSpec& s, std::string path);
    ~TableAppender();
    TableAppender(const TableAppender&) = delete;
    TableAppender& operator=(const TableAppender&) = delete;
    void append(const std::vector<std::string>& row);
    void sync();  // the rows so far to disk now
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::vector<std::string> header_;
    int fd_ = -1;
    std::chrono::steady_clock::time_point lastSync_;
};

// Rewrites the table with its rows ordered by point number (atomically: a temporary file
// renamed over it), so every engine leaves the same file. Rows are taken from the table and
// from the extra files (the parts written by the workers of parallel and Slurm). Returns the
// table as written.
SweepTable gatherTable(const SweepSpec& s, const std::string& folder, const std::vector<std::string>& parts);

// A private copy of the application folder's User for one worker (results files of its
// runs stay there); removed by the destructor.
class PrivateRoot {
public:
    PrivateRoot(const std::string& root, const std::string& tmpBase);
    ~PrivateRoot();
    PrivateRoot(const PrivateRoot&) = delete;
    PrivateRoot& operator=(const PrivateRoot&) = delete;
    const std::string& path() const { return path_; }
    // The data file of the sweep inside the copy.
    std::string mapped(const std::string& file) const;
    // Removes the results and check files of the last run, so every run starts from the copy
    // as it was made (and the files are written anew rather than truncated and rewritten).
    void clearRun() const;

private:
    std::string root_, path_;
};

// Removes the results and check files a run left in the private folder `root`.
void clearRunFiles(const std::string& root);

// The velta-run command line of point i in the private folder `root`, its summary to `summary`.
std::vector<std::string> runnerArgs(const SweepSpec& s, std::size_t i, const std::string& runner,
                                    const std::string& root, const std::string& dataInRoot,
                                    const std::string& summary);

// The driver's message for a wait status that is not a plain exit ("" for an exit).
std::string waitStatusMessage(int status);
int exitCodeOf(int status);  // the exit code, or 128 + signal

// A simple reading of the summary JSON: top-level and "outputs" scalars as texts, nested
// values as their JSON text.
std::map<std::string, std::string> summaryValues(const std::string& json);

}  // namespace velta
