#include "files/summitlist.h"

#include "files/columnsplit.h"
#include "files/linereader.h"
#include "files/textdecoding.h"
#include "state/numberformat.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace karte {

namespace {

enum Column { GEBIET, TEILGEBIET, GIPFELNAME_D, GIPFELNAME_CZ, TYP, GIPFELNR, GIPFELOST, GIPFELNORD, POSFEHLER, columnCount };

constexpr std::array<const char*, columnCount> keywords = {
    "GEBIET", "TEILGEBIET", "GIPFELNAME_D", "GIPFELNAME_CZ", "TYP", "GIPFELNR", "GIPFELOST", "GIPFELNORD", "POSFEHLER",
};

constexpr QByteArrayView blockStart("$GIPFEL:");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Whether a decimal number too large for a double (such as 1E400) is what
// `text` starts with, blanks aside, and its sign. The value-of conversion
// gives 0 for such a number, which would hide that it lies beyond the range.
int hugeNumberSign(QStringView text)
{
    int sign = 1;
    int order = 0;              // decimal exponent of the first non-zero digit, plus one
    bool seenDigit = false;     // any digit in the mantissa
    bool seenNonZero = false;
    bool afterPoint = false;
    qsizetype i = 0;
    auto skip = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    skip();
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        sign = text[i++] == u'-' ? -1 : 1;
    for (; skip(), i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 0x80) {
            seenDigit = true;
            if (c != u'0')
                seenNonZero = true;
            if (!afterPoint && seenNonZero)
                ++order;
            else if (afterPoint && !seenNonZero)
                --order;
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit || !seenNonZero || i >= text.size() || (text[i] != u'E' && text[i] != u'e'))
        return 0;
    ++i;
    skip();
    int expSign = 1;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        expSign = text[i++] == u'-' ? -1 : 1;
    long long exponent = 0;
    bool expDigit = false;
    for (; skip(), i < text.size() && text[i].unicode() >= u'0' && text[i].unicode() <= u'9'; ++i) {
        expDigit = true;
        if (exponent < 1000000)
            exponent = exponent * 10 + (text[i].unicode() - u'0');
    }
    if (!expDigit)
        return 0;
    return order + expSign * exponent > 300 ? sign : 0; // below that, a double holds it
}

// The position error of a summit: the text-to-16-bit conversion where it
// gives a value. Otherwise the file still loads: text that holds no number
// gives 0, a number with text after it counts by its number, and a value
// beyond -32768 .. 32767 is clamped to that range.
int16_t posfehlerOf(QStringView text)
{
    if (const std::optional<int16_t> value = toInt16(text))
        return *value;
    if (const double value = valueOf(text); value != 0)
        return roundHalfEven16(value);
    switch (hugeNumberSign(text)) {
    case 1:
        return std::numeric_limits<int16_t>::max();
    case -1:
        return std::numeric_limits<int16_t>::min();
    default:
        return 0;
    }
}

// The summit number in single precision. Beyond its range (1E39) it is
// no number, as a value beyond a double is for the value-of conversion;
// infinity would be saved as text that loads back as 0.
float singleOf(double value)
{
    const auto single = static_cast<float>(value);
    return std::isfinite(single) ? single : 0.0f;
}

// Column number (from 1) of each keyword in a header line; 0 when absent.
std::array<int, columnCount> headerColumns(QByteArrayView header)
{
    std::array<int, columnCount> positions{};
    const ColumnSplit split(header, '\t');
    for (int column = 1; column <= split.count(); ++column) {
        for (size_t k = 0; k < keywords.size(); ++k) {
            if (split.column(column) == QByteArrayView(keywords[k]))
                positions[k] = column; // a later column with the same keyword wins
        }
    }
    return positions;
}

Summit summitFromLine(QByteArrayView line, const std::array<int, columnCount>& positions, TextCodec& codec)
{
    const ColumnSplit split(line, '\t');
    // An absent column is number 0, which the split answers with an empty view.
    auto text = [&](Column c) { return codec.decode(split.column(positions[c])); };
    Summit s;
    s.GEBIET = text(GEBIET);
    s.TEILGEBIET = text(TEILGEBIET);
    s.GIPFELNAME_D = text(GIPFELNAME_D);
    s.GIPFELNAME_CZ = text(GIPFELNAME_CZ);
    s.TYP = text(TYP);
    s.GIPFELNR = singleOf(valueOf(text(GIPFELNR)));
    s.GIPFELOST = valueOf(text(GIPFELOST));
    s.GIPFELNORD = valueOf(text(GIPFELNORD));
    s.POSFEHLER = posfehlerOf(text(POSFEHLER));
    return s;
}

// Numbers in the general form are plain ASCII; appended byte by byte they
// need no converted copy (a full list has 40000 of them).
void appendNumber(QByteArray& out, const QString& number)
{
    char buffer[32];
    if (number.size() > qsizetype(sizeof buffer)) {
        out.append(number.toLatin1());
        return;
    }
    qsizetype n = 0;
    for (QChar c : number)
        buffer[n++] = static_cast<char>(c.unicode());
    out.append(buffer, n);
}

// A coordinate as saved: 15 significant digits round the largest doubles up
// beyond the range (1.79769313486232E+308), which would load back as 0; they
// are saved one unit lower in the last digit instead.
double writable(double degrees)
{
    constexpr double most = 1.79769313486231e308;
    return std::clamp(degrees, -most, most);
}

QByteArray bytesIn(const SummitTable& table, TextEncoding encoding, bool* representable)
{
    TextCodec codec(encoding);
    const int count = std::clamp<int>(table.count, 0, static_cast<int>(std::min<size_t>(SummitTable::capacity, table.entries.size())));
    QByteArray out;
    out.reserve(64 + count * 96);
    if (encoding == TextEncoding::Utf8WithBom)
        out.append(TextCodec::utf8Bom());
    out.append(blockStart).append("\r\n");
    for (size_t k = 0; k < keywords.size(); ++k) {
        if (k > 0)
            out.append('\t');
        out.append(keywords[k]);
    }
    out.append("\r\n");
    *representable = true;
    auto appendText = [&](const QString& text) {
        const std::optional<QByteArray> bytes = codec.encode(text);
        if (!bytes)
            *representable = false;
        else
            out.append(*bytes).append('\t');
    };
    for (int i = 0; i < count; ++i) {
        const Summit& s = table.entries[static_cast<size_t>(i)];
        appendText(s.GEBIET);
        appendText(s.TEILGEBIET);
        appendText(s.GIPFELNAME_D);
        appendText(s.GIPFELNAME_CZ);
        appendText(s.TYP);
        if (!*representable)
            return {};
        appendNumber(out, generalForm(s.GIPFELNR));
        out.append('\t');
        appendNumber(out, generalForm(writable(s.GIPFELOST)));
        out.append('\t');
        appendNumber(out, generalForm(writable(s.GIPFELNORD)));
        out.append('\t');
        appendNumber(out, generalForm(static_cast<int>(s.POSFEHLER)));
        out.append("\r\n");
    }
    return out;
}

} // namespace

