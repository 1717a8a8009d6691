// Section 6: the ".suzd" file and its check file, the grids of the window, the right-hand
// sides of the four classes, per-equation decay, the results table, refused inputs, the
// legend and the portion counter through the shell.
#include "models/section6/sec6.h"

#include "support/delay_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

using namespace velta;
using velta::test::bytesOf;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// Field texts of one ".suzd" file: a ring of three repressors by default.
struct Suzd {
    std::string mclass = "1", mdim = "3";
    std::string alfa = "10,10,10", gama = "2,2,2", teta = "1,1,1";
    std::string ltau = "2", taus = "1,2";
    // For k = 1..MDIM, i = 1..LTAU: BETA(i,1..MDIM,k).
    std::vector<std::string> beta = {"0,0,0", "0,0,1", "1,0,0", "0,0,0", "0,1,0", "0,0,0"};
    std::string tmax = "4", ndel = "20", i1 = "1", zi1 = "0.1", ic = "1,2,3", nsc = "5";
    std::string sclx = "0", scrx = "10", sclt = "0";

    std::string text() const {
        velta::test::BlockLines b;
        b.block(1, {"MClass = " + mclass, "MDIM = " + mdim, "ALFA(K):", alfa, "GAMA(K):", gama,
                    "TETA(K):", teta});
        b.block(2, {"LTAU = " + ltau, "TAUm(I):", taus});
        b.block(3);
        b.L.insert(b.L.end(), beta.begin(), beta.end());
        b.L.push_back("");
        b.block(4, {"TMAX = " + tmax, "NDEL = " + ndel});
        b.block(5, {"i1,...:", i1, "Zi1,...:", zi1});
        b.block(6, {"IC(I):", ic});
        b.block(7, {"NSC = " + nsc});
        b.block(8, {"SCLX = " + sclx, "SCRX = " + scrx, "SCLT = " + sclt});
        return b.text();
    }
};

class Sec6Test : public velta::test::DelayFixture<Sec6> {
protected:
    Sec6Test() : DelayFixture("Suz", "suzd", "Results.suz", 27) {}
    // The table rows: a number of five characters and a blank.
    std::vector<std::string> rows() const {
        std::vector<std::string> r;
        for (const auto& l : results())
            if (l.size() > 5 && std::isdigit(static_cast<unsigned char>(l[0])) && l[5] == ' ') r.push_back(l);
        return r;
    }
    std::string refusal(const std::function<void()>& f) {
        try {
            f();
        } catch (const VeltaError& e) {
            return e.what();
        }
        return "no refusal";
    }
};

}  // namespace

// ---------------------------------------------------------------- data file

TEST_F(Sec6Test, ShippedSamplesReadAndWriteBackByteForByte) {
    const std::string src = std::string(VELTA_SOURCE_DIR) + "/User/Suz/";
    for (const char* rel : {"Tau0/Ring3_Oscill.suzd", "Tau1/Pair_Oscill.suzd"}) {
        SCOPED_TRACE(rel);
        const std::string bytes = bytesOf(src + rel);
        ASSERT_FALSE(bytes.empty());
        app.write("User/Suz/Tau0/s.suzd", bytes);
        core.dataPath = app.path("User/Suz/Tau0/s.suzd");
        mdl.L = 3;
        core.InputPar(c);
        const auto& g = mdl;
        EXPECT_EQ(g.L, 0);
        EXPECT_EQ(g.ZTAB.rows(), 1000);
        EXPECT_EQ(g.ZTAB.cols(), g.MDIM);
        EXPECT_EQ(g.ZTAU.rows(), g.LTAU);
        EXPECT_EQ(g.TAU.upper(), g.LTAU);
        EXPECT_EQ(static_cast<int>(g.BETAm.size()), g.MDIM + 1);
        const std::string out = app.path("User/Suz/Tau0/back.suzd");
        Sec6::Table_File(mdl, out, Sec6::fieldsFromStore(mdl));
        EXPECT_EQ(bytesOf(out), bytes);
    }
}

