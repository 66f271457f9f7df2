// "Gipfelliste laden", "Gipfelliste speichern" and "Track/GPS-Datei laden"
// driven through the main window, with the file dialogs and the message box
// replaced by recorders; and the commands a user may start while a summit
// list is still being read.
#include "assignment/koordinatendialog.h"
#include "files/summitlist.h"
#include "mainwindow/mainwindow.h"
#include "platform/usermessage.h"
#include "state/programstate.h"
#include "view/mapviewwidget.h"
#include "support/testfiles.h"
#include "support/mainwindowtest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace karte;
using namespace karte::test;

namespace {

const QString exampleMap = QStringLiteral(KARTE_EXAMPLES "/beispielkarte.bmp");
const QString exampleCal = QStringLiteral(KARTE_EXAMPLES "/beispielkarte.cal");
const QString exampleList = QStringLiteral(KARTE_EXAMPLES "/gipfelliste.txt");
const QString exampleTrack = QStringLiteral(KARTE_EXAMPLES "/track.txt");



bool sameSummits(const SummitTable& a, const SummitTable& b)
{
    if (a.count != b.count)
        return false;
    for (int i = 0; i < a.count; ++i) {
        const Summit& x = a.entries[static_cast<size_t>(i)];
        const Summit& y = b.entries[static_cast<size_t>(i)];
        if (x.GEBIET != y.GEBIET || x.TEILGEBIET != y.TEILGEBIET || x.GIPFELNAME_D != y.GIPFELNAME_D
            || x.GIPFELNAME_CZ != y.GIPFELNAME_CZ || x.TYP != y.TYP || x.GIPFELNR != y.GIPFELNR
            || x.GIPFELOST != y.GIPFELOST || x.GIPFELNORD != y.GIPFELNORD || x.POSFEHLER != y.POSFEHLER)
            return false;
    }
    return true;
}

SummitTable exampleSummits()
{
    SummitTable table;
    if (!readSummitList(exampleList, table))
        qFatal("cannot read the example summit list");
    return table;
}

} // namespace

class TestListCommands : public MainWindowTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void loadSummitList();
    void summitLoadThatChangesNothing_data();
    void summitLoadThatChangesNothing();
    void saveWritesOneBlock();
    void saveCancelled();
    void saveToFolderTarget();
    void trackLoadRedraws();
    void trackLoadThatChangesNothing_data();
    void trackLoadThatChangesNothing();

    void commandDuringLoadIsRefused_data();
    void commandDuringLoadIsRefused();
    void closeDuringLoadClosesAfterIt();
    void windowDestroyedDuringLoad();

private:
    // A copy of the example map with its calibration file, loaded.
    void loadCalibratedMap();
    void answerSummitDialog(const QString& path);
    void answerTrackDialog(const QString& path);
    // Runs `action` once, from the event handling of a load in progress,
    // as soon as the table holds at least `entries` entries.
    void duringLoad(int entries, std::function<void()> action);

    QStringList _summitFilters; // filters the summit dialog was opened with
    QStringList _summitStarts;  // and the paths it started with
    int _trackDialogs = 0;
    QTimer _midLoad;
};

void TestListCommands::init()
{
    _summitFilters.clear();
    _summitStarts.clear();
    _trackDialogs = 0;
    openWindow(900, 700);
}

void TestListCommands::cleanup()
{
    _midLoad.stop();
    _midLoad.disconnect();
    closeWindow();
}

void TestListCommands::loadCalibratedMap()
{
    const QString map = tempPath(QStringLiteral("beispielkarte.bmp"));
    QVERIFY(QFile::copy(exampleMap, map));
    QVERIFY(QFile::copy(exampleCal, tempPath(QStringLiteral("beispielkarte.cal"))));
    QVERIFY(_window->karteLadenVon(map));
    QVERIFY(_messages.isEmpty());
}

void TestListCommands::answerSummitDialog(const QString& path)
{
    _window->commonDialog2().setChooserForTests([this, path](const QString& filter, const QString& start) {
        _summitFilters << filter;
        _summitStarts << start;
        return path;
    });
}

void TestListCommands::answerTrackDialog(const QString& path)
{
    _window->commonDialog3().setChooserForTests([this, path](const QString& filter, const QString&) {
        ++_trackDialogs;
        return filter.contains(QStringLiteral("*.csv")) ? path : QString();
    });
}

