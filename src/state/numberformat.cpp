#include "state/numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace karte {

namespace {

// Rounds |value| to `precision` significant digits (the exact binary value,
// halves to even, as to_chars does) and lays the digits out.
QString formatSignificant(double value, int precision)
{
    if (std::isnan(value))
        return QStringLiteral(" NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral(" Inf");
    if (value == 0)
        return QStringLiteral(" 0"); // negative zero included

    // Stack buffers only: the summit-list writer formats four numbers a line.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, precision - 1);
    const char* const end = res.ptr;
    const char* ePos = std::find(static_cast<const char*>(buf), end, 'e');

    char digits[32];
    int n = 0;
    for (const char* c = buf; c != ePos; ++c)
        if (*c != '.')
            digits[n++] = *c;
    int exponent = 0;
    const char* expText = ePos + 1;
    if (expText != end && *expText == '+')
        ++expText;
    std::from_chars(expText, end, exponent);
    while (n > 1 && digits[n - 1] == '0')
        --n;

    char out[64];
    int o = 0;
    out[o++] = value < 0 ? '-' : ' ';
    const int afterPoint = exponent >= 0 ? std::max(0, n - 1 - exponent) : n - exponent - 1;
    if (exponent < precision && afterPoint <= precision) {
        if (exponent >= 0) {
            for (int i = 0; i <= exponent; ++i)
                out[o++] = i < n ? digits[i] : '0';
            if (n > exponent + 1) {
                out[o++] = '.';
                for (int i = exponent + 1; i < n; ++i)
                    out[o++] = digits[i];
            }
        } else {
            out[o++] = '.';
            for (int i = 0; i < -exponent - 1; ++i)
                out[o++] = '0';
            for (int i = 0; i < n; ++i)
                out[o++] = digits[i];
        }
    } else {
        out[o++] = digits[0];
        if (n > 1) {
            out[o++] = '.';
            for (int i = 1; i < n; ++i)
                out[o++] = digits[i];
        }
        out[o++] = 'E';
        out[o++] = exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            out[o++] = '0';
        o = static_cast<int>(std::to_chars(out + o, out + sizeof out, magnitude).ptr - out);
    }
    return QString::fromLatin1(out, o);
}

bool isIgnoredBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Collects the longest number prefix of `text`, blanks, tabs and line feeds
// skipped, into `number`. Returns the number of characters of `text` it
// looked at up to the end of that prefix, and whether there was a digit.
struct NumberPrefix {
    std::string number;
    bool hasDigit = false;
    bool consumedAll = false; // nothing but blanks follows the number
};

NumberPrefix scanNumber(QStringView text)
{
    NumberPrefix p;
    enum class Part { Sign, Integer, Fraction, ExpSign, ExpDigits } part = Part::Sign;
    size_t beforeExponent = 0; // length of `number` before an "E" that may fail
    bool expHasDigit = false;
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        const QChar qc = text[i];
        if (isIgnoredBlank(qc))
            continue;
        const char16_t c = qc.unicode();
        if (part == Part::Sign && (c == u'+' || c == u'-')) {
            if (c == u'-')
                p.number.push_back('-');
            part = Part::Integer;
        } else if ((part == Part::Sign || part == Part::Integer || part == Part::Fraction) && isDigit(c)) {
            p.number.push_back(static_cast<char>(c));
            p.hasDigit = true;
            if (part == Part::Sign)
                part = Part::Integer;
        } else if ((part == Part::Sign || part == Part::Integer) && c == u'.') {
            p.number.push_back('.');
            part = Part::Fraction;
        } else if ((part == Part::Integer || part == Part::Fraction) && p.hasDigit && (c == u'E' || c == u'e')) {
            beforeExponent = p.number.size();
            p.number.push_back('e');
            part = Part::ExpSign;
        } else if (part == Part::ExpSign && (c == u'+' || c == u'-')) {
            p.number.push_back(static_cast<char>(c));
            part = Part::ExpDigits;
        } else if ((part == Part::ExpSign || part == Part::ExpDigits) && isDigit(c)) {
            p.number.push_back(static_cast<char>(c));
            expHasDigit = true;
            part = Part::ExpDigits;
        } else {
            break;
        }
    }
    if ((part == Part::ExpSign || part == Part::ExpDigits) && !expHasDigit) {
        p.number.resize(beforeExponent); // "5E" or "5E+" is just 5
        p.consumedAll = false;
        return p;
    }
    p.consumedAll = (i == text.size());
    return p;
}

// from_chars of a collected prefix; nullopt when out of a double's range.
std::optional<double> parseCollected(const std::string& number)
{
    double value = 0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range)
        return std::nullopt;
    if (res.ec != std::errc{})
        return 0.0;
    return value;
}

} // namespace

QString generalForm(float value)
{
    return formatSignificant(static_cast<double>(value), 7);
}

QString generalForm(double value)
{
    return formatSignificant(value, 15);
}

QString generalForm(int value)
{
    char out[16];
    out[0] = ' ';
    const auto res = std::to_chars(value < 0 ? out : out + 1, out + sizeof out, value);
    return QString::fromLatin1(out, static_cast<qsizetype>(res.ptr - out));
}

QString plainForm(int value)
{
    return QString::number(value);
}

double valueOf(QStringView text)
{
    const NumberPrefix p = scanNumber(text);
    if (!p.hasDigit)
        return 0;
    return parseCollected(p.number).value_or(0.0);
}

std::optional<int16_t> toInt16(QStringView text)
{
    const NumberPrefix p = scanNumber(text);
    if (!p.hasDigit || !p.consumedAll)
        return std::nullopt;
    const std::optional<double> value = parseCollected(p.number);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (rounded < std::numeric_limits<int16_t>::min() || rounded > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

int32_t roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    if (rounded >= std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(rounded);
}

int16_t roundHalfEven16(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= std::numeric_limits<int16_t>::min())
        return std::numeric_limits<int16_t>::min();
    if (rounded >= std::numeric_limits<int16_t>::max())
        return std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(rounded);
}

} // namespace karte