TEST_F(Sec6Test, CheckFileEchoesEveryBlock) {
    Suzd f;
    f.alfa = "10,9,8";
    f.beta[3] = "0.5,0,2.25";
    load(f);
    const auto chk = readAllLines(paths.userFile("Input.chk"));
    const std::vector<std::string> want = {"Контроль ввода исходных данных:",
                                           "-------------------------------",
                                           " ",
                                           "1) Блок 1",
                                           "-------",
                                           "MClass = 1",
                                           "MDIM = 3",
                                           "ALFAm(1) = 10",
                                           "ALFAm(2) = 9",
                                           "ALFAm(3) = 8",
                                           "GAMAm(1) = 2",
                                           "GAMAm(2) = 2",
                                           "GAMAm(3) = 2",
                                           "TETAm(1) = 1",
                                           "TETAm(2) = 1",
                                           "TETAm(3) = 1",
                                           "2) Блок 2",
                                           "-------",
                                           "LTAU = 2",
                                           "TAUm(1) = 1",
                                           "TAUm(2) = 2",
                                           "3) Блок 3",
                                           "-------",
                                           "0   0   0   ",
                                           "0   0   1   ",
                                           "1   0   0   ",
                                           "0.5   0   2.25   ",
                                           "0   1   0   ",
                                           "0   0   0   ",
                                           "4) Блок 4",
                                           "-------",
                                           "TMAX = 4",
                                           "NDEL = 20",
                                           "NP1  = 21",
                                           "NP2  = 40",
                                           "5) Блок 5",
                                           "-------",
                                           "INK(1) = 1",
                                           "X1(INK(1)) = 0.1",
                                           "6) Блок 6",
                                           "-------",
                                           "IC(1) = 1",
                                           "IC(2) = 2",
                                           "IC(3) = 3",
                                           "7) Блок 7",
                                           "-------",
                                           "NSC = 5",
                                           "8) Блок 8",
                                           "-------",
                                           "SCLX = 0",
                                           "SCRX = 10",
                                           "SCLT = 0"};
    EXPECT_EQ(chk, want);
    // BETA(i, j, k) from the line of (k, i): k = 2, i = 2 is the fourth line.
    EXPECT_EQ(Sec6::BETA(mdl, 2, 1, 2), 0.5);
    EXPECT_EQ(Sec6::BETA(mdl, 2, 3, 2), 2.25);
    EXPECT_EQ(Sec6::BETA(mdl, 2, 3, 1), 1.0);
    EXPECT_THROW(Sec6::BETA(mdl, 1, 1, 4), VeltaError);
    EXPECT_THROW(Sec6::BETA(mdl, 3, 1, 1), VeltaError);
}

TEST_F(Sec6Test, ReaderListsAndLimits) {
    Suzd f;
    f.i1 = "";
    f.zi1 = "";
    f.ic = "3,1,2,2";
    load(f);
    EXPECT_EQ(mdl.NK, 0);
    EXPECT_EQ(mdl.NCOMP, 3) << "NCOMP = min(items, MDIM)";
    EXPECT_EQ(mdl.IC(1), 3);
    EXPECT_EQ(mdl.NSC, 5) << "the empty value line does not shift the blocks";
    EXPECT_EQ(mdl.SCRX, 10.0);

    f = Suzd{};
    f.i1 = "2,3,1,1";
    f.zi1 = "0.2,0.3,0.1";
    load(f);
    EXPECT_EQ(mdl.NK, 3) << "NK = min(items, MDIM)";
    EXPECT_EQ(mdl.X1(3), 0.3);

    f = Suzd{};
    f.i1 = "4";
    EXPECT_NE(refusal([&] { load(f); }).find(", строка 32: ожидалось INK(1) от 1 до MDIM = 3, прочитано «4»"),
              std::string::npos);
    f = Suzd{};
    f.mdim = "6";
    EXPECT_NE(refusal([&] { load(f); }).find("MDIM должно быть от 1 до 5"), std::string::npos);
    f.mdim = "0";
    EXPECT_NE(refusal([&] { load(f); }).find("MDIM должно быть от 1 до 5"), std::string::npos);
    f = Suzd{};
    f.ltau = "21";
    EXPECT_NE(refusal([&] { load(f); }).find("LTAU должно быть от 1 до 20"), std::string::npos);
}

