// Section 4 "Ассорти": the U-numbers and their refusals, the circulant, the search over
// KMOD and the exact text of "\User\Results.sty", alone and through the shell's commands.
#include "stationary/section4/sec4.h"

#include "app/shell.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "support/files.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace velta;
using velta::test::bytesOf;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

std::vector<std::string> linesOf(const std::string& path) {
    std::vector<std::string> out;
    std::istringstream in(cp1251ToUtf8(bytesOf(path)));
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        out.push_back(l);
    }
    return out;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += utf8ToCp1251(l) + "\r\n";
    return s;
}

// The lines before the first model: the proposed variant.
std::vector<std::string> variantLines(int ndim, const std::vector<int>& g, int nu) {
    std::vector<std::string> v = {
        "",
        "  ПОИСК ЧАСТИЧНО СИММЕТРИЧНЫХ РЕШЕНИЙ АВТОНОМНЫХ СИСТЕМ,",
        "           ПРЕДСТАВЛЯЮЩИХ МОДЕЛЬ М(NDIM,KMOD)",
        "",
        "              Предлагаемый вариант : ",
        " NDIM =  " + std::to_string(ndim) + " ",
        " Номер комоненты вектора X    Номер компоненты вектора U",
        "-------------------------------------------------------",
    };
    auto two = [](int x) { return (x < 10 ? "0" : "") + std::to_string(x); };
    for (int a = 1; a <= ndim; ++a)
        v.push_back("         " + two(a) + "                            " + two(g[a - 1]));
    v.push_back(" Число новых переменных NU = " + std::to_string(nu) + " ");
    return v;
}

class Sec4Test : public ::testing::Test {
protected:
    Store mdl;

    // Input1 for ndim, then the table's "Ввод" with g.
    void enter(int ndim, const std::vector<double>& g) {
        mdl.NDIM = static_cast<i16>(ndim);
        sec.Input1(c);
        sec.cmdOK_Tabl(mdl, g);
    }
    std::string results() const { return app.path("User/Results.sty"); }

    TempApp app;
    AppPaths paths{app.root()};
    NullSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Sec4 sec;
};

// ---------------------------------------------------------------- the report

// NDIM = 4, U = (1, 2, 1, 2): every model is consistent. By hand, the regulators of
// element k are k-1, k-2, ... cyclically: for KMOD = 4 element 1 sees 4, 3, 2 (numbers
// 2, 1, 2), element 2 sees 1, 4, 3 (1, 2, 1); for KMOD = 3 each sees one of each; for
// KMOD = 2 each sees only the other number.
TEST_F(Sec4Test, AlternatingSymmetryGivesTheExactReport) {
    enter(4, {1, 2, 1, 2});
    EXPECT_EQ(mdl.NU, 2);
    sec.Assorty(c);
    std::vector<std::string> want = variantLines(4, {1, 2, 1, 2}, 2);
    auto model = [&](const std::string& head, const std::vector<std::string>& rows) {
        want.insert(want.end(),
                    {"", head, "", "     МАТРИЦА КОЭФФИЦИЕНТОВ K(i,j), NU = 2 ",
                     " i-номер уравнения системы относительно u(i)", "             i = 1,2,..., 2 ", ""});
        want.insert(want.end(), rows.begin(), rows.end());
    };
    model("1)  Модель M(4,4)", {"    1.     [   1   2   ]", "    2.     [   2   1   ]"});
    model("2)  Модель M(4,3)", {"    1.     [   1   1   ]", "    2.     [   1   1   ]"});
    model("3)  Модель M(4,2)", {"    1.     [   0   1   ]", "    2.     [   1   0   ]"});
    EXPECT_EQ(bytesOf(results()), crlf(want));
    EXPECT_EQ(mdl.KMOD, 1);  // the loop variable is left at 1
    // The Latin M of the model headers and the Cyrillic М of the title, as the package writes them.
    const std::string raw = bytesOf(results());
    EXPECT_NE(raw.find(") \x20\xCC\xEE\xE4\xE5\xEB\xFC M(4,4)"), std::string::npos);
    EXPECT_NE(raw.find("\xCC\xCE\xC4\xC5\xCB\xDC \xCC(NDIM,KMOD)"), std::string::npos);
}

