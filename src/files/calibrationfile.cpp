#include "files/calibrationfile.h"

#include "calibration/calibrationmodel.h"
#include "state/numberformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

#include <charconv>
#include <cmath>
#include <system_error>

namespace karte::calibrationfile {

namespace {

// Walks the file item by item: items end at a comma or a line end (CR LF,
// LF or CR), blanks before an item are skipped, quotes around an item are
// dropped. The bytes are single-byte text; every item we read is ASCII.
class ItemReader {
public:
    explicit ItemReader(const QByteArray& bytes) : _bytes(bytes) {}

    // The next item, or nullopt at the end of the file.
    std::optional<QByteArray> next()
    {
        if (_pos >= _bytes.size())
            return std::nullopt;
        while (_pos < _bytes.size() && isBlank(_bytes[_pos]))
            ++_pos;
        _itemLine = _line;
        QByteArray item;
        if (_pos < _bytes.size() && _bytes[_pos] == '"') {
            const qsizetype start = ++_pos;
            while (_pos < _bytes.size() && _bytes[_pos] != '"' && !isLineEnd(_bytes[_pos]))
                ++_pos;
            item = _bytes.mid(start, _pos - start);
            // Anything between the closing quote and the separator is dropped.
            while (_pos < _bytes.size() && _bytes[_pos] != ',' && !isLineEnd(_bytes[_pos]))
                ++_pos;
        } else {
            const qsizetype start = _pos;
            while (_pos < _bytes.size() && _bytes[_pos] != ',' && !isLineEnd(_bytes[_pos]))
                ++_pos;
            qsizetype end = _pos;
            while (end > start && isBlank(_bytes[end - 1]))
                --end;
            item = _bytes.mid(start, end - start);
        }
        consumeSeparator();
        return item;
    }

    // Throws away the rest of the current line. False at the end of the file.
    bool skipLine()
    {
        if (_pos >= _bytes.size())
            return false;
        while (_pos < _bytes.size() && !isLineEnd(_bytes[_pos]))
            ++_pos;
        consumeSeparator();
        return true;
    }

    int itemLine() const { return _itemLine; }
    int line() const { return _line; }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t'; }
    static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

    void consumeSeparator()
    {
        if (_pos >= _bytes.size())
            return;
        const char c = _bytes[_pos++];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && _pos < _bytes.size() && _bytes[_pos] == '\n')
                ++_pos;
            ++_line;
        }
    }

    const QByteArray& _bytes;
    qsizetype _pos = 0;
    int _line = 1;
    int _itemLine = 1;
};

// Sign, digits with an optional "." and fraction (digits before the point
// may be missing), optional exponent "E"/"e" with sign and digits.
bool isNumberSyntax(const QByteArray& item)
{
    qsizetype i = 0;
    const qsizetype n = item.size();
    auto digit = [&](qsizetype k) { return k < n && item[k] >= '0' && item[k] <= '9'; };
    if (i < n && (item[i] == '+' || item[i] == '-'))
        ++i;
    bool mantissaDigit = false;
    while (digit(i)) {
        ++i;
        mantissaDigit = true;
    }
    if (i < n && item[i] == '.') {
        ++i;
        while (digit(i)) {
            ++i;
            mantissaDigit = true;
        }
    }
    if (!mantissaDigit)
        return false;
    if (i < n && (item[i] == 'E' || item[i] == 'e')) {
        ++i;
        if (i < n && (item[i] == '+' || item[i] == '-'))
            ++i;
        if (!digit(i))
            return false;
        while (digit(i))
            ++i;
    }
    return i == n;
}

// The item converted straight to the field's type, so that a float field is
// rounded once. Out of range or not finite gives nullopt.
template<typename T>
std::optional<T> numberOf(const QByteArray& item)
{
    if (!isNumberSyntax(item))
        return std::nullopt;
    const char* first = item.constData();
    const char* last = first + item.size();
    if (*first == '+')
        ++first; // from_chars takes no plus sign
    T value{};
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    // "-0" reads as 0, as the writer writes it: with Lx and Ly both zero the
    // sign alone would turn the north deviation by 180 degrees, and a save
    // and reload would turn it back.
    if (value == 0)
        value = 0;
    return value;
}

// A value-list number: shortest text with up to `digits` significant
// digits, "." as decimal point, "E" before an exponent.
QString listNumber(double value, int digits)
{
    if (value == 0)
        return QStringLiteral("0"); // negative zero too
    return QString::number(value, 'G', digits);
}

// Line 7's number: the general form with the user's decimal separator. A
// separator that the single-byte file cannot hold falls back to ".".
QString displayNumber(float value, const QLocale& locale)
{
    QString text = generalForm(value);
    const QString point = locale.decimalPoint();
    if (point.size() == 1 && point[0].unicode() < 0x100)
        text.replace(QLatin1Char('.'), point);
    return text;
}

} // namespace

QString calibrationPathFor(const QString& mapPath)
{
    if (QFileInfo(mapPath).fileName().size() < 3)
        return {};
    return mapPath.chopped(3) + QStringLiteral("cal");
}