TEST_F(Sec6Test, GridsOfTheWindow) {
    Suzd f;
    f.teta = "1,0.5,2";
    load(f);
    const GridText a = Sec6::paramGrid(mdl, 3, false);
    ASSERT_EQ(a.rows(), 6);
    ASSERT_EQ(a.cols(), 6);
    EXPECT_EQ(a.at(0, 0), "\\j");
    EXPECT_EQ(a.at(0, 2), "1");
    EXPECT_EQ(a.at(0, 4), "3");
    EXPECT_EQ(a.at(2, 0), "ALFA");
    EXPECT_EQ(a.at(3, 0), "GAMA");
    EXPECT_EQ(a.at(4, 0), "TETA");
    EXPECT_EQ(a.at(4, 3), "0.5");
    EXPECT_EQ(Sec6::paramGrid(mdl, 4, false).at(4, 5), "0") << "beyond the loaded MDIM";
    EXPECT_EQ(Sec6::paramGrid(mdl, 3, true).at(2, 2), "0");

    const GridText t = Sec6::tauGrid(mdl, 2, false);
    ASSERT_EQ(t.rows(), 4);
    ASSERT_EQ(t.cols(), 5);
    EXPECT_EQ(t.at(0, 0), "\\i");
    EXPECT_EQ(t.at(2, 0), "TAU");
    EXPECT_EQ(t.at(0, 3), "2");
    EXPECT_EQ(t.at(2, 3), "2");

    const GridText b = Sec6::betaGrid(mdl, 2, 3, false);
    ASSERT_EQ(b.rows(), 5);
    ASSERT_EQ(b.cols(), 12);
    EXPECT_EQ(b.at(0, 0), "i\\j (k)");
    EXPECT_EQ(b.at(0, 2), "1 (1)");
    EXPECT_EQ(b.at(0, 7), "3 (2)");
    EXPECT_EQ(b.at(3, 0), "2");
    EXPECT_EQ(b.at(3, 4), "1") << "BETA(2,3,1)";
    EXPECT_EQ(b.at(2, 5), "1") << "BETA(1,1,2)";
    EXPECT_EQ(b.at(2, 9), "1") << "BETA(1,2,3)";
    EXPECT_EQ(b.at(2, 10), "0");
    EXPECT_EQ(Sec6::betaGrid(mdl, 3, 3, false).at(4, 4), "0") << "beyond the loaded LTAU";
}

// ---------------------------------------------------------------- model

TEST_F(Sec6Test, RightHandSidesOfTheFourClassesAtAHandCheckedPoint) {
    Suzd f;
    f.mdim = "2";
    f.alfa = "6,4";
    f.gama = "2,1";
    f.teta = "1,1";
    // k = 1: BETA(1,1,1) = 2, BETA(2,2,1) = 0.5, BETA(1,2,1) = -1 (no link);
    // k = 2: no link at all.
    f.beta = {"2,-1", "0,0.5", "0,0", "0,0"};
    f.ic = "1,2";
    f.i1 = "1";
    load(f);
    auto& g = mdl;
    g.ZTAU(1, 1) = 1;  // u(1,1,1) = (1/2)^2 = 0.25
    g.ZTAU(1, 2) = 7;
    g.ZTAU(2, 1) = 3;
    g.ZTAU(2, 2) = 1.5;  // u(2,2,1) = (1.5/0.5)^1 = 3
    struct Case {
        int mclass;
        double fz1, fz2;
    };
    const Case cases[] = {
        {1, 6 / (1 + 3.25), 4},            // empty sum: ALFA
        {2, 6 / (1.25 * 4), 4},            // (1 + 0.25)*(1 + 3); empty product 1
        {3, 6 / (1 + 0.75), 2},            // 1 + 0.25*3; no links: ALFA/2
        {4, 6 * (1 / 1.25 + 1 / 4.0), 0},  // sum of 1/(1 + u); empty sum 0
        {5, -1, -1},                       // any other class: FZ as it was
    };
    for (const Case& k : cases) {
        g.MCLASS = static_cast<i16>(k.mclass);
        g.FZ(1) = -1;
        g.FZ(2) = -1;
        core.Vych_PCH(mdl);
        EXPECT_NEAR(g.FZ(1), k.fz1, 1e-14) << "class " << k.mclass;
        EXPECT_NEAR(g.FZ(2), k.fz2, 1e-14) << "class " << k.mclass;
    }
}

