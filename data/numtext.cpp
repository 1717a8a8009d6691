// Texts of numbers. Digits come from std::to_chars / std::from_chars, which never look at
// the C locale, so the decimal point is a period whatever LC_NUMERIC says.
#include "data/numtext.h"

#include "data/error.h"
#include "data/store.h"
#include "data/textfile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace velta {

namespace {

// A parsed format mask: [blanks] int-digits ['.' zeros hashes] ['E' sign exp-digits].
struct Mask {
    int blanks = 0;        // leading blanks, copied in front
    int intZeros = 0;      // '0' in the integer part: minimum integer digits
    int fixedDecs = 0;     // '0' after the point: decimals always shown
    int optDecs = 0;       // '#' after the point: decimals shown when not zero
    bool hasExp = false;   // scientific form
    bool expPlus = false;  // "E+": the exponent sign is always shown; "E-": only when negative
    int expZeros = 0;      // '0' in the exponent: minimum exponent digits
};

constexpr int kMaxDecimals = 40;

[[noreturn]] void badMask(const std::string& mask) {
    throw VeltaError("Недопустимая маска формата: \"" + mask + "\"");
}

Mask parseMask(const std::string& mask) {
    Mask m;
    std::size_t i = 0;
    const std::size_t n = mask.size();
    while (i < n && mask[i] == ' ') {
        ++m.blanks;
        ++i;
    }
    int intDigits = 0;
    for (; i < n && (mask[i] == '0' || mask[i] == '#'); ++i) {
        ++intDigits;
        if (mask[i] == '0') ++m.intZeros;
    }
    if (i < n && mask[i] == '.') {
        ++i;
        for (; i < n && mask[i] == '0'; ++i) ++m.fixedDecs;
        for (; i < n && mask[i] == '#'; ++i) ++m.optDecs;
    }
    if (i < n && (mask[i] == 'E' || mask[i] == 'e')) {
        ++i;
        if (i >= n || (mask[i] != '+' && mask[i] != '-')) badMask(mask);
        m.hasExp = true;
        m.expPlus = mask[i] == '+';
        ++i;
        int expDigits = 0;
        for (; i < n && (mask[i] == '0' || mask[i] == '#'); ++i) {
            ++expDigits;
            if (mask[i] == '0') ++m.expZeros;
        }
        if (expDigits == 0) badMask(mask);
    }
    if (i != n || intDigits == 0 || m.fixedDecs + m.optDecs > kMaxDecimals) badMask(mask);
    return m;
}

// Text of a value that is not a finite number; the files never hold one, but a text
// must never crash the writer.
std::string nonFinite(double v) {
    if (std::isnan(v)) return "NaN";
    return v < 0 ? "-Inf" : "Inf";
}

bool allZeroDigits(const char* b, const char* e) {
    for (; b != e; ++b)
        if (*b >= '1' && *b <= '9') return false;
    return true;
}

// Drops optional decimals that are zero, and the point when no decimal remains.
// [b, e) holds "d.ddd" (or only "d" when no decimals were asked for).
const char* trimOptional(const char* b, const char* e, int optDecs) {
    for (int k = 0; k < optDecs && e > b && e[-1] == '0'; ++k) --e;
    if (e > b && e[-1] == '.') --e;
    return e;
}

// Half away from zero: used by the integer masks.
double roundHalfAway(double v) { return std::round(v); }

// Nearest with ties to even, independent of the floating-point rounding mode.
double roundHalfEven(double v) {
    const double t = std::trunc(v);
    const double f = v - t;  // exact: t and v share the sign and |t| >= |v|/2 or t = 0
    if (std::fabs(f) != 0.5) return std::round(v);
    return std::fmod(t, 2.0) == 0.0 ? t : t + std::copysign(1.0, v);
}

void appendBlanks(std::string& out, int n) { out.append(static_cast<std::size_t>(n), ' '); }

// Scientific form: one digit, the point and the decimals, "E", the exponent.
std::string formatExp(double v, const Mask& m) {
    const int decs = m.fixedDecs + m.optDecs;
    std::array<char, 64> buf;
    // to_chars rounds the exact binary value to nearest and renumbers a carry
    // (9.999996 -> 1.00000e+01); it writes "[-]d[.ddd]e±XX".
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::scientific, decs);
    const char* p = buf.data();
    const char* end = r.ptr;
    const char* ePos = end;
    while (ePos > p && ePos[-1] != 'e') --ePos;
    const char* mantEnd = ePos - 1;  // at 'e'
    bool neg = false;
    if (*p == '-') {
        neg = true;
        ++p;
    }
    if (allZeroDigits(p, mantEnd)) neg = false;  // -0 and zero print without a sign
    mantEnd = trimOptional(p, mantEnd, m.optDecs);