void TestListCommands::duringLoad(int entries, std::function<void()> action)
{
    _window->setLoadEventIntervalForTests(0);
    _midLoad.setInterval(0);
    _midLoad.disconnect();
    connect(&_midLoad, &QTimer::timeout, this, [this, entries, action] {
        if (_state->summits.count < entries)
            return;
        _midLoad.stop();
        QVERIFY(_window->summitListLoading());
        action();
    });
    _midLoad.start();
}

void TestListCommands::loadSummitList()
{
    loadCalibratedMap();
    const QImage before = _window->mapView()->canvasImage();
    const QString list = tempPath(QStringLiteral("gipfel.txt"));
    QVERIFY(QFile::copy(exampleList, list));

    answerSummitDialog(list);
    _window->findChild<QAction*>(QStringLiteral("gladen"))->trigger();

    QCOMPARE(_summitFilters.size(), 1);
    QVERIFY(_summitFilters.first().contains(QStringLiteral("*.kf3")));
    QCOMPARE(label("lblgdatei")->text(), list);
    QVERIFY(sameSummits(_state->summits, exampleSummits()));
    QVERIFY(_state->summits.count > 30);
    QVERIFY(_messages.isEmpty());
    QVERIFY(!_window->summitListLoading());
    // The redraw put the summits on the map.
    QVERIFY(_window->mapView()->canvasImage() != before);

    // The same dialog serves saving, so it offers the name just loaded.
    answerSummitDialog(QString());
    _window->gipfellisteSpeichern();
    QCOMPARE(_summitStarts.last(), list);
}

void TestListCommands::summitLoadThatChangesNothing_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("cancelled") << QString();
    QTest::newRow("no file there") << QStringLiteral("fehlt.txt");
    QTest::newRow("a folder") << QStringLiteral("ordner.txt");
}

void TestListCommands::summitLoadThatChangesNothing()
{
    QFETCH(QString, answer);
    loadCalibratedMap();
    answerSummitDialog(exampleList);
    _window->gipfellisteLaden();
    const SummitTable loaded = _state->summits;
    const QImage shown = _window->mapView()->canvasImage();

    QVERIFY(QDir(_dir->path()).mkdir(QStringLiteral("ordner.txt")));
    answerSummitDialog(answer.isEmpty() ? answer : tempPath(answer));
    _window->gipfellisteLaden();

    QCOMPARE(label("lblgdatei")->text(), exampleList);
    QVERIFY(sameSummits(_state->summits, loaded));
    QCOMPARE(_window->mapView()->canvasImage(), shown);
    QVERIFY(_messages.isEmpty());
}

void TestListCommands::saveWritesOneBlock()
{
    SummitTable& t = _state->summits;
    t.count = 2;
    t.entries[0] = Summit{QStringLiteral("Gebiet"), QStringLiteral("Teil"), QStringLiteral("Name"),
                          QStringLiteral("Jméno"), QStringLiteral("G"), 12, 14.227187, 50.899743, 10};
    t.entries[1] = Summit{QString(), QStringLiteral("Teil 2"), QString(), QStringLiteral("Vrch"),
                          QStringLiteral("W"), 0.5f, -0.25, 50.5, -3};
    label("lblgdatei")->setText(QStringLiteral("vorher"));
    const QString path = tempPath(QStringLiteral("neu.txt"));
    answerSummitDialog(path);

    _window->findChild<QAction*>(QStringLiteral("gspeichern"))->trigger();

    QVERIFY(_messages.isEmpty());
    QCOMPARE(_summitFilters.size(), 1);
    QVERIFY(!_summitFilters.first().contains(QStringLiteral("*.kf3")));
    const QByteArray expected = "$GIPFEL:\r\n"
                                "GEBIET\tTEILGEBIET\tGIPFELNAME_D\tGIPFELNAME_CZ\tTYP\tGIPFELNR\tGIPFELOST\t"
                                "GIPFELNORD\tPOSFEHLER\r\n"
                                "Gebiet\tTeil\tName\tJm\xe9no\tG\t 12\t 14.227187\t 50.899743\t 10\r\n"
                                "\tTeil 2\t\tVrch\tW\t .5\t-.25\t 50.5\t-3\r\n";
    QCOMPARE(fileBytes(path), expected);
    // Saving changes no label.
    QCOMPARE(label("lblgdatei")->text(), QStringLiteral("vorher"));
}

