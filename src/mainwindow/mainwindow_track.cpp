#include "mainwindow/mainwindow.h"

#include "assignment/koordinatendialog.h"
#include "files/trackfile.h"
#include "platform/usermessage.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace karte {

// "Track/GPS-Datei laden": reads track and waypoints, then redraws at once so
// that the map shows the new track rather than the previous one.
void MainWindow::trackLaden()
{
    if (_summitListLoading)
        return;
    const QString path = commonDialog3().open(this, QStringLiteral("Trackdatei (txt,csv)|*.txt;*.csv"));
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    _lbltrack->setText(path);
    QString error;
    if (!readTrackFile(path, _state.track, _state.waypoints, &error)) {
        showUserMessage(this, QStringLiteral("Die Trackdatei „%1“ konnte nicht gelesen werden.")
                                  .arg(QDir::toNativeSeparators(path)));
        return;
    }
    // Its waypoint rows name entries by number; a new file renumbers them.
    if (_koordinaten && !_koordinaten->isHidden())
        _koordinaten->listenaktualisieren();
    Zeichnen();
}

} // namespace karte
