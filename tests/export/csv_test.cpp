// The CSV table is fed by the run itself: one row per results-file row, every value the
// full-precision number whose 6-digit text the results file holds.
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "models/export/resultsink.h"
#include "models/section11/sec11.h"
#include "models/section12/sec12.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace velta::test {
namespace {

namespace fs = std::filesystem;

// The table rows of a results file: the lines that begin with a row number, split at blanks.
std::vector<std::vector<std::string>> resultRows(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& l : readAllLines(path)) {
        if (l.empty() || !std::isdigit(static_cast<unsigned char>(l[0]))) continue;
        std::istringstream in(l);
        std::vector<std::string> f;
        for (std::string w; in >> w;) f.push_back(w);
        rows.push_back(f);
    }
    return rows;
}

class CsvTable : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override { setColours(mdl, true); }
    template <class Core>
    void read(Core& core, const std::string& file) {
        core.dataPath = (fs::path(VELTA_SOURCE_DIR) / "User" / file).string();
        core.InputPar(c);
    }
    // Every results row and its table row: number of values, time and components give the
    // same 6-digit texts.
    void expectSameRows(const std::string& results) {
        const auto rows = resultRows(paths.userFile(results));
        ASSERT_FALSE(rows.empty());
        ASSERT_EQ(table.rows.size(), rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const auto& v = table.rows[r];
            ASSERT_EQ(v.size() + 1, rows[r].size()) << "row " << r;
            for (std::size_t k = 0; k < v.size(); ++k)
                EXPECT_EQ(Format(v[k], "0.00000E+00"), rows[r][k + 1]) << "row " << r << " column " << k;
        }
    }
    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    ResultsTable table;
};

TEST_F(CsvTable, AutonomousRunFeedsEveryResultsRowInFullPrecision) {
    Sec11 sec;
    read(sec, "Sym_Oscill.mnkd");
    {
        ScopedResultsSink sink(&table);
        sec.Integr1(c);
    }
    EXPECT_EQ(resultsSink(), nullptr);
    EXPECT_EQ(table.names, (std::vector<std::string>{"X1", "X2", "X3"}));
    expectSameRows("Results.mnk");

    // The text: header, then rows that read back as the same numbers, '.' decimal.
    const std::string csv = table.csv();
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "t,X1,X2,X3");
    std::size_t r = 0;
    while (std::getline(in, line)) {
        ASSERT_LT(r, table.rows.size());
        std::istringstream cells(line);
        std::size_t k = 0;
        for (std::string cell; std::getline(cells, cell, ',');) {
            EXPECT_EQ(cell.find_first_of(" ;"), std::string::npos);
            EXPECT_EQ(std::strtod(cell.c_str(), nullptr), table.rows[r][k++]) << cell;
        }
        EXPECT_EQ(k, 4u);
        ++r;
    }
    EXPECT_EQ(r, table.rows.size());
}

TEST_F(CsvTable, DelaySectionKeepsTheRowsOfTheLastPortionOnly) {
    mdl.TASKDIR = "Tau2";
    mdl.SUBDIR = "Mnk\\";
    Sec12 sec;
    read(sec, "Mnk/Tau2/Tau2_Oscill.mnzd");
    ScopedResultsSink sink(&table);
    sec.Integr1(c);
    const auto first = table.rows;
    mdl.L = 1;  // the shell counts the portion
    sec.Integr1(c);
    EXPECT_EQ(table.names, (std::vector<std::string>{"Z1"}));
    expectSameRows("Results.mnz");
    ASSERT_EQ(first.size(), table.rows.size());
    EXPECT_NE(first.back()[1], table.rows.back()[1]);  // the second portion continued
}

TEST_F(CsvTable, WritingRefusesAnEmptyTableAndAFolderItCannotWriteIn) {
    EXPECT_THROW(table.writeCsv(app.path("out.csv")), VeltaError);
    EXPECT_FALSE(app.exists("out.csv"));
    table.begin('X', 1);
    const double x[2] = {0, 0.1};
    table.row(0.5, x, 1);
    EXPECT_THROW(table.writeCsv(app.path("no/such/folder/out.csv")), VeltaError);
    table.writeCsv(app.path("out.csv"));
    EXPECT_EQ(readAllLines(app.path("out.csv")).size(), 2u);
    EXPECT_FALSE(app.exists("out.csv.tmp"));
}

}  // namespace
}  // namespace velta::test