// NDIM = 4, U = (1, 2, 3, 3). KMOD = 4: the two components of number 3 each see one 1, one
// 2 and one 3 - consistent. KMOD = 3: element 3 sees 2, 1 and element 4 sees 3, 2 - the
// first counts differ. KMOD = 2: element 3 sees a 2, element 4 a 3 - the first counts agree
// (both 0) but the rows do not, and the model is contradictory all the same.
TEST_F(Sec4Test, ContradictorySymmetryIsReportedPerModel) {
    enter(4, {1, 2, 3, 3});
    sec.Assorty(c);
    std::vector<std::string> want = variantLines(4, {1, 2, 3, 3}, 3);
    want.insert(want.end(), {"", "1)  Модель M(4,4)", "", "     МАТРИЦА КОЭФФИЦИЕНТОВ K(i,j), NU = 3 ",
                             " i-номер уравнения системы относительно u(i)", "             i = 1,2,..., 3 ",
                             "", "    1.     [   0   1   2   ]", "    2.     [   1   0   2   ]",
                             "    3.     [   1   1   1   ]"});
    for (const char* head : {"2)  Модель M(4,3)", "3)  Модель M(4,2)"})
        want.insert(want.end(), {"", head, "Система уравнений относительно компонент U ",
                                 "с предполагаемой  симметрией противоречива."});
    EXPECT_EQ(linesOf(results()), want);
    EXPECT_EQ(bytesOf(results()), crlf(want));
}

// Every component of number 1: NU = 1 and K(1,1) = KMOD - 1 for every KMOD.
TEST_F(Sec4Test, FullSymmetryCountsAllRegulators) {
    enter(5, {1, 1, 1, 1, 1});
    sec.Assorty(c);
    const auto lines = linesOf(results());
    std::vector<std::string> rows;
    for (const auto& l : lines)
        if (l.rfind("    1.     [", 0) == 0) rows.push_back(l);
    EXPECT_EQ(rows, (std::vector<std::string>{"    1.     [   4   ]", "    1.     [   3   ]",
                                              "    1.     [   2   ]", "    1.     [   1   ]"}));
    EXPECT_EQ(lines[13], " Число новых переменных NU = 1 ");
    EXPECT_EQ(lines[15], "1)  Модель M(5,5)");
}

// All U-numbers 0: no new variables, no comparison, an empty matrix for every model.
TEST_F(Sec4Test, NoNewVariablesGiveEmptyMatrices) {
    enter(3, {0, 0, 0});
    EXPECT_EQ(mdl.NU, 0);
    sec.Assorty(c);
    std::vector<std::string> want = variantLines(3, {0, 0, 0}, 0);
    for (const char* head : {"1)  Модель M(3,3)", "2)  Модель M(3,2)"})
        want.insert(want.end(),
                    {"", head, "", "     МАТРИЦА КОЭФФИЦИЕНТОВ K(i,j), NU = 0 ",
                     " i-номер уравнения системы относительно u(i)", "             i = 1,2,..., 0 ", ""});
    EXPECT_EQ(bytesOf(results()), crlf(want));
}

// NDIM = 1 (the default answer): the variant alone, no model to search.
TEST_F(Sec4Test, OneEquationHasNoModels) {
    enter(1, {1});
    mdl.KMOD = 7;
    sec.Assorty(c);
    EXPECT_EQ(bytesOf(results()), crlf(variantLines(1, {1}, 1)));
    EXPECT_EQ(mdl.KMOD, 1);
}

// Two-digit numbers stay in their columns; a rerun without new input rewrites the same file.
TEST_F(Sec4Test, RerunRewritesTheSameReport) {
    // U = (1, 2, ..., 10, 1, 2).
    std::vector<double> g(12);
    for (int i = 0; i < 12; ++i) g[i] = i < 10 ? i + 1 : i - 9;
    enter(12, g);
    sec.Assorty(c);
    const std::string first = bytesOf(results());
    const auto lines = linesOf(results());
    EXPECT_EQ(lines[8 + 9], "         10                            10");
    EXPECT_EQ(lines[8 + 11], "         12                            02");
    app.write("User/Results.sty", "old");
    sec.Assorty(c);
    EXPECT_EQ(bytesOf(results()), first);
    EXPECT_TRUE(ui.inputs.empty());
}

// ---------------------------------------------------------------- against an independent count

