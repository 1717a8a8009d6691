#include "data/numtext.h"

#include "data/error.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>

using namespace velta;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Expects a VeltaError whose message contains `part`.
template <typename F>
void expectError(F f, const std::string& part) {
    try {
        f();
        ADD_FAILURE() << "no error, expected one containing: " << part;
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
}

}  // namespace

TEST(NumTextFormat, ExponentMasks) {
    EXPECT_EQ(Format(7, "0.00000E+00"), "7.00000E+00");
    EXPECT_EQ(Format(0.5, "0.00000E+00"), "5.00000E-01");
    EXPECT_EQ(Format(123456, "0.00000E+00"), "1.23456E+05");
    EXPECT_EQ(Format(1234567, "0.00000E+00"), "1.23457E+06");
    EXPECT_EQ(Format(-0.5, "0.00000E+00"), "-5.00000E-01");
    EXPECT_EQ(Format(-123.456, "0.00000E+00"), "-1.23456E+02");
    EXPECT_EQ(Format(1e-100, "0.00000E+00"), "1.00000E-100");
    EXPECT_EQ(Format(2.5e200, "0.00000E+00"), "2.50000E+200");
    EXPECT_EQ(Format(3.14159265358979, "0.0000E+00"), "3.1416E+00");
    EXPECT_EQ(Format(3.14159265358979, "0.000000E+00"), "3.141593E+00");
    EXPECT_EQ(Format(3.14159265358979, "0.00000000E+00"), "3.14159265E+00");
    EXPECT_EQ(Format(-1, "  0.00000000E+00"), "  -1.00000000E+00");
    EXPECT_EQ(Format(0.001, "  0.00000000E+00"), "  1.00000000E-03");
}

TEST(NumTextFormat, ExponentRoundingCarriesIntoNextExponent) {
    EXPECT_EQ(Format(9.999996, "0.00000E+00"), "1.00000E+01");
    EXPECT_EQ(Format(9.999994, "0.00000E+00"), "9.99999E+00");
    EXPECT_EQ(Format(-9.999996, "0.00000E+00"), "-1.00000E+01");
    EXPECT_EQ(Format(0.99999996, "0.00000E+00"), "1.00000E+00");
    EXPECT_EQ(Format(9.9999999e-10, "0.00000E+00"), "1.00000E-09");
    EXPECT_EQ(Format(99.96, "0.00E+##"), "1.00E+2");
    EXPECT_EQ(Format(9.99995e99, "0.0000E+00"), "1.0000E+100");
}

TEST(NumTextFormat, ZeroAndNegativeZeroHaveNoSign) {
    EXPECT_EQ(Format(0.0, "0.00000E+00"), "0.00000E+00");
    EXPECT_EQ(Format(-0.0, "0.00000E+00"), "0.00000E+00");
    EXPECT_EQ(Format(-0.0, "0.00E+##"), "0.00E+0");
    EXPECT_EQ(Format(-0.0, "00000"), "00000");
    EXPECT_EQ(Format(-0.3, "####"), "0");
    EXPECT_EQ(Format(-1e-13, "##0.000000000000"), "0.000000000000");
    EXPECT_EQ(Format(-0.00004, "0.####"), "0");
}

TEST(NumTextFormat, ShortExponentTickTexts) {
    const double ticks[] = {0, 25, 50, 75, 100};
    const char* texts[] = {"0.00E+0", "2.50E+1", "5.00E+1", "7.50E+1", "1.00E+2"};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(Format(ticks[k], "0.00E+##"), texts[k]);
    EXPECT_EQ(Format(0.025, "0.00E+##"), "2.50E-2");
    EXPECT_EQ(Format(-1234, "0.00E+##"), "-1.23E+3");
    EXPECT_EQ(Format(5e-12, "0.00E+##"), "5.00E-12");
}

