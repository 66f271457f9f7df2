// The typical use of the program from start to end with the example data:
// calibrate an uncalibrated copy of the example map against two summits of
// the example list, read a position, save and reload the map, correct two
// summits (one from the map, one from a GPS waypoint) and save the list.
// Everything goes through the menus, the mouse on the canvas and the
// dialogs' own controls; only the file dialogs and message boxes are replaced.
#include "assignment/koordinatendialog.h"
#include "calibration/calibdialog.h"
#include "mainwindow/mainwindow.h"
#include "platform/usermessage.h"
#include "state/programstate.h"
#include "view/mapviewwidget.h"
#include "support/testfiles.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace karte;
using namespace karte::test;

namespace {

// Hill tops of the example map (examples/README.md): image pixel and place.
struct Hill {
    int x;
    int y;
    double longitude;
    double latitude;
};
const Hill H01{212, 205, 14.0683, 50.9635};   // "Schwarze Nadel" stands here
const Hill H37{2613, 1911, 14.3140, 50.8614}; // "Hüttenbachbaude"
const Hill H20{1422, 1005, 14.1919, 50.9158}; // "Mönchskopf"
const Hill H39{2749, 813, 14.3237, 50.9308};  // no summit of the list yet


QStringList windows1250Lines(const QByteArray& bytes)
{
    QStringDecoder decode("windows-1250");
    QString text = decode(bytes);
    if (!text.endsWith(QStringLiteral("\r\n")))
        return {};
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

// "Ost: 14.19191 Nord: 50.91581 1234.5m" -> longitude and latitude.
bool readOut(const QString& text, double& longitude, double& latitude)
{
    static const QRegularExpression pattern(QStringLiteral("^Ost:\\s*([-0-9.]+)\\s*Nord:\\s*([-0-9.]+)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    longitude = m.captured(1).toDouble();
    latitude = m.captured(2).toDouble();
    return true;
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void typicalUse();

private:
    template <typename T>
    T* child(QObject* parent, const char* name)
    {
        auto* c = parent->findChild<T*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no child %s", name);
        return c;
    }
    QString labelText(const char* name) { return child<QLabel>(_window.get(), name)->text(); }
    void menu(const char* item) { child<QAction>(_window.get(), item)->trigger(); }
    // Scrolls the view so that the image pixel lies on the canvas and
    // returns where it is there.
    QPoint canvasPointOf(int x, int y);
    void clickGridRowOf(CalibDialog* dialog, const QString& name);
    void clickListRow(QListWidget* list, int row);

    std::unique_ptr<ProgramState> _state;
    std::unique_ptr<MainWindow> _window;
};

QPoint TestEndToEnd::canvasPointOf(int x, int y)
{
    auto* xScroll = child<QScrollBar>(_window.get(), "xScroll");
    auto* yScroll = child<QScrollBar>(_window.get(), "yScroll");
    xScroll->setValue(std::max(0, x - 150));
    yScroll->setValue(std::max(0, y - 100));
    return QPoint(x - xScroll->value(), y - yScroll->value());
}

void TestEndToEnd::clickGridRowOf(CalibDialog* dialog, const QString& name)
{
    auto* grid = child<QTableWidget>(dialog, "ggrid");
    const QList<QTableWidgetItem*> found = grid->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    grid->scrollToItem(found.first());
    const QRect cell = grid->visualItemRect(found.first());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void TestEndToEnd::clickListRow(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    QVERIFY(item);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    QCOMPARE(list->currentRow(), row);
}

void TestEndToEnd::typicalUse()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString map = dir.filePath(QStringLiteral("beispielkarte.bmp"));
    const QString list = dir.filePath(QStringLiteral("gipfelliste.txt"));
    const QString track = dir.filePath(QStringLiteral("track.txt"));
    const QString savedList = dir.filePath(QStringLiteral("korrigiert.txt"));
    QVERIFY(QFile::copy(QStringLiteral(KARTE_EXAMPLES "/beispielkarte.bmp"), map));
    QVERIFY(QFile::copy(QStringLiteral(KARTE_EXAMPLES "/gipfelliste.txt"), list));
    QVERIFY(QFile::copy(QStringLiteral(KARTE_EXAMPLES "/track.txt"), track));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("beispielkarte.cal"))));

    QStringList messages;
    setUserMessageSinkForTests([&messages](const QString& text) { messages << text; });
    _state = std::make_unique<ProgramState>();
    _window = std::make_unique<MainWindow>(*_state);
    _window->resize(1000, 760);
    _window->show();
    QVERIFY(QTest::qWaitForWindowExposed(_window.get()));
    _window->commonDialog1().setChooserForTests([&map](const QString&, const QString&) { return map; });
    _window->commonDialog3().setChooserForTests([&track](const QString&, const QString&) { return track; });
    QString summitAnswer = list;
    _window->commonDialog2().setChooserForTests(
        [&summitAnswer](const QString&, const QString&) { return summitAnswer; });
    MapViewWidget* canvas = _window->mapView();

    // Load the map: nothing beside it, so it stays uncalibrated.
    menu("Laden");
    QCOMPARE(labelText("lblkdatei"), map);
    QVERIFY(!_state->calibration.isCalibrated());
    QTest::mouseMove(canvas, canvasPointOf(H20.x, H20.y));
    QVERIFY(labelText("cursorpos").endsWith(QStringLiteral(" uncal")));

    menu("gladen");
    QCOMPARE(labelText("lblgdatei"), list);
    QCOMPARE(_state->summits.count, int16_t(40));

    // Reference point 1: right-click the hill of "Schwarze Nadel" and take
    // its degrees from the grid.
    QTest::mouseClick(canvas, Qt::RightButton, {}, canvasPointOf(H01.x, H01.y));
    CalibDialog* calib = _window->calibDialog();
    QVERIFY(calib);
    QCOMPARE(_state->markedPoint.x, float(H01.x));
    QCOMPARE(_state->markedPoint.y, float(H01.y));
    clickGridRowOf(calib, QStringLiteral("Schwarze Nadel"));
    QCOMPARE(child<QLineEdit>(calib, "lgrdtxt")->text(), QStringLiteral(" 14.0683"));
    QCOMPARE(child<QLineEdit>(calib, "bgrdtxt")->text(), QStringLiteral(" 50.9635"));
    QTest::mouseClick(child<QPushButton>(calib, "Kal1"), Qt::LeftButton);
    QCOMPARE(_state->calibration.cx1, float(H01.x));
    QCOMPARE(_state->calibration.Lgrd1, 14.0683);

    // Reference point 2 at the far corner: "Hüttenbachbaude".
    QTest::mouseClick(canvas, Qt::RightButton, {}, canvasPointOf(H37.x, H37.y));
    QCOMPARE(_window->calibDialog(), calib);
    clickGridRowOf(calib, QStringLiteral("Hüttenbachbaude"));
    QTest::mouseClick(child<QPushButton>(calib, "Kal2"), Qt::LeftButton);
    QCOMPARE(_state->calibration.cy2, float(H37.y));
    QCOMPARE(_state->calibration.Bgrd2, 50.8614);
    QVERIFY(_state->calibration.isCalibrated());
    QVERIFY(child<QLabel>(calib, "kalibkoeff")->text().contains(QStringLiteral("Nordabweichung 2.")));

    // The map is drawn 2° off north at 7 m a pixel.
    _window->resize(1010, 760); // a layout pass rewrites the summary
    QTRY_VERIFY(labelText("lblkalib").startsWith(QStringLiteral("Nordabweichung 2.")));
    const QString summary = labelText("lblkalib");
    QVERIFY2(summary.contains(QStringLiteral("Maßstab:  7.0")) || summary.contains(QStringLiteral("Maßstab:  6.9")),
             qPrintable(summary));

    // Read a third hill's position off the map.
    const QPoint overH20 = canvasPointOf(H20.x, H20.y);
    QTest::mouseMove(canvas, overH20 + QPoint(5, 5));
    QTest::mouseMove(canvas, overH20);
    double longitude = 0;
    double latitude = 0;
    QVERIFY2(readOut(labelText("cursorpos"), longitude, latitude), qPrintable(labelText("cursorpos")));
    QVERIFY2(qAbs(longitude - H20.longitude) < 0.0002, qPrintable(labelText("cursorpos")));
    QVERIFY2(qAbs(latitude - H20.latitude) < 0.0002, qPrintable(labelText("cursorpos")));

    // Save the map and load it again: the calibration comes back from the
    // file beside it.
    const CalibrationRecord calibrated = _state->calibration;
    menu("abspeichern");
    QVERIFY(messages.isEmpty());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("beispielkarte.cal"))).isFile());
    menu("Laden");
    QCOMPARE(labelText("lblkalib"), summary);
    QCOMPARE(_state->calibration.cx1, calibrated.cx1);
    QCOMPARE(_state->calibration.cy2, calibrated.cy2);
    QCOMPARE(_state->calibration.Lgrd2, calibrated.Lgrd2);
    QCOMPARE(_state->calibration.Lx, calibrated.Lx);
    QCOMPARE(_state->calibration.By, calibrated.By);
    QVERIFY(qAbs(_state->calibration.B0 - calibrated.B0) < 1e-9);

    // A summit without a position yet gets one from the map: left-click its
    // hill, pick it in the list, assign.
    const int jungfernsprung = 6;
    QCOMPARE(_state->summits.entries[jungfernsprung].GIPFELNAME_D, QStringLiteral("Jungfernsprung"));
    QTest::mouseClick(canvas, Qt::LeftButton, {}, canvasPointOf(H39.x, H39.y));
    KoordinatenDialog* koordinaten = _window->koordinatenDialog();
    QVERIFY(koordinaten);
    auto* gliste = child<QListWidget>(koordinaten, "gliste");
    auto* kliste = child<QListWidget>(koordinaten, "kliste");
    QCOMPARE(gliste->count(), 40);
    clickListRow(gliste, jungfernsprung);
    QTest::mouseClick(child<QPushButton>(koordinaten, "zuordnen"), Qt::LeftButton);
    const Summit& placed = _state->summits.entries[jungfernsprung];
    QVERIFY(qAbs(placed.GIPFELOST - H39.longitude) < 0.0002);
    QVERIFY(qAbs(placed.GIPFELNORD - H39.latitude) < 0.0002);
    QCOMPARE(placed.POSFEHLER, int16_t(49));

    // The track brings waypoints; the open dialog lists them at once.
    menu("tladen");
    QCOMPARE(labelText("lbltrack"), track);
    QCOMPARE(_state->waypoints.count, int16_t(12));
    QCOMPARE(kliste->count(), 12);

    // Another summit without a position takes the first waypoint's, with a
    // typed position error.
    const int teufelsmuehle = 22;
    QCOMPARE(_state->summits.entries[teufelsmuehle].GIPFELNAME_D, QStringLiteral("Teufelsmühle"));
    auto* fehlertxt = child<QLineEdit>(koordinaten, "fehlertxt");
    fehlertxt->clear();
    QTest::keyClicks(fehlertxt, QStringLiteral("7"));
    clickListRow(kliste, 0);
    clickListRow(gliste, teufelsmuehle);
    QTest::mouseClick(child<QPushButton>(koordinaten, "zuordnen"), Qt::LeftButton);
    const Waypoint& first = _state->waypoints.entries[1];
    QCOMPARE(_state->summits.entries[teufelsmuehle].GIPFELNORD, first.latitude);
    QCOMPARE(_state->summits.entries[teufelsmuehle].GIPFELOST, first.longitude);
    QCOMPARE(_state->summits.entries[teufelsmuehle].POSFEHLER, int16_t(7));

    // Save the list under a new name and look at the written lines.
    summitAnswer = savedList;
    menu("gspeichern");
    QVERIFY(messages.isEmpty());
    QCOMPARE(labelText("lblgdatei"), list);
    const QStringList before = windows1250Lines(fileBytes(list));
    const QStringList after = windows1250Lines(fileBytes(savedList));
    QCOMPARE(after.size(), 42);
    QCOMPARE(after.size(), before.size());
    for (int line = 0; line < after.size(); ++line) {
        if (line == 2 + jungfernsprung || line == 2 + teufelsmuehle)
            continue;
        QCOMPARE(after[line], before[line]);
    }
    const QStringList placedLine = after[2 + jungfernsprung].split(u'\t');
    QCOMPARE(placedLine.size(), 9);
    QCOMPARE(placedLine.mid(0, 6), before[2 + jungfernsprung].split(u'\t').mid(0, 6));
    QVERIFY(qAbs(placedLine[6].toDouble() - H39.longitude) < 0.0002);
    QVERIFY(qAbs(placedLine[7].toDouble() - H39.latitude) < 0.0002);
    QCOMPARE(placedLine[8], QStringLiteral(" 49"));
    // The waypoint's degrees as the track file gave them (six decimals).
    const QByteArray trackBytes = fileBytes(track);
    const QList<QByteArray> firstWaypoint = trackBytes.left(trackBytes.indexOf('\r')).split(',');
    QCOMPARE(after[2 + teufelsmuehle],
             QStringLiteral("Kreuzbergland\tSüdhang\tTeufelsmühle\tČertův mlýn\tG\t 23\t %1\t %2\t 7")
                 .arg(QString::fromLatin1(firstWaypoint[3]), QString::fromLatin1(firstWaypoint[2])));

    _window.reset();
    setUserMessageSinkForTests({});
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
