#pragma once

#include "state/tables.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

class QIODevice;

namespace karte {

// Turns the bytes of the summit list and the track file into text and back.
// A file is UTF-8 when its bytes are valid UTF-8 and hold at least one byte
// above 127 or start with a byte order mark; every other file is read as
// Windows-1250 (Central European, where ä ö ü ß sit at the same bytes as in
// Windows-1252 and the Czech letters have their places too).
class TextCodec {
public:
    // Decides the encoding of all bytes of `device` from its current position
    // to its end, then seeks back to that position. The device must be
    // seekable. Reads in chunks, so a large file is never held whole.
    static TextEncoding detect(QIODevice& device);
    static TextEncoding detect(QByteArrayView bytes);

    // The three bytes of the UTF-8 byte order mark.
    static QByteArrayView utf8Bom() { return QByteArrayView("\xEF\xBB\xBF", 3); }

    explicit TextCodec(TextEncoding encoding);

    TextEncoding encoding() const { return _encoding; }

    // Text of one piece of a line (a field; no byte order mark in it).
    QString decode(QByteArrayView bytes);

    // Bytes of `text` in this encoding, without a byte order mark; nullopt
    // when a character has no place in Windows-1250.
    std::optional<QByteArray> encode(QStringView text);

private:
    TextEncoding _encoding;
    QStringDecoder _decoder;
    QStringEncoder _encoder;
};

} // namespace karte
