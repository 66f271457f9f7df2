#include "files/linereader.h"

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

} // namespace karte
