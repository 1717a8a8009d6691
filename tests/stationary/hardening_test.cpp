// The continuation sections end every run: bad step limits are refused, a step that is not a
// number ends the run with a message, and every refusal or failed output leaves the old
// results files as they were.
#include "stationary/continuation.h"
#include "stationary/section213/sec213.h"
#include "stationary/section215/sec215.h"
#include "stationary/section217/sec217.h"
#include "stationary/section3/sec3.h"
#include "stationary/section7/sec7.h"

#include "data/numtext.h"
#include "support/core_fixture.h"
#include "support/file_limit.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>

using namespace velta;
using namespace velta::test;

namespace {

// A shipped sample with some of its lines replaced.
std::string sample(const std::string& name, const std::map<std::string, std::string>& edits = {}) {
    std::string s = bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/" + name);
    for (const auto& [from, to] : edits) {
        const auto p = s.find(from + "\r\n");
        if (p == std::string::npos) throw std::runtime_error("no line " + from + " in " + name);
        s.replace(p, from.size(), to);
    }
    return s;
}

// One run of a section core in a fresh application folder.
struct Bench {
    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Store mdl;
    Ctx c{surf, ui, paths, mdl};
    Bench() {
        mdl.SEED = 42;
        setColours(mdl, true);
    }
    std::string user(const std::string& n) const { return app.path("User/" + n); }
    // Reads the sample (edited) into the core.
    void load(SectionCore& sec, const std::string& name,
              const std::map<std::string, std::string>& edits = {}) {
        app.write("User/" + name, sample(name, edits));
        sec.dataPath = user(name);
        sec.InputPar(c);
    }
    // Old results files, to see that a refused run leaves them alone.
    void oldFiles(const std::vector<std::string>& names) const {
        for (const auto& n : names) app.write("User/" + n, "old " + n + "\r\n");
    }
    void expectOld(const std::vector<std::string>& names, const std::string& why) const {
        for (const auto& n : names) EXPECT_EQ(bytesOf(user(n)), "old " + n + "\r\n") << why << ": " << n;
    }
    // The message of the error a run ends with ("" when it ends without one).
    static std::string errorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const VeltaError& e) {
            return e.what();
        }
        return "";
    }
};

// A one-equation curve y = q with a right-hand side that can be made undefined.
struct Line : Continuation {
    bool undefined = false;
    void FUNCp() override {
        DY(1) = undefined ? std::nan("") : Y(1) - Y(2);
        A(1, 1) = 1;
        A(1, 2) = -1;
    }
};