bool readSummitList(const QString& path, SummitTable& table, const AfterEachLine& afterEachLine, QString* error)
{
    QFile file(path);
    if (!openExistingFile(file, error))
        return false;
    readSummitList(file, table, afterEachLine);
    return true;
}

void readSummitListBytes(const QByteArray& bytes, SummitTable& table, const AfterEachLine& afterEachLine)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    readSummitList(buffer, table, afterEachLine);
}

void readSummitList(QIODevice& device, SummitTable& table, const AfterEachLine& afterEachLine)
{
    const TextEncoding encoding = TextCodec::detect(device);
    TextCodec codec(encoding);
    table.count = 0;
    table.encoding = encoding;

    LineReader lines(device);
    QByteArray line;
    bool firstLine = true;
    auto readLine = [&]() {
        if (!lines.next(line))
            return false;
        if (firstLine && encoding == TextEncoding::Utf8WithBom)
            line.remove(0, TextCodec::utf8Bom().size());
        firstLine = false;
        if (afterEachLine)
            afterEachLine();
        return true;
    };

    bool inBlock = false;
    std::array<int, columnCount> positions{};
    // The count is looked at afresh before every line: the events handled
    // after a line may have run another command on the same table.
    const int capacity = static_cast<int>(std::min<size_t>(SummitTable::capacity, table.entries.size()));
    while (table.count >= 0 && table.count < capacity && readLine()) {
        if (QByteArrayView(line) == blockStart) {
            inBlock = true;
            // A block start on the last line gives a block without columns.
            positions = readLine() ? headerColumns(line) : std::array<int, columnCount>{};
        } else if (line.isEmpty()) {
            inBlock = false;
        } else if (inBlock) {
            if (table.count < 0 || table.count >= capacity)
                break; // the table was changed while events were handled
            table.entries[static_cast<size_t>(table.count)] = summitFromLine(line, positions, codec);
            ++table.count;
        }
    }
}

QByteArray summitListBytes(const SummitTable& table)
{
    bool representable = true;
    QByteArray bytes = bytesIn(table, table.encoding, &representable);
    // Windows-1250 bytes that happen to form valid UTF-8 (a list read with
    // "Ã¼" where "ü" was meant) would load back as UTF-8, other texts than
    // those saved; with a byte order mark they come back as they are.
    if (representable && table.encoding == TextEncoding::Windows1250
        && TextCodec::detect(bytes) != TextEncoding::Windows1250)
        representable = false;
    if (!representable)
        bytes = bytesIn(table, TextEncoding::Utf8WithBom, &representable);
    return bytes;
}

bool writeSummitList(const SummitTable& table, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = summitListBytes(table);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace karte
