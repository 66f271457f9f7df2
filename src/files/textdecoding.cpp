#include "files/textdecoding.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace karte {

namespace {

constexpr qsizetype chunkSize = 64 * 1024;

// Feeds chunks to a stateful UTF-8 decoder and remembers whether any byte
// above 127 was seen; the decoded text itself is thrown away.
class Utf8Check {
public:
    void feed(QByteArrayView bytes)
    {
        if (_invalid || bytes.isEmpty())
            return;
        for (char c : bytes) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                _nonAscii = true;
                break;
            }
        }
        if (!_nonAscii)
            return; // plain ASCII is valid whatever follows
        _buffer.resize(static_cast<size_t>(_decoder.requiredSpace(bytes.size())));
        _decoder.appendToBuffer(_buffer.data(), bytes);
        _invalid = _decoder.hasError();
    }

    // A sequence cut off by the end of the file stays pending in the
    // decoder; a following ASCII byte turns it into an error.
    bool valid()
    {
        if (!_invalid && _nonAscii)
            feed(QByteArrayView("\n", 1));
        return !_invalid;
    }
    bool nonAscii() const { return _nonAscii; }

private:
    QStringDecoder _decoder{QStringDecoder::Utf8}; // stateful: a sequence may span two chunks
    std::vector<QChar> _buffer;
    bool _nonAscii = false;
    bool _invalid = false;
};

TextEncoding decide(bool bom, Utf8Check& check)
{
    if (!check.valid())
        return TextEncoding::Windows1250;
    if (bom)
        return TextEncoding::Utf8WithBom;
    return check.nonAscii() ? TextEncoding::Utf8 : TextEncoding::Windows1250;
}

// The upper half of Windows-1250 (bytes 128 .. 255), taken once from Qt's
// converter. Looking a letter up here spares a converter call per field,
// which a full summit list would make some 50000 times. All zero when the
// converter is missing; then the converter path is taken (and fails alike).
const std::array<char16_t, 128>& windows1250Upper()
{
    static const std::array<char16_t, 128> table = [] {
        std::array<char16_t, 128> t{};
        QByteArray upper(128, Qt::Uninitialized);
        for (int i = 0; i < 128; ++i)
            upper[i] = static_cast<char>(0x80 + i);
        QStringDecoder decoder("windows-1250");
        const QString text = decoder.isValid() ? QString(decoder.decode(upper)) : QString();
        if (text.size() == 128 && !decoder.hasError()) {
            for (int i = 0; i < 128; ++i)
                t[static_cast<size_t>(i)] = text[i].unicode();
        }
        return t;
    }();
    return table;
}

// The way back: the Windows-1250 byte of a character, 0 where it has none
// (every byte in the table is 0x80 or above). The first byte wins where two
// decode to the same character, as a search from the start would give.
const std::array<uint8_t, 0x10000>& windows1250Bytes()
{
    static const std::array<uint8_t, 0x10000> table = [] {
        std::array<uint8_t, 0x10000> t{};
        const std::array<char16_t, 128>& upper = windows1250Upper();
        for (int i = 127; i >= 0; --i)
            t[upper[static_cast<size_t>(i)]] = static_cast<uint8_t>(0x80 + i);
        return t;
    }();
    return table;
}

QStringDecoder makeDecoder(TextEncoding encoding)
{
    if (encoding == TextEncoding::Windows1250)
        return QStringDecoder("windows-1250");
    return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
}

QStringEncoder makeEncoder(TextEncoding encoding)
{
    if (encoding == TextEncoding::Windows1250)
        return QStringEncoder("windows-1250");
    return QStringEncoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
}

} // namespace

TextEncoding TextCodec::detect(QIODevice& device)
{
    const qint64 start = device.pos();
    Utf8Check check;
    QByteArray chunk(chunkSize, Qt::Uninitialized);
    bool first = true;
    bool bom = false;
    for (;;) {
        const qint64 n = device.read(chunk.data(), chunk.size());
        if (n <= 0)
            break;
        QByteArrayView piece(chunk.constData(), static_cast<qsizetype>(n));
        if (first) {
            // A chunk read from a file holds at least three bytes unless the
            // whole file is shorter.
            bom = piece.startsWith(utf8Bom());
            first = false;
        }
        check.feed(piece);
    }
    device.seek(start);
    return decide(bom, check);
}

TextEncoding TextCodec::detect(QByteArrayView bytes)
{
    Utf8Check check;
    check.feed(bytes);
    return decide(bytes.startsWith(utf8Bom()), check);
}

TextCodec::TextCodec(TextEncoding encoding)
    : _encoding(encoding)
    , _decoder(makeDecoder(encoding))
    , _encoder(makeEncoder(encoding))
{
}

QString TextCodec::decode(QByteArrayView bytes)
{
    // Most fields are plain ASCII: no converter needed for them.
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    const std::array<char16_t, 128>& upper = windows1250Upper();
    if (_encoding == TextEncoding::Windows1250 && upper[0] != 0) {
        QString text(bytes.size(), Qt::Uninitialized);
        QChar* out = text.data();
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            *out++ = QChar(b < 0x80 ? char16_t(b) : upper[b - 0x80u]);
        }
        return text;
    }
    _decoder.resetState();
    return _decoder.decode(bytes);
}

std::optional<QByteArray> TextCodec::encode(QStringView text)
{
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLatin1();
    const std::array<char16_t, 128>& upper = windows1250Upper();
    if (_encoding == TextEncoding::Windows1250 && upper[0] != 0) {
        QByteArray bytes(text.size(), Qt::Uninitialized);
        char* out = bytes.data();
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x80) {
                *out++ = static_cast<char>(u);
                continue;
            }
            const uint8_t b = windows1250Bytes()[u];
            if (b == 0)
                return std::nullopt; // no place in Windows-1250
            *out++ = static_cast<char>(b);
        }
        return bytes;
    }
    QByteArray bytes = _encoder.encode(text);
    if (_encoder.hasError()) {
        // The error mark of the ICU-backed encoder outlasts resetState(),
        // so a fresh encoder serves the next text.
        _encoder = makeEncoder(_encoding);
        return std::nullopt;
    }
    return bytes;
}

} // namespace karte
