#include "models/export/resultsink.h"

#include "data/error.h"
#include "models/export/modeldesc.h"

#include <cstdio>
#include <fstream>

namespace velta {

namespace {
ResultsSink* gSink = nullptr;
}

ResultsSink* setResultsSink(ResultsSink* sink) {
    ResultsSink* old = gSink;
    gSink = sink;
    return old;
}

ResultsSink* resultsSink() { return gSink; }

void ResultsTable::begin(char prefix, int n) {
    names.clear();
    rows.clear();
    for (int k = 1; k <= n; ++k) names.push_back(std::string(1, prefix) + std::to_string(k));
}

void ResultsTable::row(double t, const double* x, int n) {
    std::vector<double> r;
    r.reserve(static_cast<std::size_t>(n) + 1);
    r.push_back(t);
    r.insert(r.end(), x + 1, x + 1 + n);
    rows.push_back(std::move(r));
}

std::string ResultsTable::csv() const {
    std::string s = "t";
    for (const auto& n : names) s += "," + n;
    s += "\n";
    for (const auto& r : rows) {
        for (std::size_t k = 0; k < r.size(); ++k) {
            if (k) s += ',';
            s += exactText(r[k]);
        }
        s += '\n';
    }
    return s;
}

void ResultsTable::writeCsv(const std::string& path) const {
    if (empty()) throw VeltaError("Таблица результатов пуста: выполните «Счёт»");
    // Written beside the target and renamed over it, so a failed write leaves no half file.
    const std::string tmp = path + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        const std::string text = csv();
        f.write(text.data(), static_cast<std::streamsize>(text.size()));
        f.close();
        if (!f) {
            std::remove(tmp.c_str());
            throw VeltaError("Не удалось записать файл " + path);
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw VeltaError("Не удалось записать файл " + path);
    }
}

}  // namespace velta
