// Texts of numbers, independent of the locale: the period is always the decimal point.
#pragma once
#include <cstdint>
#include <string>

namespace velta {

// Text of v under a format mask: "0" a digit always shown, "#" a digit shown only when
// significant, "." the decimal point, "E+00" a signed exponent of at least two digits,
// "E+##" a signed exponent without leading zeros; leading blanks of the mask are kept.
// Masks used: "0.00000E+00", "0.0000E+00", "0.000000E+00", "0.00000000E+00",
// "  0.00000000E+00", "0.00E+##", "00000", "0000", "000", "00", " 0000", "####", "###",
// "##", "#", "0", "##0.000000000000", "0.####".
std::string Format(double v, const std::string& mask);

// Free-format text: integers in plain decimal; reals in the shortest form that shows up
// to 15 significant digits, leading zero before the point (0.5), exponent form
// (1E-05, 1.5E+20) for magnitudes below 1E-4 or from 1E15 on.
std::string CStr(double v);
std::string CStr(long long v);
inline std::string CStr(int v) { return CStr(static_cast<long long>(v)); }
inline std::string CStr(std::int16_t v) { return CStr(static_cast<long long>(v)); }

// Nearest 32-bit integer, ties to even; an overflow is an error.
std::int32_t CLng(double v);
// Rounds down (floor).
double Int(double v);

// v under the mask "0." + n zeros + "E+00", with one blank in front when v >= 0.
std::string Fmt_Exp(double v, int n);
// v under the mask "0.00000E+00", the usual text of a real in the results tables.
std::string fmt5(double v);

// Standard text-to-number conversion of the data files: blanks around the text are
// ignored; an empty text or one that is not a number is an error naming the text.
double textToReal(const std::string& text);
std::int16_t textToI16(const std::string& text);  // via the real, nearest with ties to even

}  // namespace velta
