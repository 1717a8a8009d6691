// The sweep's axes, points, table and folder checks, and the summary's statistics of rows.
#include "app/sweep.h"
#include "app/runsummary.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

using namespace velta;

TEST(Sweep, AxesGiveTheirPointsOrARefusal) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> good = {
        {"ALFA=1:20:5", {"1", "5.75", "10.5", "15.25", "20"}},
        {"ALFA=0:1:11", {"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"}},
        {"GAMA=2,3,4", {"2", "3", "4"}},
        {"BETA=log:0.01:100:5", {"0.01", "0.1", "1", "10", "100"}},
        {"TMAX=7:9:1", {"7"}},
    };
    for (const auto& [spec, values] : good) EXPECT_EQ(parseAxis(spec).values, values) << spec;
    for (const char* bad : {"ALFA=1:20:0", "ALFA=", "ALFA=,,", "ALFA=1:x:3", "ALFA=log:0:1:3", "ALFA=log:1,2",
                            "=1:2:3", "ALFA", "ALFA=1:2:-3"})
        EXPECT_THROW(parseAxis(bad), VeltaError) << bad;
}

TEST(Sweep, PointsSeedsAndIdentity) {
    test::TempApp app;
    app.write("User/a.mnkd", "ALFA = 1\r\n");
    SweepSpec s;
    s.data = app.path("User/a.mnkd");
    s.axes = {parseAxis("ALFA=1,2,3"), parseAxis("GAMA=5,6")};
    ASSERT_EQ(s.points(), 6u);
    EXPECT_EQ(s.values(0), (std::vector<std::string>{"1", "5"}));
    EXPECT_EQ(s.values(3), (std::vector<std::string>{"2", "6"}));  // the first axis varies slowest
    EXPECT_NE(s.pointSeed(0), s.pointSeed(1));
    SweepSpec other = s;
    other.seed = 2;
    EXPECT_NE(s.pointSeed(4), other.pointSeed(4));
    EXPECT_NE(s.identity(), other.identity());
    const std::string id = s.identity();
    app.write("User/a.mnkd", "ALFA = 2\r\n");  // the data file changed: another sweep
    EXPECT_NE(s.identity(), id);
}

TEST(Sweep, TableRowsSurviveInterruptionAndForeignTablesAreRefused) {
    test::TempApp app;
    app.write("User/a.mnkd", "ALFA = 1\r\n");
    SweepSpec s;
    s.root = app.root();
    s.data = app.path("User/a.mnkd");
    s.axes = {parseAxis("ALFA=1,2")};
    const std::string folder = app.path("out"), table = folder + "/sweep.csv";
    ASSERT_TRUE(openSweepFolder(s, folder).rows.empty());
    TableAppender out(s, table);
    const std::string json = R"({"section":11,"exit_status":1,"message":"Ошибка чтения файла )" + app.root() +
                             R"(/x, \"q\"","outputs":{"period":6.5,"last_half":{"X1":{"min":1,"max":2}}}})";
    out.append(tableRow(s, 1, 1, json, "", app.root()));
    std::ofstream(table, std::ios::app) << "0,1,12";  // a row cut by an interruption
    const SweepTable t = openSweepFolder(s, folder);
    ASSERT_EQ(t.rows.size(), 1u);
    const auto& row = t.rows.at(1);
    const auto header = tableHeader(s);
    auto cell = [&](const std::string& name) {
        return row[static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin())];
    };
    EXPECT_EQ(cell("exit_status"), "1");
    EXPECT_EQ(cell("message"), "Ошибка чтения файла " + s.root + "/x, \"q\"");
    EXPECT_EQ(cell("period"), "6.5");
    EXPECT_EQ(cell("last_half"), R"({"X1":{"min":1,"max":2}})");
    EXPECT_EQ(std::filesystem::file_size(table), t.completeBytes);  // the cut row is gone
    // The gathered table handed back is the file as a reading gives it, quoted cells and all.
    const SweepTable gathered = gatherTable(s, folder, {}), again = readTable(table);
    EXPECT_EQ(gathered.header, again.header);
    EXPECT_EQ(gathered.rows, again.rows);
    EXPECT_EQ(gathered.completeBytes, again.completeBytes);

    SweepSpec foreign = s;
    foreign.axes = {parseAxis("ALFA=1,3")};
    EXPECT_THROW(openSweepFolder(foreign, folder), VeltaError);
    std::filesystem::remove(folder + "/sweep.id");
    EXPECT_THROW(openSweepFolder(s, folder), VeltaError);  // a table without its identity
}

TEST(RunSummary, LastHalfStatisticsAndStationaryEnd) {
    std::vector<std::vector<double>> osc, still;
    for (int k = 0; k <= 200; ++k) {
        const double t = k * 0.05;
        osc.push_back({t, std::sin(t * 6.283185307179586), 5.0});
        still.push_back({t, 2.0 + std::exp(-3 * t), 1.0});
    }
    const auto o = integrationOutcome(osc, 'X', {1});
    ASSERT_EQ(o.components.size(), 1u);
    EXPECT_EQ(o.components[0].name, "X1");
    EXPECT_NEAR(o.components[0].max, 1.0, 1e-3);
    EXPECT_NEAR(o.components[0].min, -1.0, 1e-3);
    EXPECT_NEAR(o.components[0].mean, 0.0, 0.05);
    EXPECT_FALSE(o.stationary);
    EXPECT_DOUBLE_EQ(o.finalT, 10.0);
    EXPECT_EQ(o.finalState.size(), 2u);
    EXPECT_TRUE(integrationOutcome(still, 'X', {}).stationary);
    EXPECT_FALSE(integrationOutcome({}, 'X', {}).hasRows);
    // Rows of a results text: the step number first, then numbers only.
    const auto rows = numericRows(
        {"  header 1", "00001   0.00000E+00   1.5E+00", "00002   1.0E-02   x", "3 4"});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<double>{0.0, 1.5}));
}