TEST(NumTextFormat, IntegerMasks) {
    EXPECT_EQ(Format(7, "00000"), "00007");
    EXPECT_EQ(Format(12, "####"), "12");
    EXPECT_EQ(Format(123, "0000"), "0123");
    EXPECT_EQ(Format(5, "000"), "005");
    EXPECT_EQ(Format(3, "00"), "03");
    EXPECT_EQ(Format(42, "000000"), "000042");
    EXPECT_EQ(Format(123456, "00"), "123456");  // never cut
    EXPECT_EQ(Format(12, " 0000"), " 0012");
    EXPECT_EQ(Format(7, "###"), "7");
    EXPECT_EQ(Format(10, "##"), "10");
    EXPECT_EQ(Format(9, "#"), "9");
    EXPECT_EQ(Format(0, "0"), "0");
    EXPECT_EQ(Format(-7, "000"), "-007");
    EXPECT_EQ(Format(-12, "####"), "-12");
    // A zero under '#' masks still prints one digit.
    EXPECT_EQ(Format(0, "####"), "0");
    EXPECT_EQ(Format(0, "#"), "0");
}

TEST(NumTextFormat, IntegerMasksRoundHalfAwayFromZero) {
    EXPECT_EQ(Format(2.5, "0"), "3");
    EXPECT_EQ(Format(3.5, "0"), "4");
    EXPECT_EQ(Format(-2.5, "0"), "-3");
    EXPECT_EQ(Format(2.4999, "00"), "02");
    EXPECT_EQ(Format(1999.6, "####"), "2000");
    EXPECT_EQ(Format(0.5, "####"), "1");
}

TEST(NumTextFormat, FixedDecimalMasks) {
    EXPECT_EQ(Format(1.0 / 3.0, "##0.000000000000"), "0.333333333333");
    EXPECT_EQ(Format(-2.5, "##0.000000000000"), "-2.500000000000");
    EXPECT_EQ(Format(123.456, "##0.000000000000"), "123.456000000000");
    EXPECT_EQ(Format(12345.0, "##0.000000000000"), "12345.000000000000");
    EXPECT_EQ(Format(0.9999999999996, "##0.000000000000"), "1.000000000000");

    EXPECT_EQ(Format(2, "0.####"), "2");
    EXPECT_EQ(Format(0.5, "0.####"), "0.5");
    EXPECT_EQ(Format(0.12, "0.####"), "0.12");
    EXPECT_EQ(Format(3.14159265, "0.####"), "3.1416");
    EXPECT_EQ(Format(-1.5708, "0.####"), "-1.5708");
    EXPECT_EQ(Format(1.99999, "0.####"), "2");
    EXPECT_EQ(Format(0.10004, "0.####"), "0.1");
    EXPECT_EQ(Format(0.00004, "0.####"), "0");
}

TEST(NumTextFormat, NonFiniteAndBadMasks) {
    EXPECT_EQ(Format(kNaN, "0.00000E+00"), "NaN");
    EXPECT_EQ(Format(kInf, "####"), "Inf");
    EXPECT_EQ(Format(-kInf, "  0.00000000E+00"), "  -Inf");
    expectError([] { Format(1, "0,00"); }, "0,00");
    expectError([] { Format(1, ""); }, "маска");
    expectError([] { Format(1, "0.00E"); }, "маска");
    expectError([] { Format(1, "0.00E+"); }, "маска");
}

TEST(NumTextFmtExp, BlankInPlaceOfSign) {
    EXPECT_EQ(Fmt_Exp(0.5, 4), " 5.0000E-01");
    EXPECT_EQ(Fmt_Exp(-0.5, 4), "-5.0000E-01");
    EXPECT_EQ(Fmt_Exp(0.5, 4).size(), Fmt_Exp(-0.5, 4).size());
    EXPECT_EQ(Fmt_Exp(0, 5), " 0.00000E+00");
    EXPECT_EQ(Fmt_Exp(-0.0, 5), " 0.00000E+00");
    EXPECT_EQ(Fmt_Exp(12345.678, 2), " 1.23E+04");
    EXPECT_EQ(Fmt_Exp(-9.999996e-3, 5), "-1.00000E-02");
}