// The report agrees with a direct count over the cyclic predecessors f-1, ..., f-K1 of every
// component, for random gap-free assignments.
TEST_F(Sec4Test, ReportAgreesWithDirectCountOfPredecessors) {
    std::mt19937 rng(4);
    for (int trial = 0; trial < 60; ++trial) {
        const int n = 2 + static_cast<int>(rng() % 8);
        const int nu = 1 + static_cast<int>(rng() % n);
        std::vector<int> g(n);
        for (int i = 0; i < n; ++i) g[i] = i < nu ? i + 1 : 1 + static_cast<int>(rng() % nu);
        std::shuffle(g.begin(), g.end(), rng);
        enter(n, std::vector<double>(g.begin(), g.end()));
        sec.Assorty(c);
        const auto lines = linesOf(results());
        const std::size_t nuLine = 8 + static_cast<std::size_t>(n);
        ASSERT_EQ(lines.at(nuLine), " Число новых переменных NU = " + std::to_string(nu) + " ");
        std::size_t at = nuLine + 1;
        for (int kmod = n; kmod >= 2; --kmod) {
            // counts[f][u]: how many of the K1 predecessors of component f carry number u.
            std::vector<std::vector<int>> counts(n + 1, std::vector<int>(nu + 1, 0));
            for (int f = 1; f <= n; ++f)
                for (int s = 1; s < kmod; ++s) counts[f][g[((f - 1 - s) % n + n) % n]]++;
            bool consistent = true;
            std::map<int, int> rep;
            for (int f = 1; f <= n; ++f) {
                auto [it, fresh] = rep.emplace(g[f - 1], f);
                if (!fresh && counts[f] != counts[it->second]) consistent = false;
            }
            ASSERT_LT(at + 1, lines.size());
            EXPECT_EQ(lines[at], "");
            EXPECT_EQ(lines[at + 1], std::to_string(n + 1 - kmod) + ")  Модель M(" + std::to_string(n) + "," +
                                         std::to_string(kmod) + ")");
            if (!consistent) {
                EXPECT_EQ(lines[at + 3], "с предполагаемой  симметрией противоречива.")
                    << "n=" << n << " kmod=" << kmod;
                at += 4;
                continue;
            }
            ASSERT_EQ(lines[at + 2], "") << "n=" << n << " kmod=" << kmod;
            for (int u = 1; u <= nu; ++u) {
                std::string row = "    " + std::to_string(u) + ".     [";
                for (int l = 1; l <= nu; ++l) row += "   " + std::to_string(counts[rep[u]][l]);
                EXPECT_EQ(lines[at + 6 + u], row + "   ]");
            }
            at += 7 + static_cast<std::size_t>(nu);
        }
        EXPECT_EQ(at, lines.size());
    }
}

// ---------------------------------------------------------------- input and refusals

TEST_F(Sec4Test, InputPreparesAFreshTable) {
    enter(3, {1, 2, 2});
    EXPECT_TRUE(sec.numbersTaken());
    mdl.NDIM = 5;
    sec.Input1(c);
    EXPECT_FALSE(sec.numbersTaken());
    EXPECT_EQ(mdl.NU, 0);
    ASSERT_EQ(mdl.G.upper(), 5);
    ASSERT_EQ(sec.vectorV().upper(), 5);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(mdl.G(i), 0);
        EXPECT_EQ(sec.vectorV()(i), i);
    }
}

TEST_F(Sec4Test, InputRefusesNdimOutsideItsRange) {
    for (int n : {0, -3, Sec4::kMaxNdim + 1}) {
        mdl.NDIM = static_cast<i16>(n);
        try {
            sec.Input1(c);
            ADD_FAILURE() << n;
        } catch (const VeltaError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Число уравнений NDIM должно быть от 1 до 99 (NDIM = " + std::to_string(n) + ")");
        }
    }
    mdl.NDIM = Sec4::kMaxNdim;
    EXPECT_NO_THROW(sec.Input1(c));
}

TEST_F(Sec4Test, RefusedNumbersAreNamedAndChangeNothing) {
    const std::pair<std::vector<double>, std::string> cases[] = {
        {{1, 3, 1, 3},
         "Номер 2 не присвоен ни одной компоненте X: номера компонент вектора U должны идти "
         "от 1 до NU = 3 без пропусков"},
        {{1, 0, 1, 2}, "Компоненте X(2) не присвоен номер компоненты вектора U (задан 0)"},
        {{1, 1.5, 1, 2},
         "Номер компоненты вектора U для X(2) должен быть целым числом от 1 до NDIM = 4 "
         "(задано 1.5)"},
        {{1, 2, -1, 2},
         "Номер компоненты вектора U для X(3) должен быть целым числом от 1 до NDIM = 4 "
         "(задано -1)"},
        {{1, 2, 3, 5},
         "Номер компоненты вектора U для X(4) должен быть целым числом от 1 до NDIM = 4 "
         "(задано 5)"},
        {{1, 2, 1}, "Задано 3 номеров компонент вектора U, а нужно NDIM = 4"},
    };
    for (const auto& [g, text] : cases) {
        mdl.NDIM = 4;
        sec.Input1(c);
        try {
            sec.cmdOK_Tabl(mdl, g);
            ADD_FAILURE() << text;
        } catch (const VeltaError& e) {
            EXPECT_EQ(std::string(e.what()), text);
        }
        EXPECT_FALSE(sec.numbersTaken());
        EXPECT_EQ(mdl.NU, 0);
    }
    try {
        Sec4::numbersFromTexts({"1", "2", "abc"});
        ADD_FAILURE();
    } catch (const VeltaError& e) {
        EXPECT_EQ(std::string(e.what()), "Номер компоненты вектора U для X(3) задан НЕ ЧИСЛОМ: \"abc\"");
    }
    EXPECT_EQ(Sec4::numbersFromTexts({" 2 ", "1"}), (std::vector<double>{2, 1}));
    EXPECT_EQ(Sec4::splitList(" 1, 2,,3  4 "), (std::vector<std::string>{"1", "2", "3", "4"}));
}

