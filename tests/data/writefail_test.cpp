// Failed writes are never lost: the writer throws naming the file, a save keeps the old
// file, the outputs of a run are all writable before any is emptied; reading messages quote
// at most about 60 characters and lists are checked on their own line.
#include "data/datafile.h"
#include "data/paths.h"
#include "data/textfile.h"

#include "support/file_limit.h"
#include "support/files.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;
using velta::test::FileSizeLimit;
using velta::test::TempApp;
namespace fs = std::filesystem;

namespace {

template <class F>
std::string writeError(F f) {
    try {
        f();
    } catch (const FileWriteError& e) {
        return e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "not a write error: " << e.what();
        return {};
    }
    ADD_FAILURE() << "no error thrown";
    return {};
}

std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

}  // namespace

TEST(TextWriterFailure, FullDeviceThrowsNamingTheFile) {
    // A short text fails at close(), a long line at the line itself.
    const struct {
        const char* what;
        std::size_t lineLength;
        bool atLine;
    } cases[] = {{"short", 10, false}, {"long", 1 << 20, true}};
    for (const auto& k : cases) {
        auto w = TextWriter::create("/dev/full");
        bool thrownAtLine = false;
        const std::string m = writeError([&] {
            try {
                w->line(std::string(k.lineLength, 'x'));
            } catch (const FileWriteError&) {
                thrownAtLine = true;
                throw;
            }
            w->close();
        });
        EXPECT_EQ(m, "Ошибка записи в файл /dev/full") << k.what;
        EXPECT_EQ(thrownAtLine, k.atLine) << k.what;
        w->closeAfterError();
    }
}

TEST(TextWriterFailure, ForgottenCloseIsCountedUnwindingIsNot) {
    TempApp app;
    const std::string p = app.path("User/a.txt");
    const long before = TextWriter::abandoned();
    { TextWriter::create(p)->close(); }
    try {
        auto w = TextWriter::create(p);
        w->line("kept");
        throw VeltaError("another error");
    } catch (const VeltaError&) {}
    EXPECT_EQ(bytesOf(p), "kept\r\n");  // the rows written before an error stay
    {
        std::ostringstream s;
        TextWriter w(s);  // a stream's writer owns no file
        w.line("x");
    }
    EXPECT_EQ(TextWriter::abandoned(), before);
    { TextWriter::create(p)->line("forgotten"); }
    EXPECT_EQ(TextWriter::abandoned(), before + 1);
}

TEST(TextWriterReplace, OldFileStaysUntilASuccessfulClose) {
    TempApp app;
    const std::string p = app.path("User/d.mnkd");
    app.write("User/d.mnkd", "old\r\n");
    fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const long before = TextWriter::abandoned();
    { TextWriter::replace(p)->line("dropped"); }  // no close(): nothing is replaced
    EXPECT_EQ(TextWriter::abandoned(), before + 1);
    EXPECT_EQ(bytesOf(p), "old\r\n");
    {
        // A full disk in the middle of a save.
        FileSizeLimit limit(64);
        auto w = TextWriter::replace(p);
        const std::string m = writeError([&] {
            for (int i = 0; i < 100; ++i) w->line("a line of the new data file");
            w->close();
        });
        EXPECT_EQ(m, "Ошибка записи в файл " + p + " (прежний файл сохранён без изменений)");
    }
    EXPECT_EQ(bytesOf(p), "old\r\n");
    EXPECT_EQ(namesIn(app.user()), std::vector<std::string>{"d.mnkd"});  // no temporary left

    auto w = TextWriter::replace(p);
    w->line("new");
    EXPECT_EQ(bytesOf(p), "old\r\n");
    w->close();
    EXPECT_EQ(bytesOf(p), "new\r\n");
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(namesIn(app.user()), std::vector<std::string>{"d.mnkd"});
}

TEST(TextWriterCreateAll, NoFileIsEmptiedWhenALaterOneCannotBeCreated) {
    TempApp app;
    app.write("User/QSOLV.srg", "old qsolv\r\n");
    app.mkdir("User/Results.srg");  // a folder where the last output should be
    const std::vector<std::string> outs = {app.path("User/QSOLV.srg"), app.path("User/BSOLV.srg"),
                                           app.path("User/Results.srg")};
    try {
        TextWriter::createAll(outs);
        ADD_FAILURE() << "a folder was accepted as an output";
    } catch (const VeltaError& e) {
        EXPECT_EQ(std::string(e.what()), "Не удалось создать файл " + outs[2]);
    }
    EXPECT_EQ(bytesOf(outs[0]), "old qsolv\r\n");
    EXPECT_FALSE(fs::exists(outs[1]));  // not left behind either

    fs::remove(outs[2]);
    auto ws = TextWriter::createAll(outs);
    ASSERT_EQ(ws.size(), 3u);
    for (auto& w : ws) w->close();
    for (const auto& o : outs) EXPECT_EQ(bytesOf(o), "");
}

