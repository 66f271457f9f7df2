#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace karte {

// The general number-to-text form used by every label and the summit-list
// writer: a blank before a value that is not negative, "-" before a negative
// one, "." as decimal point whatever the locale, no zero before the point,
// no trailing zeros, at most 7 (single) or 15 (double) significant digits,
// exponent form "d.dddE+XX" where the fixed form would need more digits.
QString generalForm(float value);
QString generalForm(double value);
QString generalForm(int value); // whole numbers: 16-bit counts and errors

// Whole number as plain digits with a leading "-" for negatives, no blank.
QString plainForm(int value);

// Text to number ("value of"): blanks, tabs and line feeds are ignored
// wherever they stand, then the longest prefix that forms a decimal number
// (sign, digits, ".", digits, exponent) is taken. No such prefix gives 0; so
// does a number beyond the range of a double.
double valueOf(QStringView text);

// Text to 16-bit integer: the text, blanks around it aside, must be one
// number; it is rounded half to even. Text that holds no number, or a value
// outside -32768..32767, gives nullopt and the caller decides.
std::optional<int16_t> toInt16(QStringView text);

// Rounding of computed positions: nearest integer, halves to the even
// neighbour. NaN gives 0; values beyond the 32-bit range are clamped to it.
int32_t roundHalfEven(double value);

// The same, clamped to the 16-bit range (scroll bar values, radii).
int16_t roundHalfEven16(double value);

} // namespace karte