// Without the table the numbers are asked as a list; a refused list is explained and asked
// again; an empty answer ends the run before the old report is touched.
TEST_F(Sec4Test, NumbersNotTakenAreAskedAsAList) {
    mdl.NDIM = 4;
    sec.Input1(c);
    ui.answers = {"1,2,x,2", "1 3 1 3", "1, 2, 1, 2"};
    sec.Assorty(c);
    ASSERT_EQ(ui.inputs.size(), 3u);
    EXPECT_EQ(ui.inputs[0].prompt, "Задайте номера компонент вектора  U\nдля X(1),...,X(4) через запятую");
    EXPECT_EQ(ui.inputs[0].title, "   VELTA");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Номер компоненты вектора U для X(3) задан НЕ ЧИСЛОМ: \"x\"");
    EXPECT_EQ(ui.messages[0].title, "   VELTA");
    EXPECT_EQ(ui.messages[1].text.rfind("Номер 2 не присвоен ни одной компоненте X", 0), 0u);
    EXPECT_TRUE(sec.numbersTaken());
    EXPECT_EQ(linesOf(results()).at(12), " Число новых переменных NU = 2 ");

    // A new NDIM forgets the numbers; an empty answer leaves the old report as it was.
    app.write("User/Results.sty", "old report");
    sec.Input1(c);
    ui.answers = {"1,1"};  // wrong count, then nothing
    EXPECT_THROW(
        {
            try {
                sec.Assorty(c);
            } catch (const VeltaError& e) {
                EXPECT_EQ(std::string(e.what()), "Номера компонент вектора U не заданы: счёт не выполнен");
                throw;
            }
        },
        VeltaError);
    EXPECT_EQ(bytesOf(results()), "old report");
}

// Numbers left in the store for another NDIM (another section read its data since) are not
// used: they are asked again.
TEST_F(Sec4Test, NumbersOfAnotherNdimAreAskedAgain) {
    enter(4, {1, 2, 1, 2});
    mdl.NDIM = 3;
    app.write("User/Results.sty", "old report");
    EXPECT_THROW(sec.Assorty(c), VeltaError);
    EXPECT_EQ(bytesOf(results()), "old report");
    ASSERT_EQ(ui.inputs.size(), 1u);
    mdl.NDIM = 100;
    EXPECT_THROW(sec.Assorty(c), VeltaError);
    EXPECT_EQ(ui.inputs.size(), 1u);  // refused before anything is asked
}

// ---------------------------------------------------------------- through the shell

// The road of the menus: "&Ввод исходных данных" with "abc" (message, asked again) and 4,
// then "С&чёт [и графика]" with the list, as the runner answers them.
TEST_F(Sec4Test, ShellRunsTheSectionWithAnswersOnly) {
    Shell shell(mdl, paths);
    shell.Sect_Select(4);
    EXPECT_TRUE(shell.isEnabled(Cmd::Input));
    EXPECT_FALSE(shell.isEnabled(Cmd::Table));
    ui.answers = {"abc", "4", "1,2,1,2"};
    ASSERT_TRUE(shell.mnuInput(c));
    EXPECT_EQ(ui.messages.at(0).text, "Вы задали НЕ ЧИСЛО");
    EXPECT_EQ(mdl.NDIM, 4);
    EXPECT_TRUE(shell.isEnabled(Cmd::Integr));
    EXPECT_TRUE(shell.isEnabled(Cmd::Open));
    ASSERT_TRUE(shell.mnuIntegr(c));
    EXPECT_EQ(shell.resultsPath(), results());
    EXPECT_EQ(linesOf(results()).at(14), "1)  Модель M(4,4)");
    EXPECT_TRUE(shell.isEnabled(Cmd::OpenResl));

    // NDIM = 0, 100 and a number beyond the 16-bit range are refused alike by the range
    // message: the computation stays disabled.
    for (const char* answer : {"0", "100", "99999", "1e30"}) {
        Shell again(mdl, paths);
        again.Sect_Select(4);
        ui.answers = {answer};
        ui.messages.clear();
        EXPECT_FALSE(again.mnuInput(c)) << answer;
        EXPECT_FALSE(again.isEnabled(Cmd::Integr)) << answer;
        ASSERT_EQ(ui.messages.size(), 1u) << answer;
        EXPECT_NE(ui.messages[0].text.find("NDIM должно быть от 1 до 99"), std::string::npos)
            << ui.messages[0].text;
        EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
    }
    EXPECT_NE(ui.messages[0].text.find("(NDIM = 1E+30)"), std::string::npos) << ui.messages[0].text;
}

}  // namespace
