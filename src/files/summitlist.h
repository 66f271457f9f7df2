#pragma once

#include "state/tables.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace karte {

// The summit list file: tab-separated blocks that begin with a "$GIPFEL:"
// line and a header line of column keywords. Reading fills a SummitTable;
// writing gives one block with all nine columns.

// Called after every line read, header lines included; the main window lets
// the event loop handle pending events there. The table may be looked at
// inside the call; it holds the entries read so far.
using AfterEachLine = std::function<void()>;

// Reads the summit list at `path` into `table`. When the file does not exist
// or cannot be opened, returns false with the reason in `error` and leaves
// the table as it was. Otherwise the table is emptied before the first line
// and holds the file's entries (at most 10001; the lines after the last
// entry that fits are not read), and `table.encoding` tells how its texts
// were encoded.
bool readSummitList(const QString& path, SummitTable& table, const AfterEachLine& afterEachLine = {},
                    QString* error = nullptr);

// The same from an open, seekable device, from its current position.
void readSummitList(QIODevice& device, SummitTable& table, const AfterEachLine& afterEachLine = {});

// The same from the bytes of a file.
void readSummitListBytes(const QByteArray& bytes, SummitTable& table, const AfterEachLine& afterEachLine = {});

// The bytes of the file that saves `table`: the "$GIPFEL:" line, the header
// and one line per entry 0 .. count - 1, each ended by CR LF, numbers in the
// general form, texts in `table.encoding` (a byte order mark first for
// UTF-8 with BOM). Texts that Windows-1250 cannot hold, or whose Windows-1250
// bytes would load back as UTF-8, are saved as UTF-8 with BOM instead, so
// that nothing is lost.
QByteArray summitListBytes(const SummitTable& table);

// Saves `table` at `path`, replacing the file there only once all bytes are
// written. On failure the old file stays as it was, and `error` says why.
bool writeSummitList(const SummitTable& table, const QString& path, QString* error = nullptr);

} // namespace karte