// Runs f in a child process that is killed after a minute: an endless loop fails the test
// instead of hanging it. f returns "" when the run ended as it should.
void endsInTime(const std::string& what, const std::function<std::string()>& f) {
    EXPECT_EXIT(
        {
            alarm(60);
            const std::string bad = f();
            if (!bad.empty()) std::cerr << bad << std::endl;
            std::_Exit(bad.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << what;
}

}  // namespace

TEST(ContinuationBoundsDeathTest, RunsThatLoopedForEverEndWithAMessage) {
    endsInTime("Povorot6 with EMAX = -1E+308", [] {
        Bench b;
        Sec213 sec;
        b.load(sec, "Povorot6.srgd", {{"EMAX = 1", "EMAX = -1E+308"}});
        const std::vector<std::string> outs = {"QSOLV.srg", "BSOLV.srg", "Results.srg"};
        b.oldFiles(outs);
        b.ui.answers = {"1", "1,2,2,2,2,2", "END"};
        const std::string m = Bench::errorOf([&] { sec.Integr1(b.c); });
        b.expectOld(outs, "EMAX refused");
        return m == "Ограничение на шаг EMAX должно быть больше EMIN (EMIN = 0.001, EMAX = -1E+308)"
                   ? ""
                   : "message: " + m;
    });
    // The engine itself, past the checks of the input: an infinite step and a smallest
    // step EMIN*H that vanishes used to halve the step for ever.
    struct Case {
        const char* what;
        double hstep, emin, h;
        const char* expected;  // message, or "MARK = 6"
    };
    for (const Case& k : {Case{"infinite step", INFINITY, 0.001, 0.1,
                               "Шаг по текущему параметру HSTEP не является конечным числом (HSTEP = "},
                          Case{"EMIN*H = 0", 1, 1e-200, 1e-200, "MARK = 6"}}) {
        endsInTime(k.what, [k] {
            Line l;
            l.setup(1);
            l.H(1) = l.H(2) = k.h;
            l.UL(1) = l.UL(2) = -1e9;
            l.UR(1) = l.UR(2) = 1e9;
            l.EMIN = k.emin;
            l.EMAX = 1;
            l.EXACT = 1e-10;
            l.LIMIT0 = l.LIMIT = 10;
            l.ISTEP = 2;
            l.HSTEP = k.hstep;
            l.undefined = true;
            const std::string m = Bench::errorOf([&] { l.ADAPT(); });
            const std::string got = m.empty() ? "MARK = " + CStr(l.MARK) : m;
            return got.rfind(k.expected, 0) == 0 ? "" : "ended with: " + got;
        });
    }
}

TEST(ContinuationBounds, StepLimitsAreCheckedTogether) {
    Line l;
    l.setup(1);
    l.EXACT = 1e-10;
    l.LIMIT0 = l.LIMIT = 10;
    l.QMIN = 0;
    l.QMAX = 1;
    const struct {
        double emin, emax, accel, h;
        const char* start;  // "" when accepted
    } cases[] = {
        {0.001, 1, 1.5, 0.1, ""},
        {0.001, -1e308, 1.5, 0.1, "Ограничение на шаг EMAX должно быть больше EMIN"},
        {0.001, 0.001, 1.5, 0.1, "Ограничение на шаг EMAX должно быть больше EMIN"},
        {0.001, INFINITY, 1.5, 0.1, "Ограничение на шаг EMAX должно быть больше EMIN"},
        {0.001, NAN, 1.5, 0.1, "Ограничение на шаг EMAX должно быть больше EMIN"},
        {0.001, 1, NAN, 0.1, "Коэффициент ускорения ACCEL должен быть конечным числом"},
        {5e-324, 1, 1.5, 0.1, "Ограничения на шаг EMIN*H(1) и EMAX*H(1)"},    // EMIN*H = 0
        {0.001, 1e308, 1.5, 10, "Ограничения на шаг EMIN*H(1) и EMAX*H(1)"},  // EMAX*H = inf
    };
    for (const auto& k : cases) {
        l.EMIN = k.emin;
        l.EMAX = k.emax;
        l.ACCEL = k.accel;
        l.H(1) = l.H(2) = k.h;
        const std::string m = Bench::errorOf([&] { l.checkLimits(); });
        if (*k.start) EXPECT_EQ(m.rfind(k.start, 0), 0u) << k.emin << " " << k.emax << ": " << m;
        else EXPECT_EQ(m, "");
    }
}

TEST(StationaryRefusals, BadLimitsLeaveTheOldResultsFiles) {
    const std::vector<std::string> srg = {"QSOLV.srg", "BSOLV.srg", "Results.srg"};
    const std::vector<std::string> str = {"Results.stR", "Symmetr.stR"};
    const struct {
        const char* what;
        int section;
        std::map<std::string, std::string> edits;
        const char* start;
    } cases[] = {
        {"213 SCRY = SCLY = 0", 213, {{"SCRY = 5", "SCRY = 0"}}, "Пустой диапазон графика: ось Y от 0 до 0"},
        {"213 SCLX = SCRX", 213, {{"SCRX = 0.04", "SCRX = -0.005"}}, "Пустой диапазон графика: QMOD"},
        {"213 SCLY = SCRY", 213, {{"SCLY = 0", "SCLY = 5"}}, "Пустой диапазон графика: ось Y"},
        {"213 EMAX < EMIN", 213, {{"EMAX = 1", "EMAX = 0.0001"}}, "Ограничение на шаг EMAX"},
        {"7 DRX = 1E+308", 7, {{"DRX = 1", "DRX = 1E+308"}}, "Пустой диапазон графика: ALFA"},
        {"7 DRY = 1E+308", 7, {{"DRY = 0.5", "DRY = 1E+308"}}, "Пустой диапазон графика: U"},
    };
    for (const auto& k : cases) {
        Bench b;
        Sec213 s213;
        Sec7 s7;
        SectionCore& sec = k.section == 213 ? static_cast<SectionCore&>(s213) : s7;
        b.load(sec, k.section == 213 ? "Povorot6.srgd" : "StaResh5_LL1.stRd", k.edits);
        const auto& outs = k.section == 213 ? srg : str;
        b.oldFiles(outs);
        b.ui.answers = {"1", "1,2,2,2,2,2", "END"};
        const std::string m = Bench::errorOf([&] { sec.Integr1(b.c); });
        EXPECT_EQ(m.rfind(k.start, 0), 0u) << k.what << ": " << m;
        b.expectOld(outs, k.what);
    }
}

TEST(StationaryOutputs, AFolderInPlaceOfALaterOutputEmptiesNoFile) {
    const struct {
        const char* what;
        int section;
        const char* sample;
        std::vector<std::string> old;  // files that must stay as they were
        std::string folder;            // the output that cannot be created
    } cases[] = {
        {"213", 213, "Povorot6.srgd", {"QSOLV.srg", "BSOLV.srg"}, "Results.srg"},
        {"217 Results", 217, "Fold3.diud", {"QSOLV.diu", "BSOLV.diu", "INFOR.diu"}, "Results.diu"},
        {"217 STABL", 217, "Fold3.diud", {"QSOLV.diu", "BSOLV.diu", "Results.diu", "INFOR.diu"}, "STABL.diu"},
        {"215", 215, "Repress3.srRd", {"QSOLV0.srR", "Results.srR"}, "QSOLV.srR"},
        {"7", 7, "StaResh5_LL1.stRd", {"Results.stR"}, "Symmetr.stR"},
    };
    for (const auto& k : cases) {
        Bench b;
        Sec213 s213;
        Sec215 s215;
        Sec217 s217;
        Sec7 s7;
        SectionCore& sec = k.section == 213   ? static_cast<SectionCore&>(s213)
                           : k.section == 215 ? static_cast<SectionCore&>(s215)
                           : k.section == 217 ? static_cast<SectionCore&>(s217)
                                              : s7;
        b.load(sec, k.sample);
        b.oldFiles(k.old);
        b.app.mkdir("User/" + k.folder);
        b.ui.answers = {"1", "1,2,2,2,2,2", "END"};
        EXPECT_EQ(Bench::errorOf([&] { sec.Integr1(b.c); }),
                  "Не удалось создать файл " + b.paths.userFile(k.folder))
            << k.what;
        b.expectOld(k.old, k.what);
    }
}

TEST(StationaryOutputs, AFullDiskIsReportedNamingTheFile) {
    Bench b;
    Sec3 sec;
    b.load(sec, "Cirk3_Repress.stbd");
    FileSizeLimit limit(512);
    EXPECT_EQ(Bench::errorOf([&] { sec.Integr1(b.c); }),
              "Ошибка записи в файл " + b.paths.userFile("Results.stb"));
}

TEST(StationarySaves, AFailedSaveKeepsTheOldDataFile) {
    Bench b;
    Sec213 sec;
    b.load(sec, "Povorot6.srgd");
    const std::string path = b.user("Povorot6.srgd");
    const std::string old = bytesOf(path);
    Sec213::Table_File(b.mdl, b.user("ref.srgd"), sec.fieldsFromStore(b.mdl));
    {
        FileSizeLimit limit(256);
        EXPECT_EQ(Bench::errorOf([&] { Sec213::Table_File(b.mdl, path, sec.fieldsFromStore(b.mdl)); }),
                  "Ошибка записи в файл " + path + " (прежний файл сохранён без изменений)");
    }
    EXPECT_EQ(bytesOf(path), old);
    Sec213::Table_File(b.mdl, path, sec.fieldsFromStore(b.mdl));  // and without the limit it is saved
    EXPECT_EQ(bytesOf(path), bytesOf(b.user("ref.srgd")));
}

TEST(StationaryOutputs, EveryRunClosesItsFiles) {
    const struct {
        int section;
        const char* sample;
        std::vector<std::string> answers;
        const char* results;
    } cases[] = {
        {213, "Povorot6.srgd", {"1", "1,2,2,2,2,2", "END"}, "Results.srg"},
        {215, "Repress3.srRd", {}, "QSOLV.srR"},
        {217, "Fold3.diud", {"YES"}, "STABL.diu"},
        {3, "Cirk3_Repress.stbd", {}, "Results.stb"},
        {7, "StaResh5_LL1.stRd", {}, "Symmetr.stR"},
    };
    for (const auto& k : cases) {
        Bench b;
        Sec213 s213;
        Sec215 s215;
        Sec217 s217;
        Sec3 s3;
        Sec7 s7;
        SectionCore& sec = k.section == 213   ? static_cast<SectionCore&>(s213)
                           : k.section == 215 ? static_cast<SectionCore&>(s215)
                           : k.section == 217 ? static_cast<SectionCore&>(s217)
                           : k.section == 3   ? static_cast<SectionCore&>(s3)
                                              : s7;
        const long before = TextWriter::abandoned();
        b.load(sec, k.sample);
        b.ui.answers = {k.answers.begin(), k.answers.end()};
        EXPECT_EQ(Bench::errorOf([&] { sec.Integr1(b.c); }), "") << k.section;
        EXPECT_FALSE(bytesOf(b.user(k.results)).empty()) << k.section;
        EXPECT_EQ(TextWriter::abandoned(), before)
            << "section " << k.section << " left a writer without close()";
    }
}