QString findCalibrationFile(const QString& mapPath)
{
    const QString path = calibrationPathFor(mapPath);
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (info.isFile())
        return path;
    // A map copied from a case-insensitive file system may carry BLATT12.CAL.
    const QDir folder = info.dir();
    const QString wanted = info.fileName();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    }
    return {};
}

CalibrationReadResult readCalibration(const QByteArray& bytes)
{
    ItemReader reader(bytes);
    CalibrationReadResult result;

    const std::optional<QByteArray> first = reader.next();
    if (!first || *first != magicText) {
        result.status = CalibrationReadStatus::NotCalibrationFile;
        result.line = 1;
        return result;
    }

    CalibrationValues v;
    bool ok = true;
    auto fail = [&](CalibrationReadStatus status, int line) {
        if (ok) {
            ok = false;
            result.status = status;
            result.line = line;
        }
    };
    auto read = [&](auto& field) {
        if (!ok)
            return;
        const std::optional<QByteArray> item = reader.next();
        if (!item) {
            fail(CalibrationReadStatus::TooFewValues, reader.line());
            return;
        }
        const auto value = numberOf<std::remove_reference_t<decltype(field)>>(*item);
        if (!value) {
            fail(CalibrationReadStatus::BadValue, reader.itemLine());
            return;
        }
        field = *value;
    };

    read(v.cx1), read(v.Lgrd1), read(v.cy1), read(v.Bgrd1);
    read(v.cx2), read(v.Lgrd2), read(v.cy2), read(v.Bgrd2);
    if (ok && !reader.skipLine()) // the four zeros
        fail(CalibrationReadStatus::TooFewValues, reader.line());
    read(v.L0), read(v.Lx), read(v.Ly);
    read(v.B0), read(v.Bx), read(v.By);
    if (!ok)
        return result;

    result.status = CalibrationReadStatus::Read;
    result.values = v;
    return result;
}

CalibrationReadResult readCalibration(QIODevice& device)
{
    // The file is 14 short lines; anything far larger is not one of ours,
    // and the values all sit in its first few hundred bytes.
    return readCalibration(device.read(64 * 1024));
}

CalibrationReadResult readCalibrationFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return readCalibration(file);
}

void applyCalibration(CalibrationRecord& record, const CalibrationValues& v)
{
    calibration::resetToIdentity(record);
    record.cx1 = v.cx1;
    record.Lgrd1 = v.Lgrd1;
    record.cy1 = v.cy1;
    record.Bgrd1 = v.Bgrd1;
    record.cx2 = v.cx2;
    record.Lgrd2 = v.Lgrd2;
    record.cy2 = v.cy2;
    record.Bgrd2 = v.Bgrd2;
    record.L0 = v.L0;
    record.Lx = v.Lx;
    record.Ly = v.Ly;
    record.B0 = v.B0;
    record.Bx = v.Bx;
    record.By = v.By;
    calibration::deriveScaleAndAlpha(record);
}

CalibrationReadResult loadCalibrationForMap(CalibrationRecord& record, const QString& mapPath)
{
    calibration::resetToIdentity(record);
    const QString path = findCalibrationFile(mapPath);
    if (path.isEmpty())
        return {};
    CalibrationReadResult result = readCalibrationFile(path);
    if (result.values)
        applyCalibration(record, *result.values);
    return result;
}

QByteArray calibrationFileBytes(const CalibrationRecord& r, const QLocale& userLocale)
{
    auto single = [](float value) { return listNumber(double(value), 7); };
    auto dbl = [](double value) { return listNumber(value, 15); };
    const QStringList lines = {
        QString::fromLatin1(magicText),
        QStringList{single(r.cx1), dbl(r.Lgrd1), single(r.cy1), dbl(r.Bgrd1)}.join(u','),
        QStringList{single(r.cx2), dbl(r.Lgrd2), single(r.cy2), dbl(r.Bgrd2)}.join(u','),
        QStringLiteral("0,0,0,0"),
        QStringList{dbl(r.L0), single(r.Lx), single(r.Ly)}.join(u','),
        QStringList{dbl(r.B0), single(r.Bx), single(r.By)}.join(u','),
        displayNumber(r.maß, userLocale) + u' ' + displayNumber(r.alpha, userLocale) + u' ',
        QString(),
        QStringLiteral("\"' cx1, Lgrd1, cy1, Bgrd1\""),
        QStringLiteral("\"' cx2, Lgrd2, cy2, Bgrd2\""),
        QStringLiteral("\"' 0, 0, 0, 0\""),
        QStringLiteral("\"' L0, Lx, Ly\""),
        QStringLiteral("\"' B0, Bx, By\""),
        QStringLiteral("\"' maß, alpha\""),
    };
    QByteArray bytes;
    for (const QString& line : lines) {
        // Every character is within Latin-1, whose bytes equal Windows-1252
        // here (ß is 0xDF in both).
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    return bytes;
}

bool writeCalibrationFile(const CalibrationRecord& record, const QString& path, QString* error,
                          const QLocale& userLocale)
{
    auto failed = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty())
        return failed(QStringLiteral("no calibration path"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    const QByteArray bytes = calibrationFileBytes(record, userLocale);
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return failed(why);
    }
    if (!file.commit())
        return failed(file.errorString());
    return true;
}

} // namespace karte::calibrationfile
