#include "files/linereader.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace karte {

bool LineReader::next(QByteArray& line)
{
    if (_device.atEnd())
        return false;
    line = _device.readLine();
    if (line.isEmpty())
        return false; // a read error ends the file like its end (an empty line still reads "\n")
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return true;
}

bool openExistingFile(QFile& file, QString* error)
{
    if (file.fileName().isEmpty() || !QFileInfo::exists(file.fileName())) {
        if (error)
            *error = QStringLiteral("Die Datei gibt es nicht.");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace karte