    int exp = 0;
    const char* q = ePos;
    const bool expNeg = *q == '-';
    ++q;  // sign
    for (; q < end; ++q) exp = exp * 10 + (*q - '0');
    std::array<char, 8> ed;
    int nd = 0;
    do {
        ed[static_cast<std::size_t>(nd++)] = static_cast<char>('0' + exp % 10);
        exp /= 10;
    } while (exp > 0);

    std::string out;
    out.reserve(static_cast<std::size_t>(m.blanks + 1 + (mantEnd - p) + 2 + std::max(nd, m.expZeros)));
    appendBlanks(out, m.blanks);
    if (neg) out.push_back('-');
    out.append(p, mantEnd);
    out.push_back('E');
    if (expNeg) out.push_back('-');
    else if (m.expPlus) out.push_back('+');
    for (int k = nd; k < m.expZeros; ++k) out.push_back('0');
    while (nd > 0) out.push_back(ed[static_cast<std::size_t>(--nd)]);
    return out;
}

// Fixed form: integer part padded with zeros to the mask's minimum (at least one digit),
// then the decimals.
std::string formatFixed(double v, const Mask& m) {
    const int decs = m.fixedDecs + m.optDecs;
    // Integer masks round half away from zero; decimal masks round the exact binary
    // value to nearest (an exact tie goes to even, as printf does).
    if (decs == 0) v = roundHalfAway(v);
    std::array<char, 400> buf;  // 309 integer digits + point + up to 40 decimals
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, decs);
    const char* p = buf.data();
    const char* end = r.ptr;
    bool neg = false;
    if (*p == '-') {
        neg = true;
        ++p;
    }
    if (allZeroDigits(p, end)) neg = false;
    end = trimOptional(p, end, m.optDecs);
    const char* point = p;
    while (point < end && *point != '.') ++point;
    const int intDigits = static_cast<int>(point - p);
    const int minInt = std::max(1, m.intZeros);
    // A zero integer part under '#' masks still prints one "0" (0 under "####" is "0",
    // and 0.5 under "0.####" is "0.5"): a field is never left empty.
    std::string out;
    out.reserve(static_cast<std::size_t>(m.blanks + 1 + std::max(intDigits, minInt) + (end - point)));
    appendBlanks(out, m.blanks);
    if (neg) out.push_back('-');
    for (int k = intDigits; k < minInt; ++k) out.push_back('0');
    out.append(p, end);
    return out;
}

// Leading and trailing blanks and tabs removed.
std::string_view trimmed(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    return std::string_view(text).substr(b, e - b);
}

[[noreturn]] void notANumber(const std::string& text) {
    throw VeltaError("Не удаётся преобразовать в число: \"" + quoteInput(text) + "\"");
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string Format(double v, const std::string& mask) {
    const Mask m = parseMask(mask);
    if (!std::isfinite(v)) {
        std::string out(static_cast<std::size_t>(m.blanks), ' ');
        return out + nonFinite(v);
    }
    return m.hasExp ? formatExp(v, m) : formatFixed(v, m);
}

std::string CStr(double v) {
    if (!std::isfinite(v)) return nonFinite(v);
    if (v == 0.0) return "0";  // also -0
    // 15 significant digits, correctly rounded: "[-]d.dddddddddddddde±XX".
    std::array<char, 40> buf;
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::scientific, 14);
    const char* p = buf.data();
    const bool neg = *p == '-';
    if (neg) ++p;
    const char* ePos = r.ptr;
    while (ePos[-1] != 'e') --ePos;
    int exp = 0;
    for (const char* q = ePos + 1; q < r.ptr; ++q) exp = exp * 10 + (*q - '0');
    if (*ePos == '-') exp = -exp;

    // Significant digits without the point and without trailing zeros.
    std::array<char, 16> dig;
    int nd = 0;
    for (const char* q = p; q < ePos - 1; ++q)
        if (*q != '.') dig[static_cast<std::size_t>(nd++)] = *q;
    while (nd > 1 && dig[static_cast<std::size_t>(nd - 1)] == '0') --nd;

    std::string out;
    if (neg) out.push_back('-');
    if (exp >= -4 && exp < 15) {
        // Plain form, e.g. 0.0001, 0.5, 10, 123.25, 999999999999999.
        if (exp < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exp - 1), '0');
            out.append(dig.data(), static_cast<std::size_t>(nd));
        } else {
            for (int k = 0; k <= exp; ++k) out.push_back(k < nd ? dig[static_cast<std::size_t>(k)] : '0');
            if (nd > exp + 1) {
                out.push_back('.');
                out.append(dig.data() + exp + 1, static_cast<std::size_t>(nd - exp - 1));
            }
        }
    } else {
        // Exponent form, e.g. 1E-05, -2.5E-07, 1.5E+20.
        out.push_back(dig[0]);
        if (nd > 1) {
            out.push_back('.');
            out.append(dig.data() + 1, static_cast<std::size_t>(nd - 1));
        }
        out.push_back('E');
        out.push_back(exp < 0 ? '-' : '+');
        const int a = exp < 0 ? -exp : exp;
        if (a < 10) out.push_back('0');
        out += std::to_string(a);
    }
    return out;
}

