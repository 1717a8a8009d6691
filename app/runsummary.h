// The summary of one run as a JSON object (velta-run --summary): the section, the data
// file's parameters as the reader was given them, the exit status and message, and the
// section's key outputs. The results rows come in through the results sink at full
// precision; what a section keeps only in its files (continuation counts) is read back from
// them, and section 3's critical point from the store.
#pragma once
#include "models/export/resultsink.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velta {

class AppPaths;
struct Store;

// Per plotted component: statistics over the last half of the run (rows with t at or after
// the middle of the run's time span).
struct ComponentStats {
    std::string name;  // "X1", "Z3"
    double min = 0, max = 0, mean = 0;
};

// What the rows of an integration give: final row, statistics, whether it ended stationary.
struct IntegrationOutcome {
    bool hasRows = false;
    double finalT = 0;
    std::vector<double> finalState;
    std::vector<ComponentStats> components;  // the plotted ones
    double amplitude = 0;                    // largest max - min among them
    bool stationary = false;                 // every component still to 1e-4 (relative) over the last half
};

// Computes the outcome from rows (t, x1..xn); plotted holds 1-based component numbers
// (empty: all). prefix names the components.
IntegrationOutcome integrationOutcome(const std::vector<std::vector<double>>& rows, char prefix,
                                      const std::vector<int>& plotted);

// Numeric rows of a results text: lines whose blank-separated pieces are all numbers, the
// first a whole step number, at least three; returned as (t, x1..xn) without the step.
std::vector<std::vector<double>> numericRows(const std::vector<std::string>& lines);

// A results sink that keeps the rows and passes each on to another sink (the CSV table).
class RunSummary : public ResultsSink {
public:
    RunSummary();  // the run begins: files older than this are not its results
    RunSummary(const RunSummary&) = delete;
    RunSummary& operator=(const RunSummary&) = delete;
    void forwardTo(ResultsSink* next) { previous_ = next == this ? nullptr : next; }

    void begin(char prefix, int n) override;
    void row(double t, const double* x, int n) override;

    // Set by the runner before it writes the summary.
    int section = 0;
    std::string dataPath;
    std::vector<std::pair<std::string, std::string>> parameters;  // key, value text
    std::vector<std::string> messages;

    // The JSON object (one line) for a run that ended with exitStatus; the outputs are
    // taken from the rows, the store g and the files of the run under paths, as the
    // section's catalogue row says which it has.
    std::string json(const Store& g, int exitStatus, const AppPaths& paths) const;

    const std::vector<std::vector<double>>& rows() const { return rows_; }

private:
    ResultsSink* previous_ = nullptr;
    char prefix_ = 'X';
    std::vector<std::vector<double>> rows_;
};

// The key/value texts of a data file's bytes (every key of dataKeys: scalars, lists and
// named items), decoded to UTF-8, in the order of the file.
std::vector<std::pair<std::string, std::string>> dataParameters(const std::string& bytes);

// JSON helpers shared with the sweep: a quoted string, a number (null when not finite).
std::string jsonString(const std::string& s);
std::string jsonNumber(double v);

}  // namespace velta
