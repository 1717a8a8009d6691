#include "app/runsize.h"
#include "app/shell.h"
#include "data/paths.h"
#include "data/store.h"
#include "support/core_fixture.h"

#include <gtest/gtest.h>

using namespace velta;

namespace {

struct Case {
    int section;
    double end, h;  // TMAX (SCRT for section 9), HHH
    int nsc, ndim;
    double steps, rows, bytes;  // steps 0: no estimate
};

TEST(RunSize, EstimatesTheStepTableFromTheParameters) {
    const Case cases[] = {
        // the typing slip: TMAX = 2e7, HHH = 0.01, NSC = 1, three elements
        {11, 2e7, 0.01, 1, 3, 2e9 + 1, 2e9 + 2, (2e9 + 2) * 68},
        {21, 12, 0.5, 10, 5, 25, 3, 3 * 96},
        {8, 100, 0.5, 1, 1, 201, 202, 202 * 40},
        {9, 50, 0.5, 5, 7, 101, 21, 21 * 68},  // three columns whatever NDIM
        // refused by the section's own checks: no estimate
        {11, 12, 0, 1, 3, 0, 0, 0},
        {11, -1, 0.01, 1, 3, 0, 0, 0},
        {11, 12, 0.01, 0, 3, 0, 0, 0},
        {11, 1e308, 1e-308, 1, 3, 0, 0, 0},
        // not a step table
        {213, 2e7, 0.01, 1, 3, 0, 0, 0},
    };
    for (const auto& c : cases) {
        Store mdl;
        mdl.TMAX = mdl.SCRT = c.end;
        mdl.HHH = c.h;
        mdl.NSC = static_cast<i16>(c.nsc);
        mdl.NDIM = static_cast<i16>(c.ndim);
        const RunEstimate e = estimateRun(mdl, c.section);
        SCOPED_TRACE("section " + std::to_string(c.section) + " end " + std::to_string(c.end));
        EXPECT_DOUBLE_EQ(e.steps, c.steps);
        EXPECT_DOUBLE_EQ(e.rows, c.rows);
        EXPECT_DOUBLE_EQ(e.bytes, c.bytes);
    }
}

TEST(RunSize, SizeTexts) {
    EXPECT_EQ(sizeText(950), "950 байт");
    EXPECT_EQ(sizeText(12'400), "12 КБ");
    EXPECT_EQ(sizeText(136e9), "136 ГБ");
}

// "С&чёт" asks before a runaway run; "no" leaves the old results file and reports false.
TEST(RunSize, TheComputationAsksBeforeARunawayRun) {
    test::TempApp app;
    const std::string sample = test::bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/Sym_Oscill.mnkd");
    for (const bool runaway : {true, false}) {
        Store mdl;
        app.write("User/Results.mnk", "old\r\n");
        std::string data = sample;
        const auto at = data.find("TMAX = 12");
        ASSERT_NE(at, std::string::npos);
        if (runaway) data.replace(at, 9, "TMAX = 2e7");
        app.write("User/t.mnkd", data);
        AppPaths paths(app.root());
        test::RecordingSurface surf;
        test::ScriptedPrompter ui;
        Ctx c{surf, ui, paths, mdl};
        Shell shell(mdl, paths);
        shell.Sect_Select(11);
        ASSERT_NE(shell.current(), nullptr);
        shell.current()->dataPath = app.path("User/t.mnkd");
        ASSERT_TRUE(shell.mnuInput(c));
        EXPECT_EQ(shell.mnuIntegr(c), !runaway);
        if (runaway) {
            ASSERT_EQ(ui.questions.size(), 1u);
            EXPECT_NE(ui.questions[0].find("\\User\\Results.mnk — около 14 ГБ"), std::string::npos)
                << ui.questions[0];
            EXPECT_EQ(test::bytesOf(app.path("User/Results.mnk")), "old\r\n");
        } else {
            EXPECT_TRUE(ui.questions.empty());
            EXPECT_GT(test::bytesOf(app.path("User/Results.mnk")).size(), 1000u);
        }
    }
}

}  // namespace
