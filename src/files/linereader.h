#pragma once

#include <QByteArray>
#include <QString>

class QFile;
class QIODevice;

namespace karte {

// Reads the lines of a text file as bytes, one at a time. A line ends at
// CR LF or at a line feed alone; the line end is not part of the line, and
// neither is a carriage return left at the very end of the file. A last line
// without line end still counts; a file ending in a line end has no empty
// line after it. Only the current line is held.
class LineReader {
public:
    explicit LineReader(QIODevice& device) : _device(device) {}

    // The next line into `line`; false when no line is left.
    bool next(QByteArray& line);

private:
    QIODevice& _device;
};

// Opens an existing file for reading; false with the reason in `error` (if
// given) when there is no file at its path or it cannot be opened.
bool openExistingFile(QFile& file, QString* error);

} // namespace karte
