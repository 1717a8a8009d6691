#include "data/keytable.h"

#include "data/error.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace velta;

namespace {

struct Vals {
    i16 n = 0;
    double x = 0, y = 0;
};
struct Texts {
    std::string n, x, y;
};
using K = Key<Vals, Texts>;
// Read as "N", written as "NN"; Y refused under a spelling of its own.
constexpr K kKeys[] = {K{1}, K{"N", "NN", &Vals::n, &Texts::n}, K{"X", &Vals::x, &Texts::x}, K{2},
                       K{"Y", &Vals::y, &Texts::y}.checkedAs("YY")};
constexpr KeyTable kTable{kKeys};

// Reads text through the table: the values and the check-file echo.
std::pair<Vals, std::string> readAll(Store& g, const std::string& text, KeyTable<Vals, Texts> table = kTable,
                                     int base = 0) {
    std::istringstream in(text);
    TextReader reader(in, "Test.dat");
    std::ostringstream chk;
    TextWriter echo(chk);
    ParReader r(g, reader, echo);
    Vals v;
    table.read(r, v, base);
    echo.flush();
    return {v, chk.str()};
}

TEST(KeyTable, ReadsFillsWritesAndReadsBackUnderBothSpellings) {
    Store g;
    const auto [v, echoed] = readAll(
        g, "Block 1\r\n-------\r\nN = 7\r\nX = 2.5\r\nBlock 2\r\n---\r\nY = -1E-3\r\n");
    EXPECT_EQ(v.n, 7);
    EXPECT_EQ(v.x, 2.5);
    EXPECT_EQ(v.y, -0.001);
    EXPECT_EQ(echoed, "Block 1\r\n-------\r\nN = 7\r\nX = 2.5\r\nBlock 2\r\n---\r\nY = -0.001\r\n");

    Texts t;
    kTable.fill(v, t);
    EXPECT_EQ(t.n, "7");
    EXPECT_EQ(t.x, "2.5");
    t.x = "3.25";  // an edited field is what is written
    std::ostringstream out;
    TextWriter w(out);
    kTable.write(g, w, t);
    w.flush();
    EXPECT_EQ(out.str(), "Block 1\r\n-------\r\nNN = 7\r\nX = 3.25\r\nBlock 2\r\n---\r\nY = -0.001\r\n");

    const auto [back, echoedBack] = readAll(g, out.str());
    EXPECT_EQ(back.n, 7);
    EXPECT_EQ(back.x, 3.25);
    EXPECT_EQ(back.y, -0.001);
    EXPECT_EQ(echoedBack, "Block 1\r\n-------\r\nN = 7\r\nX = 3.25\r\nBlock 2\r\n---\r\nY = -0.001\r\n");
}

TEST(KeyTable, ParseAndCheckRefuseTheFirstBadTextWithItsKey) {
    struct Case {
        Texts in;
        const char* refusal;  // "" when every text converts
    };
    const Case cases[] = {
        {{"12", "1.5", "0"}, ""},
        {{"7x", "1.5", "0"}, "Недопустимое значение  NN = 7x"},
        {{"40000", "1", "0"}, "Недопустимое значение  NN = 40000"},  // beyond a 16-bit integer
        {{"1", "abc", "0"}, "Недопустимое значение  X = abc"},
        {{"bad", "bad", "bad"}, "Недопустимое значение  NN = bad"},  // file order
        {{"1", "2", "z"}, "Недопустимое значение  YY = z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in.n + " " + c.in.x + " " + c.in.y);
        Vals v;
        std::string why;
        try {
            kTable.parse(c.in, v);
        } catch (const VeltaError& e) {
            why = e.what();
        }
        EXPECT_EQ(why, c.refusal);
        // The window's check refuses the same text with the same message.
        std::string checked;
        try {
            kTable.check(c.in);
        } catch (const VeltaError& e) {
            checked = e.what();
        }
        EXPECT_EQ(checked, c.refusal);
        if (why.empty()) {
            EXPECT_EQ(v.n, 12);
            EXPECT_EQ(v.x, 1.5);
        }
    }
}

// A table of blocks 0 and 1 read and written as blocks base and base + 1.
TEST(KeyTable, HeadersNumberedFromBase) {
    constexpr K kShared[] = {K{0}, K{"N", &Vals::n, &Texts::n}, K{1}, K{"X", &Vals::x, &Texts::x}};
    const std::string text = "Head a\r\n--\r\nN = 4\r\nHead b\r\n--\r\nX = 0.5\r\n";
    for (const int base : {1, 5}) {
        SCOPED_TRACE(base);
        Store g;
        const auto [v, echoed] = readAll(g, text, KeyTable{kShared}, base);
        EXPECT_EQ(echoed, text);
        EXPECT_EQ(g.HEAD[static_cast<std::size_t>(base)][0], "Head a");
        EXPECT_EQ(g.HEAD[static_cast<std::size_t>(base + 1)][0], "Head b");
        EXPECT_EQ(g.HEAD[0][0], "");
        Texts t;
        KeyTable{kShared}.fill(v, t);
        std::ostringstream out;
        TextWriter w(out);
        KeyTable{kShared}.write(g, w, t, base);
        w.flush();
        EXPECT_EQ(out.str(), text);
    }
}

}  // namespace
