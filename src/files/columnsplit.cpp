#include "files/columnsplit.h"

namespace karte {

ColumnSplit::ColumnSplit(QByteArrayView line, char separator)
{
    qsizetype start = 0;
    // The separator byte is plain ASCII, so it never occurs inside a UTF-8
    // sequence or as anything else in Windows-1250: splitting the bytes
    // before decoding gives the same columns as splitting the text.
    while (_count < maxColumns - 1) {
        const qsizetype sep = line.indexOf(separator, start);
        if (sep < 0)
            break;
        _columns[static_cast<size_t>(_count++)] = line.sliced(start, sep - start);
        start = sep + 1;
    }
    _columns[static_cast<size_t>(_count++)] = line.sliced(start);
}

} // namespace karte