std::string CStr(long long v) {
    std::array<char, 24> buf;
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    return std::string(buf.data(), r.ptr);
}

std::int32_t CLng(double v) {
    if (!std::isfinite(v)) throw VeltaError("Переполнение: значение не является конечным числом");
    const double r = roundHalfEven(v);
    if (r < -2147483648.0 || r > 2147483647.0)
        throw VeltaError("Переполнение: значение " + CStr(v) + " вне диапазона длинных целых");
    return static_cast<std::int32_t>(r);
}

double Int(double v) { return std::floor(v); }

std::string Fmt_Exp(double v, int n) {
    std::string mask = "0.";
    mask.append(static_cast<std::size_t>(std::max(0, n)), '0');
    mask += "E+00";
    std::string text = Format(v, mask);
    return v >= 0 ? " " + text : text;
}

std::string fmt5(double v) { return Format(v, "0.00000E+00"); }

double textToReal(const std::string& text) {
    const std::string_view s = trimmed(text);
    // Accepted: [sign] digits [. digits] [E|e|D|d [sign] digits], at least one mantissa
    // digit. The copy drops a leading '+' and turns a 'D' exponent into 'e' for from_chars.
    if (s.empty()) notANumber(text);
    std::string buf(s.size(), '\0');
    std::size_t i = 0, n = 0;
    if (s[i] == '+' || s[i] == '-') {
        if (s[i] == '-') buf[n++] = '-';
        ++i;
    }
    int mantDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++mantDigits) buf[n++] = s[i];
    if (i < s.size() && s[i] == '.') {
        buf[n++] = '.';
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++mantDigits) buf[n++] = s[i];
    }
    if (mantDigits == 0) notANumber(text);
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        buf[n++] = 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) buf[n++] = s[i++];
        int expDigits = 0;
        for (; i < s.size() && isDigit(s[i]); ++i, ++expDigits) buf[n++] = s[i];
        if (expDigits == 0) notANumber(text);
    }
    if (i != s.size()) notANumber(text);

    double v = 0.0;
    const auto r = std::from_chars(buf.data(), buf.data() + n, v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large is an overflow; too small is zero with its sign. The decimal order of
        // the first nonzero digit tells which: order = exponent + its place from the point.
        long long order = 0;
        std::size_t k = buf[0] == '-' ? 1 : 0;
        long long place = 0;
        bool seen = false, afterPoint = false;
        for (; k < n && buf[k] != 'e'; ++k) {
            if (buf[k] == '.') {
                afterPoint = true;
                continue;
            }
            if (!seen && buf[k] != '0') {
                seen = true;
                place = afterPoint ? place - 1 : 0;
            } else if (!seen && afterPoint) --place;
            else if (seen && !afterPoint) ++place;
        }
        if (k < n) {
            const bool expNeg = buf[k + 1] == '-';
            const char* d = buf.data() + k + (buf[k + 1] == '+' || expNeg ? 2 : 1);
            if (std::from_chars(d, buf.data() + n, order).ec != std::errc() || order > 100000)
                order = 100000;  // an exponent this long is out of range either way
            if (expNeg) order = -order;
        }
        if (order + place > 0)
            throw VeltaError("Переполнение: \"" + quoteInput(text) + "\" вне диапазона вещественных чисел");
        return buf[0] == '-' ? -0.0 : 0.0;
    }
    if (r.ec != std::errc() || r.ptr != buf.data() + n) notANumber(text);
    return v;
}

std::int16_t textToI16(const std::string& text) { return toI16(roundHalfEven(textToReal(text))); }

}  // namespace velta