TEST(QuoteInput, LongInputIsCutAtSixtyCharacters) {
    const std::string cyr60 = [] {
        std::string s;
        for (int i = 0; i < 60; ++i) s += "ж";
        return s;
    }();
    const struct {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"1.2.3", "1.2.3"},
        {std::string(60, 'x'), std::string(60, 'x')},
        {std::string(61, 'x'), std::string(60, 'x') + "…"},
        {cyr60, cyr60},  // counted in characters, not bytes
        {cyr60 + "ё", cyr60 + "…"},
        {std::string(1 << 20, '7'), std::string(60, '7') + "…"},
    };
    for (const auto& k : cases) EXPECT_EQ(quoteInput(k.in), k.out) << k.in.size();
}

TEST(QuoteInput, ReadingErrorsOfAHugeLineStayShort) {
    const std::string huge(1 << 20, 'q');
    std::istringstream in("MCLASS = " + huge + "\r\n" + huge + "\r\n" + huge + "\r\n");
    TextReader r(in, "a.mnkd");
    std::ostringstream chkOut;
    TextWriter chk(chkOut);
    Store mdl;
    ParReader p(mdl, r, chk);
    i16 v = 0;
    for (const auto& read : std::vector<std::function<void()>>{
             [&] { p.Key_InputI("MCLASS", v); }, [&] { p.readNumber(); }, [&] { p.readList(3); }}) {
        try {
            read();
            ADD_FAILURE() << "no error";
        } catch (const VeltaError& e) {
            const std::string m = e.what();
            EXPECT_LT(m.size(), 400u) << m.substr(0, 400);
            EXPECT_NE(m.find(std::string(60, 'q') + "…»"), std::string::npos) << m.substr(0, 400);
        }
    }
}

TEST(ParReaderLists, AnIndexOutOfRangeFailsOnItsOwnLineNamingTheKey) {
    const struct {
        const char* line;
        const char* expected;  // "" when the list is accepted
    } cases[] = {
        {"-1,2,3", "строка 2: ожидалось IC(1) от 1 до NDIM = 3, прочитано «-1»"},
        {"1,4", "строка 2: ожидалось IC(2) от 1 до NDIM = 3, прочитано «4»"},
        {"1,x", "строка 2: ожидалось целое IC(2), прочитано «x»"},
        {"3,1,2", ""},
        {"1,2,3,9", ""},  // beyond the limit of 3 items: not used, not checked
    };
    Store mdl;
    for (const auto& k : cases) {
        std::istringstream in(std::string("IC(I):\r\n") + k.line + "\r\n");
        TextReader r(in, "t.mnkd");
        std::ostringstream chkOut;
        TextWriter chk(chkOut);
        ParReader p(mdl, r, chk);
        p.skipLine();
        std::string m;
        try {
            EXPECT_EQ(p.readList(3, "IC", 3, "NDIM").size(), 3u);
        } catch (const VeltaError& e) {
            m = e.what();
        }
        if (*k.expected) EXPECT_EQ(m, std::string("Ошибка чтения файла t.mnkd, ") + k.expected) << k.line;
        else EXPECT_EQ(m, "") << k.line;
    }
}

TEST(CheckFileFailure, AFullDiskOnInputChkIsAWriteErrorOfInputChk) {
    TempApp app;
    AppPaths paths(app.root());
    fs::create_symlink("/dev/full", app.path("User/Input.chk"));
    std::string data = "Блок 1\r\n-\r\n";
    for (int i = 0; i < 2000; ++i) data += "NDIM = 3\r\n";
    app.write("User/a.mnkd", data);
    const struct {
        const char* what;
        int keys;  // key lines read: a few fill no buffer (the error comes at the end)
    } cases[] = {{"few", 2}, {"many", 2000}};
    Store mdl;
    for (const auto& k : cases) {
        const std::string m = writeError([&] {
            readParFile(mdl, paths, app.path("User/a.mnkd"), [&](ParReader& r) {
                r.Head_Input(1);
                i16 n = 0;
                for (int i = 0; i < k.keys; ++i) r.Key_InputI("NDIM", n);
            });
        });
        EXPECT_EQ(m, "Ошибка записи в файл " + paths.userFile("Input.chk")) << k.what;
    }
}
