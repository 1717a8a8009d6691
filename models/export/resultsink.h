// The rows of the results table as a run writes them, in full precision: whoever wants them
// (the CSV table) installs a sink; the places that write results rows feed it.
#pragma once
#include <string>
#include <vector>

namespace velta {

class ResultsSink {
public:
    virtual ~ResultsSink() = default;
    // A new results table of n components named prefix1..prefixn (X1.., Z1..).
    virtual void begin(char prefix, int n) = 0;
    // One row: time t and x[1..n] (x[0] unused).
    virtual void row(double t, const double* x, int n) = 0;
};

// The sink the runs feed (nullptr: none). Returns the previous one.
ResultsSink* setResultsSink(ResultsSink* sink);
ResultsSink* resultsSink();

// The results table of the last run, kept in memory.
class ResultsTable : public ResultsSink {
public:
    void begin(char prefix, int n) override;
    void row(double t, const double* x, int n) override;

    bool empty() const { return names.empty(); }
    // "t", then the component names; one line per row, ',' between values, LF line ends.
    std::string csv() const;
    // Writes csv() to path; throws VeltaError when the file cannot be written.
    void writeCsv(const std::string& path) const;

    std::vector<std::string> names;         // component names, without "t"
    std::vector<std::vector<double>> rows;  // t, then the components
};

// Installs a sink for the life of the object.
class ScopedResultsSink {
public:
    explicit ScopedResultsSink(ResultsSink* s) : previous_(setResultsSink(s)) {}
    ~ScopedResultsSink() { setResultsSink(previous_); }
    ScopedResultsSink(const ScopedResultsSink&) = delete;
    ScopedResultsSink& operator=(const ScopedResultsSink&) = delete;

private:
    ResultsSink* previous_;
};

}  // namespace velta