// Without links FZ(k) = ALFA(k) is constant, so the exponential step is exact:
// Z(k)(t) = A/TETA + (Z(k)(0) - A/TETA)*exp(-TETA*t) with each equation's own TETA.
TEST_F(Sec6Test, DecayRatePerEquationIsExact) {
    Suzd f;
    f.mdim = "3";
    f.alfa = "2,3,0";
    f.teta = "1,0.5,-0.25";
    f.beta = {"0,0,0", "0,0,0", "0,0,0", "0,0,0", "0,0,0", "0,0,0"};
    f.tmax = "6";
    f.nsc = "10";
    load(f);
    run();
    const auto& g = mdl;
    // After the run the window ends at t = 6: node NP1.
    auto exact = [](double a, double th, double z0, double t) {
        return a / th + (z0 - a / th) * std::exp(-th * t);
    };
    EXPECT_NEAR(g.ZTAB(21, 1), exact(2, 1, 0.1, 6), 1e-13);
    EXPECT_NEAR(g.ZTAB(21, 2), exact(3, 0.5, 0, 6), 1e-12);
    EXPECT_EQ(g.ZTAB(21, 3), 0.0);
    // The weights of equation 1 (TETA = 1) are those of the scheme with decay 1.
    EXPECT_DOUBLE_EQ(g.EC1m(1), g.EC1);
    EXPECT_DOUBLE_EQ(g.EC2m(1), g.EC2);
    EXPECT_DOUBLE_EQ(g.EHIm(1), g.EHI);
    EXPECT_DOUBLE_EQ(g.EHIm(2), std::exp(-0.5 * 0.1));
    EXPECT_DOUBLE_EQ(g.EHIm(3), std::exp(0.25 * 0.1));
    // The last row: node 20 of the third window (the one remainder step, c = 21, is not a
    // multiple of NSC), at t = 4 + 19*0.1.
    const auto r = rows();
    ASSERT_EQ(r.size(), 3u * 3u);
    EXPECT_EQ(r.back().substr(0, 22), "00020   5.90000E+00   ");
    EXPECT_EQ(r.back().substr(22, 11), Format(exact(2, 1, 0.1, 5.9), "0.00000E+00"));
    EXPECT_EQ(r.back().substr(36, 11), Format(exact(3, 0.5, 0, 5.9), "0.00000E+00"));
}

TEST_F(Sec6Test, InitialFunctionIgnoresThePerturbationLists) {
    Suzd f;
    f.i1 = "2,3";
    f.zi1 = "5,7";
    load(f);
    core.Nach_Rasp(mdl);
    const auto& g = mdl;
    for (int p = 1; p <= 21; ++p) {
        EXPECT_EQ(g.ZTAB(p, 1), 0.1);
        EXPECT_EQ(g.ZTAB(p, 2), 0.0);
        EXPECT_EQ(g.ZTAB(p, 3), 0.0);
    }
    run();
    const std::string a = bytesOf(paths.userFile("Results.suz"));
    SetUp();
    load(Suzd{}, "plain.suzd");
    run();
    EXPECT_EQ(bytesOf(paths.userFile("Results.suz")), a);
}

// ---------------------------------------------------------------- results

TEST_F(Sec6Test, ResultsHeaderExactAndRewrittenAtEveryPortion) {
    Suzd f;
    f.mclass = "2";
    f.teta = "1,0.5,2";
    f.tmax = "5";
    f.ndel = "10";
    load(f);
    run();
    const std::vector<std::string> header = {
        "",
        " Модель класса 2",
        " ПАРАМЕТРЫ МОДЕЛИ",
        " MDIM = 3",
        " LTAU = 2",
        " ALFA, GAMA, TETA",
        "1.00000E+01  2.00000E+00  1.00000E+00",
        "1.00000E+01  2.00000E+00  5.00000E-01",
        "1.00000E+01  2.00000E+00  2.00000E+00",
        " TAU",
        "1.0000E+00",
        "2.0000E+00",
        " TMAX = 5.0000E+00",
        " NDEL = 10",
        "",
        "              Таблица",
        "зависимостей компонент вектора Z от времени t",
        "",
        " No        t             Z1            Z2            Z3",
        "-----+-------------+-------------+-------------+-------------+",
    };
    auto r = results();
    ASSERT_GE(r.size(), header.size());
    for (std::size_t i = 0; i < header.size(); ++i) EXPECT_EQ(r[i], header[i]) << i;
    // Two windows (rows 1, 5, 10), the remainder c = 11..16 listed at c = 15.
    auto rw = rows();
    ASSERT_EQ(rw.size(), 7u);
    EXPECT_EQ(rw[0].substr(0, 22), "00001   0.00000E+00   ");
    EXPECT_EQ(rw[3].substr(0, 22), "00001   2.00000E+00   ");
    EXPECT_EQ(rw[6].substr(0, 22), "00015   5.00000E+00   ");
    EXPECT_EQ(rw[6].size(), 22u + 3u * 14u);
    EXPECT_EQ(rw[0].substr(22), "1.00000E-01   0.00000E+00   0.00000E+00   ");

    run();
    r = results();
    for (std::size_t i = 0; i < header.size(); ++i) EXPECT_EQ(r[i], header[i]) << i;
    rw = rows();
    EXPECT_EQ(rw.size(), 7u);
    EXPECT_EQ(rw[0].substr(0, 22), "00001   0.00000E+00   ");
    EXPECT_NE(rw[0].substr(22), "1.00000E-01   0.00000E+00   0.00000E+00   ") << "continued";
    EXPECT_EQ(mdl.TAU(2), 2.0) << "no scaling of the delays";
    EXPECT_EQ(mdl.SCLX, 0.0);
    EXPECT_EQ(mdl.SCRX, 10.0) << "plot bounds as given";
    EXPECT_EQ(mdl.SCRT, 5.0);
}