TEST(NumTextCStr, IntegersAndSimpleReals) {
    EXPECT_EQ(CStr(0LL), "0");
    EXPECT_EQ(CStr(-5), "-5");
    EXPECT_EQ(CStr(static_cast<std::int16_t>(-32768)), "-32768");
    EXPECT_EQ(CStr(123456789012LL), "123456789012");
    EXPECT_EQ(CStr(0.0), "0");
    EXPECT_EQ(CStr(-0.0), "0");
    EXPECT_EQ(CStr(0.1), "0.1");
    EXPECT_EQ(CStr(0.5), "0.5");
    EXPECT_EQ(CStr(-0.25), "-0.25");
    EXPECT_EQ(CStr(10.0), "10");
    EXPECT_EQ(CStr(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(CStr(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(CStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(CStr(123.25), "123.25");
    EXPECT_EQ(CStr(-1000.5), "-1000.5");
    EXPECT_EQ(CStr(100000.0), "100000");
    EXPECT_EQ(CStr(kNaN), "NaN");
    EXPECT_EQ(CStr(kInf), "Inf");
    EXPECT_EQ(CStr(-kInf), "-Inf");
}

TEST(NumTextCStr, ExponentFormThresholds) {
    EXPECT_EQ(CStr(9.99999e-5), "9.99999E-05");
    EXPECT_EQ(CStr(1e-4), "0.0001");
    EXPECT_EQ(CStr(-1.5e-4), "-0.00015");
    EXPECT_EQ(CStr(999999999999999.0), "999999999999999");
    EXPECT_EQ(CStr(1e15), "1E+15");
    EXPECT_EQ(CStr(-1e15), "-1E+15");
    EXPECT_EQ(CStr(1e-5), "1E-05");
    EXPECT_EQ(CStr(1.5e20), "1.5E+20");
    EXPECT_EQ(CStr(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(CStr(1e100), "1E+100");
    EXPECT_EQ(CStr(1.25e-300), "1.25E-300");
    // 16 nines round to 1E+15 at 15 digits, so the exponent form applies.
    EXPECT_EQ(CStr(9999999999999999.0), "1E+16");
    EXPECT_EQ(CStr(999999999999999.9), "1E+15");
}

TEST(NumTextCStr, FifteenDigitValuesRoundTrip) {
    std::mt19937_64 gen(12345);
    std::uniform_int_distribution<long long> mant(100000000000000LL, 999999999999999LL);
    std::uniform_int_distribution<int> expo(-40, 40);
    for (int k = 0; k < 2000; ++k) {
        const std::string text = std::to_string(mant(gen)) + "e" + std::to_string(expo(gen));
        double x = 0;
        std::from_chars(text.data(), text.data() + text.size(), x);
        const std::string s = CStr(x);
        ASSERT_EQ(textToReal(s), x) << text << " -> " << s;
        // No more than 15 significant digits, and no trailing zero in a fraction.
        int digits = 0;
        bool started = false;
        for (char c : s.substr(0, s.find('E'))) {
            if (c >= '1' && c <= '9') started = true;
            if (started && c >= '0' && c <= '9') ++digits;
        }
        EXPECT_LE(digits, 15) << s;
        const std::string mantissa = s.substr(0, s.find('E'));
        if (mantissa.find('.') != std::string::npos) {
            EXPECT_NE(mantissa.back(), '0') << s;
        }
    }
}

TEST(NumTextCLng, NearestTiesToEven) {
    EXPECT_EQ(CLng(0.5), 0);
    EXPECT_EQ(CLng(1.5), 2);
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CLng(-0.5), 0);
    EXPECT_EQ(CLng(-1.5), -2);
    EXPECT_EQ(CLng(0.49999999999999994), 0);
    EXPECT_EQ(CLng(3.7), 4);
    EXPECT_EQ(CLng(-3.7), -4);
    EXPECT_EQ(CLng(2147483647.4), 2147483647);
    EXPECT_EQ(CLng(-2147483648.5), -2147483648);
}

TEST(NumTextCLng, OverflowIsAnError) {
    expectError([] { CLng(2147483647.5); }, "Переполнение");
    expectError([] { CLng(3e9); }, "Переполнение");
    expectError([] { CLng(-2147483649.0); }, "Переполнение");
    expectError([] { CLng(kNaN); }, "Переполнение");
    expectError([] { CLng(kInf); }, "Переполнение");
}

TEST(NumTextInt, RoundsDown) {
    EXPECT_EQ(Int(2.7), 2.0);
    EXPECT_EQ(Int(-2.3), -3.0);
    EXPECT_EQ(Int(-2.0), -2.0);
    EXPECT_EQ(Int(10.0 / 5.0), 2.0);
}

TEST(NumTextTextToReal, Accepted) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"1", 1},        {" 2.5 ", 2.5}, {"\t-3\t", -3},   {"+4", 4},
        {".5", 0.5},     {"5.", 5},      {"-.25e1", -2.5}, {"1e3", 1000},
        {"1E-3", 0.001}, {"1D2", 100},   {"1d+2", 100},    {"0001.50", 1.5},
        {"0.1", 0.1},    {"-0", 0},      {"1e-400", 0},    {"123456789012345", 123456789012345.0},
    };
    for (const Case& c : cases) EXPECT_EQ(textToReal(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::signbit(textToReal("-1e-400")));
    EXPECT_EQ(textToReal("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(textToReal("1" + std::string(100, '0')), 1e100);
}

TEST(NumTextTextToReal, Rejected) {
    const char* bad[] = {"",  "   ", "=",   "1,5", "abc",  "1.2.3", "1e",  "e5",   "+",    "-",
                         ".", "1 2", "inf", "nan", "0x10", "1e+",   "--1", "1.5x", "1e5.5"};
    for (const char* t : bad)
        expectError([t] { textToReal(t); }, std::string("Не удаётся преобразовать в число: \"") + t + "\"");
    expectError([] { textToReal("1e400"); }, "Переполнение");
    expectError([] { textToReal("-1" + std::string(400, '0')); }, "Переполнение");
}

TEST(NumTextTextToI16, NearestTiesToEvenAndRange) {
    EXPECT_EQ(textToI16("2.5"), 2);
    EXPECT_EQ(textToI16("3.5"), 4);
    EXPECT_EQ(textToI16("-2.5"), -2);
    EXPECT_EQ(textToI16(" 7 "), 7);
    EXPECT_EQ(textToI16("32767"), 32767);
    EXPECT_EQ(textToI16("32767.4"), 32767);
    EXPECT_EQ(textToI16("-32768"), -32768);
    EXPECT_EQ(textToI16("-32768.5"), -32768);
    expectError([] { textToI16("32767.5"); }, "Переполнение");
    expectError([] { textToI16("40000"); }, "Переполнение");
    expectError([] { textToI16("-32769"); }, "Переполнение");
    expectError([] { textToI16("x"); }, "Не удаётся преобразовать в число");
}

TEST(NumTextLocale, PeriodUnderARussianLocale) {
    const std::string old = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8") && !std::setlocale(LC_ALL, "ru_RU.utf8"))
        GTEST_SKIP() << "locale ru_RU.UTF-8 is not installed";
    const bool comma = std::string(std::localeconv()->decimal_point) == ",";
    const std::string exp = Format(1.5, "0.00000E+00");
    const std::string fixed = Format(0.25, "0.####");
    const std::string wide = Format(1.0 / 3.0, "##0.000000000000");
    const std::string free = CStr(0.5);
    const std::string fmt = Fmt_Exp(-0.5, 4);
    const double parsed = textToReal("1.5");
    bool commaRejected = false;
    try {
        textToReal("1,5");
    } catch (const VeltaError&) {
        commaRejected = true;
    }
    std::setlocale(LC_ALL, old.c_str());

    EXPECT_TRUE(comma) << "the locale should use a decimal comma";
    EXPECT_EQ(exp, "1.50000E+00");
    EXPECT_EQ(fixed, "0.25");
    EXPECT_EQ(wide, "0.333333333333");
    EXPECT_EQ(free, "0.5");
    EXPECT_EQ(fmt, "-5.0000E-01");
    EXPECT_EQ(parsed, 1.5);
    EXPECT_TRUE(commaRejected);
}
