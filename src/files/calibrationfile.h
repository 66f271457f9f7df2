#pragma once

#include "state/programstate.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <optional>

class QIODevice;

namespace karte {

// The values a calibration file carries, in the precision of their fields.
// Reference points in image pixels and degrees (longitude east, latitude
// north); coefficients as in CalibrationRecord.
struct CalibrationValues {
    float cx1 = 0, cy1 = 0;
    double Lgrd1 = 0, Bgrd1 = 0;
    float cx2 = 0, cy2 = 0;
    double Lgrd2 = 0, Bgrd2 = 0;
    double L0 = 0;
    float Lx = 1, Ly = 0;
    double B0 = 0;
    float Bx = 0, By = 1;
};

// Why a calibration file was or was not used.
enum class CalibrationReadStatus {
    Read,               // all values read; use them
    NoFile,             // nothing beside the map, or it cannot be opened
    NotCalibrationFile, // first item is not the magic text
    TooFewValues,       // the file ends before the last value
    BadValue,           // an item is not a number, or not finite in its field
};

// The outcome of reading a calibration file: values only when status is Read.
struct CalibrationReadResult {
    CalibrationReadStatus status = CalibrationReadStatus::NoFile;
    std::optional<CalibrationValues> values;
    int line = 0; // 1-based line of the fault; 0 when read or no file
};

// The reading, writing and applying of the 14-line calibration file that
// lies beside each map image.
namespace calibrationfile {

// The first item of every calibration file, compared exactly.
inline constexpr char magicText[] = "Tervanis-Kalibrationsdatei";

// The map path with its last three characters replaced by "cal"
// (BLATT12.BMP -> BLATT12.cal, karte.jpeg -> karte.jcal, karte -> kacal).
// Empty when the file name has fewer than three characters, so that the
// calibration file never leaves the map's folder.
QString calibrationPathFor(const QString& mapPath);

// The calibration file of a map: the rule's path when a file exists there,
// else a file in the same folder whose name differs only in letter case,
// else empty.
QString findCalibrationFile(const QString& mapPath);

// Reads the values from a calibration file's bytes. Nothing half-read is
// ever returned: a short or malformed file gives no values.
CalibrationReadResult readCalibration(QIODevice& device);
CalibrationReadResult readCalibration(const QByteArray& bytes);

// Reads the calibration file at `path`.
CalibrationReadResult readCalibrationFile(const QString& path);

// Resets the record to the identity, takes the reference points and the
// coefficients, and derives maß and alpha from the coefficients.
void applyCalibration(CalibrationRecord& record, const CalibrationValues& values);

// The map-load step: resets the record to the identity (maß and alpha kept),
// then reads the calibration file beside the map, when there is a usable
// one, and applies it. Returns what was found.
CalibrationReadResult loadCalibrationForMap(CalibrationRecord& record, const QString& mapPath);

// The whole file: 14 lines, CR LF, Windows-1252. Value lists in the C
// locale; line 7 shows maß and alpha with the user's decimal separator.
QByteArray calibrationFileBytes(const CalibrationRecord& record, const QLocale& userLocale);

// Writes the file atomically: on failure the old file stays as it was and
// `error` (when given) says why.
bool writeCalibrationFile(const CalibrationRecord& record, const QString& path, QString* error,
                          const QLocale& userLocale = QLocale());

} // namespace calibrationfile
} // namespace karte
