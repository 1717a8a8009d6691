// The size of what a computation is about to write, estimated from the parameters read, so
// that a typing slip (TMAX = 2e7 with HHH = 0.01) is caught before gigabytes are written.
// The window asks whether to go on; the runner answers "no" unless told otherwise.
#pragma once
#include <string>

namespace velta {

struct Store;

struct RunEstimate {
    double steps = 0;  // integration steps of one run (one portion for the delay sections)
    double rows = 0;   // rows of the results table
    double bytes = 0;  // bytes of the results table, header lines not counted
    bool known() const { return steps > 0; }
};

// Beyond either limit a run is asked about before it starts.
inline constexpr double kMaxResultsBytes = 2.0e9;
inline constexpr double kMaxRunSteps = 1.0e9;

// The estimate for the section from the store (TMAX or SCRT, HHH, NSC, NDIM, ...) by the rule
// of its catalogue row; unknown (steps = 0) for the sections whose tables are not step tables
// or when the values are ones the section's own checks refuse.
RunEstimate estimateRun(const Store& g, int section);

// The question before a run beyond the limits, naming the results file and the estimate;
// empty when the run is within them.
std::string runSizeQuestion(const Store& g, int section, const std::string& resultsName);

// A size in bytes as the user reads it: "132 ГБ", "650 МБ", "12 КБ".
std::string sizeText(double bytes);

}  // namespace velta