void TestListCommands::saveCancelled()
{
    const QString path = tempPath(QStringLiteral("alt.txt"));
    QVERIFY(writeBytes(path, "alt\r\n"));
    _state->summits.count = 1;
    answerSummitDialog(QString());
    _window->gipfellisteSpeichern();
    QCOMPARE(fileBytes(path), QByteArray("alt\r\n"));
    QVERIFY(_messages.isEmpty());
    QCOMPARE(QDir(_dir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"alt.txt"});
}

// A name that is taken by a folder cannot become the list; the user is told
// which file failed, and what lies there stays.
void TestListCommands::saveToFolderTarget()
{
    const QString target = tempPath(QStringLiteral("liste.txt"));
    QVERIFY(QDir(_dir->path()).mkdir(QStringLiteral("liste.txt")));
    QVERIFY(writeBytes(target + QStringLiteral("/innen.txt"), "bleibt\r\n"));
    _state->summits.count = 1;
    answerSummitDialog(target);

    _window->gipfellisteSpeichern();

    QCOMPARE(_messages.size(), 1);
    QVERIFY(_messages.first().contains(QDir::toNativeSeparators(target)));
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(fileBytes(target + QStringLiteral("/innen.txt")), QByteArray("bleibt\r\n"));
}

void TestListCommands::trackLoadRedraws()
{
    loadCalibratedMap();
    const QImage withoutTrack = _window->mapView()->canvasImage();
    const QString track = tempPath(QStringLiteral("track.txt"));
    QVERIFY(QFile::copy(exampleTrack, track));
    answerTrackDialog(track);

    _window->findChild<QAction*>(QStringLiteral("tladen"))->trigger();

    QCOMPARE(_trackDialogs, 1);
    QCOMPARE(label("lbltrack")->text(), track);
    QVERIFY(_state->track.count > 100);
    QCOMPARE(_state->waypoints.count, int16_t(12));
    QCOMPARE(_state->waypoints.entries[1].name, QStringLiteral("GROSSERF"));
    const QImage withTrack = _window->mapView()->canvasImage();
    QVERIFY(withTrack != withoutTrack);

    // A file with one waypoint only: the old track leaves the screen at once.
    const QString other = tempPath(QStringLiteral("nur_punkt.csv"));
    QVERIFY(writeBytes(other, "W,ALLEIN,50.9635,14.0683,0,Summit,,,,,\r\n"));
    answerTrackDialog(other);
    _window->trackLaden();
    QCOMPARE(label("lbltrack")->text(), other);
    QCOMPARE(_state->track.count, int16_t(0));
    QCOMPARE(_state->waypoints.count, int16_t(1));
    const QImage oneWaypoint = _window->mapView()->canvasImage();
    QVERIFY(oneWaypoint != withTrack);
    QVERIFY(oneWaypoint != withoutTrack);
    QVERIFY(_messages.isEmpty());
}

void TestListCommands::trackLoadThatChangesNothing_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("cancelled") << QString();
    QTest::newRow("no file there") << QStringLiteral("fehlt.csv");
}

void TestListCommands::trackLoadThatChangesNothing()
{
    QFETCH(QString, answer);
    loadCalibratedMap();
    answerTrackDialog(exampleTrack);
    _window->trackLaden();
    const int16_t points = _state->track.count;
    const QImage shown = _window->mapView()->canvasImage();

    answerTrackDialog(answer.isEmpty() ? answer : tempPath(answer));
    _window->trackLaden();

    QCOMPARE(label("lbltrack")->text(), exampleTrack);
    QCOMPARE(_state->track.count, points);
    QCOMPARE(_state->waypoints.count, int16_t(12));
    QCOMPARE(_window->mapView()->canvasImage(), shown);
}

// Events are handled between the lines of a load, so the user can start
// any command then. Each one is refused; the load ends with the whole file
// in the table, and nothing else has changed.
void TestListCommands::commandDuringLoadIsRefused_data()
{
    QTest::addColumn<QString>("command");
    for (const char* c : {"second load", "second load from the menu", "save", "track load", "map load",
                          "map save", "assignment", "click on the map"})
        QTest::newRow(c) << QString::fromLatin1(c);
}

