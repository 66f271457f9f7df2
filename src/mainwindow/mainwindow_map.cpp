#include "mainwindow/mainwindow.h"

#include "files/calibrationfile.h"
#include "platform/bitmapfile.h"
#include "platform/usermessage.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStringList>

namespace karte {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

// "Karte Laden": pick a bitmap, show it at zoom 1 and restore its
// calibration from the file beside it.
void MainWindow::karteLaden()
{
    if (_summitListLoading)
        return;
    const QString path = commonDialog1().open(this, QStringLiteral("Karten|*.bmp;"));
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    karteLadenVon(path);
}

bool MainWindow::karteLadenVon(const QString& path)
{
    // Not while a summit list is read (events are handled between its lines).
    if (_summitListLoading)
        return false;
    // The image is read before anything changes, so that a file that is not
    // a map leaves the previous map, its path, zoom and calibration as they were.
    std::optional<QImage> image = bitmapfile::loadBitmap(path);
    if (!image) {
        showUserMessage(this, QStringLiteral("Die Datei „%1“ ist keine lesbare Karte.").arg(shown(path)));
        return false;
    }
    setMapImage(std::move(*image), path);
    setZoom(1);

    const CalibrationReadResult read = calibrationfile::loadCalibrationForMap(_state.calibration, path);
    if (read.status == CalibrationReadStatus::TooFewValues || read.status == CalibrationReadStatus::BadValue) {
        showUserMessage(this, QStringLiteral("Die Kalibrationsdatei „%1“ ist unbrauchbar (Zeile %2); "
                                             "die Karte wird unkalibriert angezeigt.")
                                  .arg(shown(calibrationfile::findCalibrationFile(path)))
                                  .arg(read.line));
    }
    kartemalen();
    return true;
}

// "Karte Abspeichern": writes the image as loaded back to its file and the
// calibration beside it. Both are attempted, so a map file that cannot be
// replaced does not cost the user the calibration, and every failure is told.
void MainWindow::karteAbspeichern()
{
    if (_summitListLoading)
        return;
    const QString path = _lblkdatei->text();
    if (path.isEmpty() || _pic1.isNull()) {
        showUserMessage(this, QStringLiteral("Es ist keine Karte geladen; es wurde nichts gespeichert."));
        return;
    }

    QStringList failures;
    QString error;
    if (!bitmapfile::saveBitmap(_pic1, path, &error))
        failures << QStringLiteral("Die Karte konnte nicht in „%1“ gespeichert werden.").arg(shown(path));

    // A calibration file found in other letter case (BLATT12.CAL) is written
    // back in place rather than beside it under a second name.
    QString calPath = calibrationfile::findCalibrationFile(path);
    if (calPath.isEmpty())
        calPath = calibrationfile::calibrationPathFor(path);
    if (!calibrationfile::writeCalibrationFile(_state.calibration, calPath, &error)) {
        failures << (calPath.isEmpty()
                         ? QStringLiteral("Zur Karte „%1“ lässt sich keine Kalibrationsdatei bilden.").arg(shown(path))
                         : QStringLiteral("Die Kalibrationsdatei „%1“ konnte nicht gespeichert werden.")
                               .arg(shown(calPath)));
    }
    if (!failures.isEmpty())
        showUserMessage(this, failures.join(u'\n'));
}

} // namespace karte
