#include "mainwindow/mainwindow.h"

#include "assignment/koordinatendialog.h"
#include "calibration/calibdialog.h"
#include "files/summitlist.h"
#include "platform/usermessage.h"
#include "view/mapviewwidget.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>

namespace karte {

namespace {

const char* const fileCommands[] = {"Laden", "abspeichern", "gladen", "gspeichern", "tladen"};

} // namespace

bool MainWindow::summitListLoading() const
{
    return _summitListLoading;
}

void MainWindow::setLoadEventIntervalForTests(int ms)
{
    _loadEventIntervalMs = ms;
}

void MainWindow::setInputDuringLoadEnabled(bool enabled)
{
    for (const char* name : fileCommands) {
        if (auto* action = findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly))
            action->setEnabled(enabled);
    }
    // A click on the map opens the dialogs, and the coordinate-assignment
    // dialog writes into the table; neither may work on a half-read list.
    _map->setEnabled(enabled);
    if (_calib)
        _calib->setEnabled(enabled);
    if (_koordinaten)
        _koordinaten->setEnabled(enabled);
}

// "Gipfelliste laden": reads a summit list into the table and redraws.
void MainWindow::gipfellisteLaden()
{
    if (_summitListLoading)
        return;
    const QString path = commonDialog2().open(this, QStringLiteral("Gipfelliste|*.kf3;*.txt"));
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    _lblgdatei->setText(path);

    // The window may be closed and even destroyed while events are handled.
    QPointer<MainWindow> self(this);
    _summitListLoading = true;
    setInputDuringLoadEnabled(false);
    // Handling the pending events polls the window system each time; after
    // every one of 10001 lines that would make a long list load several times
    // slower than the reading itself. A round every 15 ms keeps the window
    // repainting and responsive just the same.
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const qint64 interval = _loadEventIntervalMs;
    QString error;
    const bool read = readSummitList(
        path, _state.summits,
        [&self, &sinceEvents, interval] {
            if (self && (interval <= 0 || sinceEvents.hasExpired(interval))) {
                QCoreApplication::processEvents();
                sinceEvents.restart();
            }
        },
        &error);
    if (!self)
        return;
    _summitListLoading = false;
    setInputDuringLoadEnabled(true);

    if (!read) {
        showUserMessage(this, QStringLiteral("Die Gipfelliste „%1“ konnte nicht gelesen werden.")
                                  .arg(QDir::toNativeSeparators(path)));
    } else {
        // Its rows name entries by number; after a new list they would point
        // at other summits.
        if (_koordinaten && !_koordinaten->isHidden())
            _koordinaten->listenaktualisieren();
        kartemalen();
    }
    if (_closeAfterLoad) {
        _closeAfterLoad = false;
        close();
    }
}

// "Gipfelliste speichern": writes the table as one block. The old file is
// replaced only once the new one is complete.
void MainWindow::gipfellisteSpeichern()
{
    if (_summitListLoading)
        return;
    const QString path = commonDialog2().save(this, QStringLiteral("Gipfelliste|*.txt"));
    if (path.isEmpty())
        return;
    QString error;
    if (!writeSummitList(_state.summits, path, &error)) {
        showUserMessage(this, QStringLiteral("Die Gipfelliste konnte nicht in „%1“ gespeichert werden.")
                                  .arg(QDir::toNativeSeparators(path)));
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (_summitListLoading) {
        // Closing in the middle of a load would leave the reader running in
        // a window that is going away; close once the list is in.
        _closeAfterLoad = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

} // namespace karte