void TestListCommands::commandDuringLoadIsRefused()
{
    QFETCH(QString, command);
    loadCalibratedMap();
    // A dialog open before the load, with a candidate from the map and a
    // summit of the old list selected.
    answerSummitDialog(exampleList);
    _window->gipfellisteLaden();
    QTest::mouseClick(_window->mapView(), Qt::LeftButton, {}, QPoint(200, 150));
    KoordinatenDialog* dialog = _window->koordinatenDialog();
    QVERIFY(dialog);
    auto* gliste = dialog->findChild<QListWidget*>(QStringLiteral("gliste"));
    QVERIFY(gliste);
    QVERIFY(dialog->candidateLatitude() != 0);
    const MarkedPoint marked = _state->markedPoint;

    const QString other = tempPath(QStringLiteral("andere.txt"));
    QVERIFY(writeBytes(other, "$GIPFEL:\r\nGIPFELNAME_D\r\nX\r\n"));
    const QString saved = tempPath(QStringLiteral("gespeichert.txt"));
    const QString mapCopy = tempPath(QStringLiteral("beispielkarte.bmp"));
    const QByteArray mapBytes = fileBytes(mapCopy);
    int extraDialogs = 0;
    bool ran = false;

    answerSummitDialog(exampleList);
    duringLoad(5, [&] {
        ran = true;
        const QString answer = command == QLatin1String("save") ? saved : other;
        _window->commonDialog2().setChooserForTests([&, answer](const QString&, const QString&) {
            ++extraDialogs;
            return answer;
        });
        _window->commonDialog1().setChooserForTests([&](const QString&, const QString&) {
            ++extraDialogs;
            return exampleMap;
        });
        answerTrackDialog(exampleTrack);
        if (command == QLatin1String("second load")) {
            _window->gipfellisteLaden();
        } else if (command == QLatin1String("second load from the menu")) {
            _window->findChild<QAction*>(QStringLiteral("gladen"))->trigger();
        } else if (command == QLatin1String("save")) {
            _window->gipfellisteSpeichern();
        } else if (command == QLatin1String("track load")) {
            _window->trackLaden();
        } else if (command == QLatin1String("map load")) {
            _window->karteLaden();
            QVERIFY(!_window->karteLadenVon(exampleMap));
        } else if (command == QLatin1String("map save")) {
            _window->karteAbspeichern();
        } else if (command == QLatin1String("assignment")) {
            gliste->setCurrentRow(2);
            dialog->findChild<QPushButton*>(QStringLiteral("zuordnen"))->click();
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("zuordnen")), Qt::LeftButton);
        } else if (command == QLatin1String("click on the map")) {
            QTest::mouseClick(_window->mapView(), Qt::RightButton, {}, QPoint(300, 300));
        }
    });
    _window->gipfellisteLaden();

    QVERIFY(ran);
    QVERIFY(!_window->summitListLoading());
    QVERIFY(sameSummits(_state->summits, exampleSummits()));
    QCOMPARE(extraDialogs, 0);
    QCOMPARE(_trackDialogs, 0);
    QCOMPARE(_state->track.count, int16_t(0));
    QVERIFY(!QFileInfo::exists(saved));
    QCOMPARE(fileBytes(mapCopy), mapBytes);
    QCOMPARE(label("lblkdatei")->text(), mapCopy);
    QCOMPARE(_state->markedPoint.x, marked.x);
    QCOMPARE(_state->markedPoint.y, marked.y);
    QVERIFY(!_window->calibDialog());
    QVERIFY(_messages.isEmpty());
    // Everything works again afterwards, and the dialog lists the new table.
    QVERIFY(dialog->isEnabled());
    QVERIFY(_window->mapView()->isEnabled());
    QVERIFY(_window->findChild<QAction*>(QStringLiteral("gladen"))->isEnabled());
    QCOMPARE(gliste->count(), int(_state->summits.count));
}

void TestListCommands::closeDuringLoadClosesAfterIt()
{
    answerSummitDialog(exampleList);
    bool openDuringLoad = false;
    duringLoad(5, [&] {
        _window->findChild<QAction*>(QStringLiteral("ende"))->trigger();
        QVERIFY(!_window->close());
        openDuringLoad = _window->isVisible();
    });
    _window->gipfellisteLaden();
    QVERIFY(openDuringLoad);
    QVERIFY(sameSummits(_state->summits, exampleSummits()));
    QVERIFY(!_window->isVisible());
}

void TestListCommands::windowDestroyedDuringLoad()
{
    answerSummitDialog(exampleList);
    MainWindow* window = _window.get();
    duringLoad(5, [&] { _window.reset(); });
    window->gipfellisteLaden();
    QVERIFY(!_window);
    // The reader kept going without the window; the table is whole.
    QVERIFY(sameSummits(_state->summits, exampleSummits()));
}

QTEST_MAIN(TestListCommands)
#include "tst_listcommands.moc"