// ---------------------------------------------------------------- refusals

TEST_F(Sec6Test, BadInputIsRefusedBeforeAnythingIsComputed) {
    struct Bad {
        const char* what;
        std::function<void(Suzd&)> set;
    };
    const std::vector<Bad> cases = {
        {"NDEL должно быть от 1 до 499", [](Suzd& f) { f.ndel = "500"; }},
        {"NDEL должно быть от 1 до 499", [](Suzd& f) { f.ndel = "0"; }},
        {"NSC", [](Suzd& f) { f.nsc = "0"; }},
        {"порядке возрастания", [](Suzd& f) { f.taus = "2,1"; }},
        {"меньше шага", [](Suzd& f) { f.taus = "0.05,2"; }},
        {"TETA(2) должна быть отлична от 0", [](Suzd& f) { f.teta = "1,0,1"; }},
        {"строка 38: ожидалось IC(2) от 1 до MDIM = 3, прочитано «4»", [](Suzd& f) { f.ic = "1,4"; }},
        {"строка 38: ожидалось IC(1) от 1 до MDIM = 3, прочитано «0»", [](Suzd& f) { f.ic = "0"; }},
        {"ни одной компоненты", [](Suzd& f) { f.ic = ""; }},
        {"Пустой диапазон", [](Suzd& f) { f.scrx = "0"; }},
        {"TMAX", [](Suzd& f) { f.tmax = "0"; }},
    };
    app.write("User/Results.suz", "old\r\n");
    for (const Bad& b : cases) {
        SetUp();
        Suzd f;
        b.set(f);
        // A bad list is refused while the file is read, the other limits before the run.
        const std::string read = refusal([&] { load(f); });
        const std::string err = read == "no refusal" ? refusal([&] { core.Integr1(c); }) : read;
        EXPECT_NE(err.find(b.what), std::string::npos) << b.what << ": " << err;
        EXPECT_EQ(bytesOf(paths.userFile("Results.suz")), "old\r\n") << b.what;
        EXPECT_EQ(mdl.ZTAB(1, 1), 0.0) << "no initial function: " << b.what;
    }
}

