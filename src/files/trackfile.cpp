#include "files/trackfile.h"

#include "files/columnsplit.h"
#include "files/linereader.h"
#include "files/textdecoding.h"
#include "state/numberformat.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace karte {

namespace {

// Numbers are plain ASCII in either encoding, so they are read straight
// from the bytes.
double numberOf(QByteArrayView field)
{
    return valueOf(QString::fromLatin1(field));
}

} // namespace

bool readTrackFile(const QString& path, TrackTable& track, WaypointTable& waypoints, QString* error)
{
    QFile file(path);
    if (!openExistingFile(file, error))
        return false;
    readTrackFile(file, track, waypoints);
    return true;
}

void readTrackFileBytes(const QByteArray& bytes, TrackTable& track, WaypointTable& waypoints)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    readTrackFile(buffer, track, waypoints);
}

void readTrackFile(QIODevice& device, TrackTable& track, WaypointTable& waypoints)
{
    const TextEncoding encoding = TextCodec::detect(device);
    TextCodec codec(encoding);
    track.count = 0;
    waypoints.count = 0;
    const int trackCapacity = static_cast<int>(std::min<size_t>(TrackTable::capacity, track.entries.size() - 1));
    const int waypointCapacity =
        static_cast<int>(std::min<size_t>(WaypointTable::capacity, waypoints.entries.size() - 1));

    auto appendPoint = [&](double latitude, double longitude) {
        ++track.count;
        track.entries[static_cast<size_t>(track.count)] = TrackPoint{latitude, longitude};
    };

    LineReader lines(device);
    QByteArray line;
    bool firstLine = true;
    while (lines.next(line)) {
        QByteArrayView view(line);
        if (firstLine && encoding == TextEncoding::Utf8WithBom)
            view = view.sliced(TextCodec::utf8Bom().size());
        firstLine = false;

        const ColumnSplit fields(view, ',');
        const QByteArrayView kind = fields.column(1);
        const double first = numberOf(kind);
        const double second = numberOf(fields.column(2));
        if (first != 0 && second != 0 && track.count < trackCapacity) {
            appendPoint(first, second);
        } else if (kind == "W" && waypoints.count < waypointCapacity) {
            ++waypoints.count;
            Waypoint& w = waypoints.entries[static_cast<size_t>(waypoints.count)];
            w.name = codec.decode(fields.column(2));
            w.latitude = numberOf(fields.column(3));
            w.longitude = numberOf(fields.column(4));
            w.note = codec.decode(fields.column(11));
        } else if (kind == "N" && track.count < trackCapacity - 1) {
            appendPoint(0, 0); // segment break
            appendPoint(numberOf(fields.column(3)), numberOf(fields.column(4)));
        } else if (kind == "T" && track.count < trackCapacity) {
            appendPoint(numberOf(fields.column(3)), numberOf(fields.column(4)));
        }
    }
}

} // namespace karte
