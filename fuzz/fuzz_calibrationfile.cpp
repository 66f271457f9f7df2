// The calibration file as "Karte Laden" reads it: the bytes lie beside a map
// and go through calibrationfile::loadCalibrationForMap.
#include "fuzzsupport.h"

#include "files/calibrationfile.h"
#include "state/programstate.h"

#include <QLocale>

#include <cmath>
#include <cstdio>
#include <limits>

using namespace karte;

namespace {

// Written values carry 7 (single) or 15 (double) significant digits, so a
// value may come back that close, never further off.
template<typename T>
bool near(T written, T read, double relative)
{
    const double a = double(written), b = double(read);
    const double tiny = 2 * double(std::numeric_limits<T>::denorm_min());
    return std::fabs(a - b) <= relative * std::fabs(a) + tiny;
}

bool sameValues(const CalibrationValues& a, const CalibrationValues& b)
{
    constexpr double single = 1e-6, dbl = 1e-14;
    return near(a.cx1, b.cx1, single) && near(a.cy1, b.cy1, single) && near(a.cx2, b.cx2, single)
           && near(a.cy2, b.cy2, single) && near(a.Lgrd1, b.Lgrd1, dbl) && near(a.Bgrd1, b.Bgrd1, dbl)
           && near(a.Lgrd2, b.Lgrd2, dbl) && near(a.Bgrd2, b.Bgrd2, dbl) && near(a.L0, b.L0, dbl)
           && near(a.B0, b.B0, dbl) && near(a.Lx, b.Lx, single) && near(a.Ly, b.Ly, single)
           && near(a.Bx, b.Bx, single) && near(a.By, b.By, single);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::writeInput(QStringLiteral("karte.cal"), data, size);
    const QString mapPath = fuzz::folder() + QStringLiteral("/karte.bmp");

    CalibrationRecord record;
    record.maß = 0.5f;
    record.alpha = 0.25f;
    const CalibrationReadResult read = calibrationfile::loadCalibrationForMap(record, mapPath);

    if (read.values.has_value() != (read.status == CalibrationReadStatus::Read))
        fuzz::fail("values without Read, or Read without values");
    if (!read.values) {
        // Nothing half-read: the identity stands, maß and alpha as they were.
        if (record.L0 != 0 || record.Lx != 1 || record.Ly != 0 || record.B0 != 0 || record.Bx != 0
            || record.By != 1 || record.cx1 != 0 || record.Lgrd2 != 0 || record.maß != 0.5f
            || record.alpha != 0.25f)
            fuzz::fail("a refused file changed the calibration");
        if (read.status != CalibrationReadStatus::NotCalibrationFile && read.line < 1)
            fuzz::fail("a fault without its line");
        return 0;
    }

    // What was read is what the program writes back with "Karte Abspeichern";
    // that file must read again, to the digits written, with the same sign of
    // every value (the north deviation hangs on the signs of Lx and Ly).
    const QByteArray written = calibrationfile::calibrationFileBytes(record, QLocale(QLocale::German));
    const CalibrationReadResult again = calibrationfile::readCalibration(written);
    if (!again.values) {
        std::fprintf(stderr, "written:\n%s\n", written.constData());
        fuzz::fail("a file written from read values cannot be read back");
    }
    if (!sameValues(*read.values, *again.values)) {
        std::fprintf(stderr, "written:\n%s\n", written.constData());
        fuzz::fail("values read back from a written file are not those written");
    }
    CalibrationRecord reloaded = record;
    calibrationfile::applyCalibration(reloaded, *again.values);
    if (std::signbit(reloaded.Lx) != std::signbit(record.Lx) || std::signbit(reloaded.Ly) != std::signbit(record.Ly))
        fuzz::fail("a save and reload flips the sign of Lx or Ly");
    return 0;
}