TEST_F(Sec6Test, WindowTextsAreCheckedBeforeSaving) {
    load(Suzd{});
    const Sec6::Fields good = Sec6::fieldsFromStore(mdl);
    EXPECT_NO_THROW(Sec6::checkFields(good));
    struct Bad {
        const char* what;
        std::function<void(Sec6::Fields&)> set;
    };
    const std::vector<Bad> cases = {
        {"MDIM должно быть от 1 до 5", [](Sec6::Fields& f) { f.mdim = "6"; }},
        {"скорректировать таблицу на Листах #2, #4", [](Sec6::Fields& f) { f.mdim = "2"; }},
        {"скорректировать таблицу на Листах #3, #4", [](Sec6::Fields& f) { f.ltau = "3"; }},
        {"LTAU должно быть от 1 до 20", [](Sec6::Fields& f) { f.ltau = "21"; }},
        {"TETA(3) должна быть отлична от 0", [](Sec6::Fields& f) { f.agt.at(4, 4) = "0"; }},
        {"Недопустимое значение  BETA(2,3,1) = a", [](Sec6::Fields& f) { f.beta.at(3, 4) = "a"; }},
        {"порядке возрастания", [](Sec6::Fields& f) { f.tau.at(2, 2) = "3"; }},
        {"меньше шага", [](Sec6::Fields& f) { f.tau.at(2, 2) = "0.01"; }},
        {"NDEL должно быть от 1 до 499", [](Sec6::Fields& f) { f.ndel = "0"; }},
        {"NSC", [](Sec6::Fields& f) { f.nsc = "-1"; }},
        {"Пустой диапазон", [](Sec6::Fields& f) { f.scrx = "0"; }},
        {"не совпадает", [](Sec6::Fields& f) { f.zi1 = "0.1,0.2"; }},
        {"возмущаемой компоненты 4",
         [](Sec6::Fields& f) {
             f.i1n = "4";
             f.zi1 = "1";
         }},
        {"компоненты графика 4", [](Sec6::Fields& f) { f.i1g = "4"; }},
        {"ни одной компоненты", [](Sec6::Fields& f) { f.i1g = ""; }},
    };
    for (const Bad& b : cases) {
        Sec6::Fields f = good;
        b.set(f);
        EXPECT_NE(refusal([&] { Sec6::checkFields(f); }).find(b.what), std::string::npos) << b.what;
    }
    // Grids that do not match each other are not written.
    Sec6::Fields f = good;
    f.beta = Sec6::betaGrid(mdl, 2, 2, true);
    EXPECT_NE(refusal([&] { Sec6::Table_File(mdl, app.path("User/x.suzd"), f); }).find("не согласованы"),
              std::string::npos);
    EXPECT_FALSE(app.exists("User/x.suzd"));
}

// ---------------------------------------------------------------- canvas and shell

TEST_F(Sec6Test, LegendRowsOfTheSection) {
    load(Suzd{});
    run();
    const auto& g = mdl;
    auto rowOf = [&](const std::string& s) {
        const DrawCall* d = surf.findText(s);
        return d ? (d->y1 - g.TXTY) / g.CHH : -1.0;
    };
    EXPECT_NE(surf.findText("Графики компонент вектора Z(t), t = L*TAUmax + u"), nullptr);
    EXPECT_EQ(rowOf("Модель класса 1"), 0);
    EXPECT_EQ(rowOf("Параметры модели"), 2);
    EXPECT_EQ(rowOf("MDIM = 3"), 4);
    EXPECT_EQ(rowOf("LTAU = 2"), 5);
    EXPECT_EQ(rowOf("Компоненты"), 20);
    EXPECT_EQ(rowOf("Z1"), 22);
    EXPECT_EQ(rowOf("Z3"), 24);
    EXPECT_EQ(rowOf("   L = 0"), 27);
    EXPECT_EQ(surf.findText("Стационарное решение"), nullptr);
}

TEST(Sec6Shell, TaskFoldersAndPortionCounter) {
    Store mdl;
    {
        AppPaths shipped(VELTA_SOURCE_DIR);
        Shell shell(mdl, shipped);
        shell.Sect_Select(6);
        ASSERT_GE(shell.taskItems.size(), 2u);
        EXPECT_EQ(shell.taskItems[0], "Tau0");
        EXPECT_EQ(shell.taskItems[1], "Tau1");
    }
    mdl.reset();
    TempApp app;
    app.write("User/Suz/Tau0/t.suzd", Suzd{}.text());
    AppPaths paths(app.root());
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Shell shell(mdl, paths);
    shell.Sect_Select(6);
    shell.Combo1_Click("Tau0");
    SectionCore* core = shell.current();
    ASSERT_NE(core, nullptr);
    core->dataPath = app.path("User/Suz/Tau0/t.suzd");
    ASSERT_TRUE(shell.mnuInput(c));
    std::vector<std::string> counters;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(shell.mnuIntegr(c)) << (ui.messages.empty() ? "" : ui.messages.back().text);
        for (const auto& d : surf.of(DrawCall::Kind::Text))
            if (d.text.rfind("   L = ", 0) == 0) {
                counters.push_back(d.text);
                EXPECT_EQ((d.y1 - mdl.TXTY) / mdl.CHH, 27);
            }
        surf.forget();
    }
    EXPECT_EQ(counters, (std::vector<std::string>{"   L = 0", "   L = 1", "   L = 2"}));
    ASSERT_TRUE(shell.mnuInput(c));
    EXPECT_EQ(mdl.L, 0);
    EXPECT_TRUE(shell.mnuIntegr(c));
    EXPECT_NE(surf.findText("   L = 0"), nullptr);
}
