#include "assignment/koordinatendialog.h"
#include "calibration/calibrationmodel.h"
#include "state/programstate.h"
#include "support/widgettests.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace karte;
using namespace karte::test;

namespace {

template <typename T>
T* child(QWidget* dialog, const char* name)
{
    T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

QString label(QWidget* dialog)
{
    return child<QLabel>(dialog, "lblkoordinaten")->text();
}

// Two summits (the second with a Czech name only) and two waypoints.
void fill(ProgramState& state)
{
    Summit& a = state.summits.entries[0];
    a.GEBIET = QStringLiteral("Sächsische Schweiz");
    a.TEILGEBIET = QStringLiteral("Schrammsteine");
    a.GIPFELNR = 12;
    a.GIPFELNAME_D = QStringLiteral("Falkenstein");
    a.GIPFELOST = 14.1985;
    a.GIPFELNORD = 50.9137;
    a.POSFEHLER = 10;
    a.TYP = QStringLiteral("W");
    Summit& b = state.summits.entries[1];
    b.GEBIET = QStringLiteral("Böhmische Schweiz");
    b.TEILGEBIET = QStringLiteral("Tyssa");
    b.GIPFELNR = 3.5f;
    b.GIPFELNAME_CZ = QStringLiteral("Čapka");
    b.POSFEHLER = -5;
    state.summits.count = 2;

    state.waypoints.entries[1] = {50.85, 14.25, QStringLiteral("WP1"), QStringLiteral("Gipfelkreuz")};
    state.waypoints.entries[2] = {50.8765432, 14.0, QStringLiteral("WP2"), QString()};
    state.waypoints.count = 2;
}

// Clicks a list line as the user would.
void clickLine(QListWidget* list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

QStringList lines(QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}


// A shown dialog, so that the first resize has filled the lists.
struct Shown {
    explicit Shown(ProgramState& state)
        : dialog(state, [this] { ++redraws; })
    {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            qFatal("dialog not exposed");
    }
    int redraws = 0;
    KoordinatenDialog dialog;
};

} // namespace

class TestKoordinatenDialog : public QObject {
    Q_OBJECT

private slots:
    void controlsAsDesigned();
    void kartenpunkt_data();
    void kartenpunkt();
    void listLines();
    void waypointClick();
    void badErrorTextKeepsError_data();
    void badErrorTextKeepsError();
    void assignment();
    void zeroCoordinateNeverAssigned_data();
    void zeroCoordinateNeverAssigned();
    void uncalibratedPointAssignable();
    void emptyTables();
    void layout();
    void minimisedKeepsLists();
    void closeDiscards();
};

void TestKoordinatenDialog::controlsAsDesigned()
{
    ProgramState state;
    KoordinatenDialog dialog(state, {});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Koordinaten"));
    QCOMPARE(dialog.objectName(), QStringLiteral("Koordinaten"));
    QVERIFY(dialog.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dialog.size(), QSize(509, 323));
    const QColor green(192, 255, 192);
    QVERIFY(dialog.autoFillBackground());
    QCOMPARE(dialog.palette().color(QPalette::Window), green);
    QCOMPARE(child<QLabel>(&dialog, "lblkoordinaten")->palette().color(QPalette::Window), green);
    QCOMPARE(child<QLabel>(&dialog, "Label1")->palette().color(QPalette::Window), green);
    QCOMPARE(child<QLabel>(&dialog, "Label1")->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    QCOMPARE(child<QLabel>(&dialog, "Label1")->text(), QStringLiteral("Fehler"));
    QCOMPARE(child<QLineEdit>(&dialog, "fehlertxt")->text(), QStringLiteral("10"));
    QCOMPARE(child<QPushButton>(&dialog, "zuordnen")->text(), QStringLiteral("Koordinate zuordnen"));
    QCOMPARE(child<QPushButton>(&dialog, "zuordnen")->geometry(), QRect(176, 16, 129, 17));
    QCOMPARE(child<QLineEdit>(&dialog, "fehlertxt")->geometry(), QRect(80, 24, 33, 19));
    QCOMPARE(tabChain(&dialog, child<QWidget>(&dialog, "kliste")),
             QStringList({"kliste", "gliste", "zuordnen", "fehlertxt"}));

    auto* parent = new QWidget;
    QPointer<KoordinatenDialog> owned = new KoordinatenDialog(state, {}, parent);
    QVERIFY(owned->isWindow());
    delete parent;
    QVERIFY(owned.isNull());
}

void TestKoordinatenDialog::kartenpunkt_data()
{
    QTest::addColumn<bool>("calibrated");
    QTest::addColumn<QString>("expected");
    QTest::newRow("uncalibrated: pixel position") << false << QStringLiteral("N 200 O 300.5 ( 300.5, 200)");
    QTest::newRow("calibrated")
        << true << QStringLiteral("N 50.9301702636 O 14.1346423510672 ( 300.5, 200)");
}

void TestKoordinatenDialog::kartenpunkt()
{
    QFETCH(bool, calibrated);
    QFETCH(QString, expected);
    ProgramState state;
    if (calibrated) {
        calibration::setReferencePoint(state, 1, 112, 830, 14.1203, 50.8711);
        calibration::setReferencePoint(state, 2, 975, 245, 14.2318, 50.9346);
    }
    // The dialog's load takes the marked point as candidate.
    state.markedPoint = {300.5f, 200};
    KoordinatenDialog dialog(state, {});
    QCOMPARE(label(&dialog), expected);
    QCOMPARE(dialog.candidateError(), int16_t(49));
    const GeoPoint g = calibration::forward(state.calibration, 300.5f, 200);
    QCOMPARE(dialog.candidateLatitude(), g.latitude);
    QCOMPARE(dialog.candidateLongitude(), g.longitude);

    // A later mark replaces the candidate.
    state.markedPoint = {1, 2};
    dialog.kartenpunkt();
    QVERIFY(label(&dialog).endsWith(QStringLiteral(" ( 1, 2)")));
}

void TestKoordinatenDialog::listLines()
{
    ProgramState state;
    fill(state);
    Shown shown(state);
    QCOMPARE(lines(child<QListWidget>(&shown.dialog, "gliste")),
             QStringList({" 12,Falkenstein,Schrammsteine,Sächsische Schweiz, 14.1985, 50.9137, 10W",
                          " 3.5,Čapka,Tyssa,Böhmische Schweiz, 0, 0,-5"}));
    QCOMPARE(lines(child<QListWidget>(&shown.dialog, "kliste")),
             QStringList({"WP1,Gipfelkreuz,N 50.85 O 14.25", "WP2,,N 50.8765432 O 14"}));
}

void TestKoordinatenDialog::waypointClick()
{
    ProgramState state;
    fill(state);
    Shown shown(state);
    clickLine(child<QListWidget>(&shown.dialog, "kliste"), 0);
    QCOMPARE(shown.dialog.candidateLatitude(), 50.85);
    QCOMPARE(shown.dialog.candidateLongitude(), 14.25);
    QCOMPARE(shown.dialog.candidateError(), int16_t(10));
    QCOMPARE(label(&shown.dialog), QStringLiteral("N 50.85 O 14.25"));

    // The error is read at the click; a later edit changes nothing until the next one.
    child<QLineEdit>(&shown.dialog, "fehlertxt")->setText(QStringLiteral(" 24.5 "));
    QCOMPARE(shown.dialog.candidateError(), int16_t(10));
    clickLine(child<QListWidget>(&shown.dialog, "kliste"), 1);
    QCOMPARE(shown.dialog.candidateError(), int16_t(24));
    QCOMPARE(shown.dialog.candidateLatitude(), 50.8765432);

    // The arrow keys pick a line as a click does.
    auto* kliste = child<QListWidget>(&shown.dialog, "kliste");
    kliste->setFocus();
    QTest::keyClick(kliste, Qt::Key_Up);
    QCOMPARE(shown.dialog.candidateLatitude(), 50.85);
}

void TestKoordinatenDialog::badErrorTextKeepsError_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("no number") << QStringLiteral("abc");
    QTest::newRow("above 16 bits") << QStringLiteral("40000");
    QTest::newRow("below 16 bits") << QStringLiteral("-32769");
    QTest::newRow("empty") << QString();
}

void TestKoordinatenDialog::badErrorTextKeepsError()
{
    QFETCH(QString, text);
    ProgramState state;
    fill(state);
    Shown shown(state);
    auto* kliste = child<QListWidget>(&shown.dialog, "kliste");
    auto* fehlertxt = child<QLineEdit>(&shown.dialog, "fehlertxt");
    fehlertxt->setText(QStringLiteral("25"));
    clickLine(kliste, 0);
    QCOMPARE(shown.dialog.candidateError(), int16_t(25));
    QVERIFY(fehlertxt->styleSheet().isEmpty());

    fehlertxt->setText(text);
    clickLine(kliste, 1);
    QCOMPARE(shown.dialog.candidateError(), int16_t(25));
    QCOMPARE(shown.dialog.candidateLatitude(), 50.8765432); // the waypoint is taken all the same
    QVERIFY(fehlertxt->styleSheet().contains(QStringLiteral("red")));

    fehlertxt->setText(QStringLiteral("-32768"));
    clickLine(kliste, 0);
    QCOMPARE(shown.dialog.candidateError(), int16_t(-32768));
    QVERIFY(fehlertxt->styleSheet().isEmpty());
}

void TestKoordinatenDialog::assignment()
{
    ProgramState state;
    fill(state);
    Shown shown(state);
    auto* gliste = child<QListWidget>(&shown.dialog, "gliste");
    auto* zuordnen = child<QPushButton>(&shown.dialog, "zuordnen");
    clickLine(child<QListWidget>(&shown.dialog, "kliste"), 0);
    clickLine(gliste, 1);
    QTest::mouseClick(zuordnen, Qt::LeftButton);

    const Summit& b = state.summits.entries[1];
    QCOMPARE(b.GIPFELNORD, 50.85);
    QCOMPARE(b.GIPFELOST, 14.25);
    QCOMPARE(b.POSFEHLER, int16_t(10));
    QCOMPARE(shown.redraws, 1);
    QCOMPARE(gliste->item(1)->text(), QStringLiteral(" 3.5,Čapka,Tyssa,Böhmische Schweiz, 14.25, 50.85, 10"));
    QCOMPARE(gliste->selectedItems().size(), 1);
    QCOMPARE(gliste->row(gliste->selectedItems().first()), 1);
    QCOMPARE(shown.dialog.candidateLatitude(), 0.0);
    QCOMPARE(shown.dialog.candidateLongitude(), 0.0);
    QCOMPARE(shown.dialog.candidateError(), int16_t(10));

    // Without a new candidate a second press changes nothing, here or elsewhere.
    clickLine(gliste, 0);
    QTest::mouseClick(zuordnen, Qt::LeftButton);
    QCOMPARE(state.summits.entries[0].GIPFELOST, 14.1985);
    QCOMPARE(state.summits.entries[0].POSFEHLER, int16_t(10));
    QCOMPARE(shown.redraws, 1);
}

void TestKoordinatenDialog::zeroCoordinateNeverAssigned_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::newRow("latitude 0") << 0.0 << 14.25;
    QTest::newRow("longitude 0") << 50.85 << 0.0;
    QTest::newRow("both 0") << 0.0 << 0.0;
}

void TestKoordinatenDialog::zeroCoordinateNeverAssigned()
{
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    ProgramState state;
    fill(state);
    state.waypoints.entries[1].latitude = latitude;
    state.waypoints.entries[1].longitude = longitude;
    Shown shown(state);
    clickLine(child<QListWidget>(&shown.dialog, "kliste"), 0);
    clickLine(child<QListWidget>(&shown.dialog, "gliste"), 0);
    QTest::mouseClick(child<QPushButton>(&shown.dialog, "zuordnen"), Qt::LeftButton);
    QCOMPARE(state.summits.entries[0].GIPFELNORD, 50.9137);
    QCOMPARE(state.summits.entries[0].GIPFELOST, 14.1985);
    QCOMPARE(shown.redraws, 0);
}

void TestKoordinatenDialog::uncalibratedPointAssignable()
{
    ProgramState state;
    fill(state);
    state.markedPoint = {300, 200};
    Shown shown(state);
    QCOMPARE(label(&shown.dialog), QStringLiteral("N 200 O 300 ( 300, 200)"));
    clickLine(child<QListWidget>(&shown.dialog, "gliste"), 0);
    QTest::mouseClick(child<QPushButton>(&shown.dialog, "zuordnen"), Qt::LeftButton);
    QCOMPARE(state.summits.entries[0].GIPFELNORD, 200.0);
    QCOMPARE(state.summits.entries[0].GIPFELOST, 300.0);
    QCOMPARE(state.summits.entries[0].POSFEHLER, int16_t(49));
    QCOMPARE(shown.redraws, 1);
}

void TestKoordinatenDialog::emptyTables()
{
    ProgramState state;
    state.markedPoint = {300, 200};
    Shown shown(state);
    QCOMPARE(child<QListWidget>(&shown.dialog, "gliste")->count(), 0);
    QCOMPARE(child<QListWidget>(&shown.dialog, "kliste")->count(), 0);
    QTest::mouseClick(child<QPushButton>(&shown.dialog, "zuordnen"), Qt::LeftButton);
    QCOMPARE(shown.redraws, 0);
    QCOMPARE(shown.dialog.candidateLatitude(), 200.0); // candidate untouched
}

void TestKoordinatenDialog::layout()
{
    ProgramState state;
    fill(state);
    Shown shown(state);
    auto* kliste = child<QListWidget>(&shown.dialog, "kliste");
    auto* gliste = child<QListWidget>(&shown.dialog, "gliste");
    // 7635 x 4845 twips: lists 3767.5 -> 251 px wide, 4245 -> 283 px high;
    // gliste at 251 * 15 + 100 = 3865 twips -> 258 px.
    QCOMPARE(kliste->geometry(), QRect(3, 40, 251, 283));
    QCOMPARE(gliste->geometry(), QRect(258, 40, 251, 283));

    // A resize rebuilds the lists (a summit loaded meanwhile shows up) and
    // clears their selections.
    clickLine(gliste, 0);
    state.summits.entries[2].GIPFELNAME_D = QStringLiteral("Neu");
    state.summits.count = 3;
    shown.dialog.resize(600, 400);
    QTRY_COMPARE(shown.dialog.size(), QSize(600, 400));
    QCOMPARE(gliste->count(), 3);
    QVERIFY(gliste->selectedItems().isEmpty());
    QCOMPARE(kliste->geometry(), QRect(3, 40, 297, 360));
    QCOMPARE(gliste->geometry(), QRect(304, 40, 297, 360));

    // Below the guards the sizes stay.
    shown.dialog.resize(13, 20);
    QTRY_COMPARE(shown.dialog.size(), QSize(13, 20));
    QCOMPARE(kliste->geometry(), QRect(3, 40, 297, 360));
    QCOMPARE(gliste->geometry(), QRect(304, 40, 297, 360));
}

void TestKoordinatenDialog::minimisedKeepsLists()
{
    ProgramState state;
    fill(state);
    Shown shown(state);
    shown.dialog.showMinimized();
    QTRY_VERIFY(shown.dialog.isMinimized());
    state.summits.count = 1;
    shown.dialog.listenaktualisieren();
    QCOMPARE(child<QListWidget>(&shown.dialog, "gliste")->count(), 2);
    shown.dialog.showNormal();
    QTRY_VERIFY(!shown.dialog.isMinimized());
    shown.dialog.listenaktualisieren();
    QCOMPARE(child<QListWidget>(&shown.dialog, "gliste")->count(), 1);
}

void TestKoordinatenDialog::closeDiscards()
{
    ProgramState state;
    fill(state);
    QPointer<KoordinatenDialog> dialog = new KoordinatenDialog(state, {});
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    dialog->close();
    QTRY_VERIFY(dialog.isNull());
    QCOMPARE(state.summits.count, int16_t(2));
}

QTEST_MAIN(TestKoordinatenDialog)
#include "tst_koordinatendialog.moc"
