#include "calibration/calibdialog.h"
#include "calibration/calibrationmodel.h"
#include "platform/twips.h"
#include "state/programstate.h"
#include "support/widgettests.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace karte;
using namespace karte::test;

namespace {

Summit summit(const QString& name, double longitude, double latitude, float number = 1, int16_t error = 10)
{
    Summit s;
    s.GEBIET = QStringLiteral("Sächsische Schweiz");
    s.TEILGEBIET = QStringLiteral("Schrammsteine");
    s.GIPFELNR = number;
    s.GIPFELNAME_D = name;
    s.GIPFELNAME_CZ = name + QStringLiteral("_cz");
    s.GIPFELOST = longitude;
    s.GIPFELNORD = latitude;
    s.POSFEHLER = error;
    s.TYP = QStringLiteral("G");
    return s;
}

void addSummit(ProgramState& state, const Summit& s)
{
    state.summits.entries[static_cast<size_t>(state.summits.count++)] = s;
}

template <typename T>
T* child(QWidget* dialog, const char* name)
{
    T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

QString text(QWidget* dialog, const char* name)
{
    return child<QLabel>(dialog, name)->text();
}

// Clicks the centre of a grid cell as the user would.
void clickCell(QTableWidget* grid, int row, int column)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}


const char* const startupKoeff = "lgrd= 0+ 1*X + 0*Y ;bgrd= 0+ 0*X + 1*Y ; Maßstabsverhältnis x/y: 1Nordabweichung 0°"
                                 "Maßstab:  0Meter/Pixel";

} // namespace

class TestCalibDialog : public QObject {
    Q_OBJECT

private slots:
    void controlsAsDesigned();
    void startupTexts();
    void hookLivesWithTheDialog();
    void gridListsSummitsWithLongitude();
    void emptySummitList();
    void rowClickCopiesCoordinates();
    void emptyRowCopiesEmptyTexts();
    void rowClickThenKal1();
    void kal1BeforeAnyMark();
    void workedExample();
    void markedPointShownUncut();
    void closeButtonDiscards();
    void layoutGuards_data();
    void layoutGuards();
    void columnWidthsFollowShares();
};

void TestCalibDialog::controlsAsDesigned()
{
    ProgramState state;
    CalibDialog dialog(state);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Kartenkalibration"));
    QCOMPARE(dialog.objectName(), QStringLiteral("calib"));
    QVERIFY(dialog.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dialog.size(), QSize(460, 355));
    QCOMPARE(child<QLineEdit>(&dialog, "lgrdtxt")->text(), QStringLiteral("0"));
    QCOMPARE(child<QLineEdit>(&dialog, "bgrdtxt")->text(), QStringLiteral("0"));
    QCOMPARE(child<QPushButton>(&dialog, "abbrechen")->text(), QStringLiteral("Schließen"));
    QCOMPARE(child<QPushButton>(&dialog, "Kal1")->text(), QStringLiteral("1. Kalibrierpunkt setzen"));
    QCOMPARE(child<QPushButton>(&dialog, "Kal2")->text(), QStringLiteral("2. Kalibrierpunkt setzen"));
    QVERIFY(child<QLabel>(&dialog, "kalibkoeff")->wordWrap());
    // twips / 15 = pixels
    QCOMPARE(child<QLineEdit>(&dialog, "lgrdtxt")->geometry(), QRect(104, 8, 105, 19));
    QCOMPARE(child<QPushButton>(&dialog, "Kal1")->geometry(), QRect(336, 64, 121, 25));
    QCOMPARE(child<QLabel>(&dialog, "kalibkoeff")->geometry(), QRect(0, 112, 401, 49));
    QCOMPARE(child<QTableWidget>(&dialog, "ggrid")->columnCount(), 8);

    QCOMPARE(tabChain(&dialog, child<QWidget>(&dialog, "lgrdtxt")),
             QStringList({"lgrdtxt", "bgrdtxt", "abbrechen", "Kal1", "Kal2", "ggrid"}));

    auto* parent = new QWidget;
    QPointer<CalibDialog> owned = new CalibDialog(state, parent);
    QVERIFY(owned->isWindow());
    delete parent;
    QVERIFY(owned.isNull());
}

void TestCalibDialog::startupTexts()
{
    ProgramState state;
    CalibDialog dialog(state);
    QCOMPARE(text(&dialog, "xwert"), QStringLiteral(" 0"));
    QCOMPARE(text(&dialog, "ywert"), QStringLiteral(" 0"));
    QCOMPARE(text(&dialog, "calib1"), QStringLiteral("X:  0:=  0grd, Y:  0:=  0grd"));
    QCOMPARE(text(&dialog, "calib2"), QStringLiteral("X:  0:=  0grd, Y:  0:=  0grd"));
    QCOMPARE(text(&dialog, "kalibkoeff"), QString::fromUtf8(startupKoeff));
}

void TestCalibDialog::hookLivesWithTheDialog()
{
    ProgramState state;
    auto dialog = std::make_unique<CalibDialog>(state);
    QVERIFY(state.textaktualisieren);
    state.markedPoint = {12.5f, 7};
    calibration::kalibrechnen(state);
    QCOMPARE(text(dialog.get(), "xwert"), QStringLiteral(" 12.5"));
    QCOMPARE(text(dialog.get(), "ywert"), QStringLiteral(" 7"));

    // A new dialog that took the hook keeps it when an older one goes.
    auto second = std::make_unique<CalibDialog>(state);
    dialog.reset();
    QVERIFY(state.textaktualisieren);
    second.reset();
    QVERIFY(!state.textaktualisieren);
    calibration::kalibrechnen(state); // no dialog: must not call into freed memory
}

void TestCalibDialog::gridListsSummitsWithLongitude()
{
    ProgramState state;
    addSummit(state, summit(QStringLiteral("Falkenstein"), 14.1985, 50.9137, 12, 10));
    addSummit(state, summit(QStringLiteral("Ohne Lage"), 0, 50.9, 13));
    addSummit(state, summit(QStringLiteral("Teufelsturm"), 14.2, 50.91, 2.5f, -3));
    CalibDialog dialog(state);
    auto* grid = child<QTableWidget>(&dialog, "ggrid");
    QCOMPARE(grid->rowCount(), 3);
    QVERIFY(!grid->verticalHeader()->isVisible() || grid->verticalHeader()->isHidden());
    for (int column = 0; column < 8; ++column) {
        const QTableWidgetItem* title = grid->horizontalHeaderItem(column);
        QVERIFY(!title || title->text().isEmpty());
    }
    const QStringList first{"Sächsische Schweiz", "Schrammsteine", " 12", "Falkenstein", "Falkenstein_cz",
                            " 14.1985",           " 50.9137",      " 10"};
    const QStringList second{"Sächsische Schweiz", "Schrammsteine", " 2.5", "Teufelsturm", "Teufelsturm_cz",
                             " 14.2",              " 50.91",        "-3"};
    for (int column = 0; column < 8; ++column) {
        QCOMPARE(grid->item(1, column)->text(), first[column]);
        QCOMPARE(grid->item(2, column)->text(), second[column]);
    }
}

void TestCalibDialog::emptySummitList()
{
    ProgramState state;
    CalibDialog dialog(state);
    auto* grid = child<QTableWidget>(&dialog, "ggrid");
    QCOMPARE(grid->rowCount(), 1);
    QVERIFY(grid->horizontalHeader()->isVisibleTo(&dialog));
    for (int column = 0; column < 8; ++column)
        QVERIFY(!grid->item(0, column) || grid->item(0, column)->text().isEmpty());
}

void TestCalibDialog::rowClickCopiesCoordinates()
{
    ProgramState state;
    addSummit(state, summit(QStringLiteral("Falkenstein"), 14.1985, 50.9137));
    CalibDialog dialog(state);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* grid = child<QTableWidget>(&dialog, "ggrid");
    clickCell(grid, 1, 2);
    QCOMPARE(child<QLineEdit>(&dialog, "lgrdtxt")->text(), QStringLiteral(" 14.1985"));
    QCOMPARE(child<QLineEdit>(&dialog, "bgrdtxt")->text(), QStringLiteral(" 50.9137"));
    QCOMPARE(grid->currentRow(), 1);
    QCOMPARE(grid->currentColumn(), 6);
}

void TestCalibDialog::emptyRowCopiesEmptyTexts()
{
    ProgramState state;
    addSummit(state, summit(QStringLiteral("Falkenstein"), 14.1985, 50.9137));
    CalibDialog dialog(state);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    state.markedPoint = {10, 20};
    child<QLineEdit>(&dialog, "lgrdtxt")->setText(QStringLiteral("14"));
    child<QLineEdit>(&dialog, "bgrdtxt")->setText(QStringLiteral("50"));
    QTest::mouseClick(child<QPushButton>(&dialog, "Kal1"), Qt::LeftButton);
    auto* grid = child<QTableWidget>(&dialog, "ggrid");
    clickCell(grid, 1, 0);
    clickCell(grid, 0, 3);
    QCOMPARE(child<QLineEdit>(&dialog, "lgrdtxt")->text(), QString());
    QCOMPARE(child<QLineEdit>(&dialog, "bgrdtxt")->text(), QString());
    QCOMPARE(grid->currentColumn(), 6);

    // Setting a point now uses 0 and 0 degrees, which point 1 does not share.
    state.markedPoint = {40, 60};
    QTest::mouseClick(child<QPushButton>(&dialog, "Kal2"), Qt::LeftButton);
    QCOMPARE(state.calibration.cx2, 40.0f);
    QCOMPARE(state.calibration.Lgrd2, 0.0);
    QCOMPARE(state.calibration.Bgrd2, 0.0);
    QCOMPARE(text(&dialog, "calib2"), QStringLiteral("X:  40:=  0grd, Y:  60:=  0grd"));
}

void TestCalibDialog::rowClickThenKal1()
{
    ProgramState state;
    addSummit(state, summit(QStringLiteral("Falkenstein"), 14.1985, 50.9137));
    CalibDialog dialog(state);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    state.markedPoint = {112.25f, 830};
    clickCell(child<QTableWidget>(&dialog, "ggrid"), 1, 4);
    QTest::mouseClick(child<QPushButton>(&dialog, "Kal1"), Qt::LeftButton);

    QCOMPARE(state.calibration.cx1, 112.25f);
    QCOMPARE(state.calibration.cy1, 830.0f);
    QCOMPARE(state.calibration.Lgrd1, 14.1985);
    QCOMPARE(state.calibration.Bgrd1, 50.9137);
    QCOMPARE(text(&dialog, "calib1"), QStringLiteral("X:  112.25:=  14.1985grd, Y:  830:=  50.9137grd"));
    QCOMPARE(text(&dialog, "xwert"), QStringLiteral(" 112.25"));
    QCOMPARE(text(&dialog, "ywert"), QStringLiteral(" 830"));
    QCOMPARE(state.markedPoint.x, 112.25f); // shown uncut, kept uncut
    // The text boxes keep their texts.
    QCOMPARE(child<QLineEdit>(&dialog, "lgrdtxt")->text(), QStringLiteral(" 14.1985"));
    QCOMPARE(child<QLineEdit>(&dialog, "bgrdtxt")->text(), QStringLiteral(" 50.9137"));
}

void TestCalibDialog::kal1BeforeAnyMark()
{
    ProgramState state;
    CalibDialog dialog(state);
    child<QLineEdit>(&dialog, "lgrdtxt")->setText(QStringLiteral("14.12,5"));
    child<QLineEdit>(&dialog, "bgrdtxt")->setText(QStringLiteral("50.87"));
    QTest::mouseClick(child<QPushButton>(&dialog, "Kal1"), Qt::LeftButton);
    // (0, 0) shares column and row with the unset point 2: the point is cleared.
    QCOMPARE(state.calibration.cx1, 0.0f);
    QCOMPARE(state.calibration.Lgrd1, 0.0);
    QCOMPARE(text(&dialog, "calib1"), QStringLiteral("X:  0:=  0grd, Y:  0:=  0grd"));
    QCOMPARE(text(&dialog, "kalibkoeff"), QString::fromUtf8(startupKoeff));
    QVERIFY(!state.calibration.isCalibrated());
}

void TestCalibDialog::workedExample()
{
    ProgramState state;
    CalibDialog dialog(state);
    auto* lgrd = child<QLineEdit>(&dialog, "lgrdtxt");
    auto* bgrd = child<QLineEdit>(&dialog, "bgrdtxt");

    state.markedPoint = {112, 830};
    lgrd->setText(QStringLiteral("14.1203"));
    bgrd->setText(QStringLiteral("50.8711"));
    QTest::mouseClick(child<QPushButton>(&dialog, "Kal1"), Qt::LeftButton);
    // One point alone computes nothing; the labels show it all the same.
    QCOMPARE(text(&dialog, "calib1"), QStringLiteral("X:  112:=  14.1203grd, Y:  830:=  50.8711grd"));
    QCOMPARE(text(&dialog, "kalibkoeff"), QString::fromUtf8(startupKoeff));

    state.markedPoint = {975, 245};
    lgrd->setText(QStringLiteral("14.2318"));
    bgrd->setText(QStringLiteral("50.9346"));
    QTest::mouseClick(child<QPushButton>(&dialog, "Kal2"), Qt::LeftButton);
    QCOMPARE(text(&dialog, "calib2"), QStringLiteral("X:  975:=  14.2318grd, Y:  245:=  50.9346grd"));
    QCOMPARE(text(&dialog, "kalibkoeff"),
             QString::fromUtf8("lgrd= 14.0877697522496+ 1.42714E-04*X + 1.993528E-05*Y ;"
                               "bgrd= 50.9443925427583+ 1.257193E-05*X +-9.000072E-05*Y ; "
                               "Maßstabsverhältnis x/y: .9991416Nordabweichung 7.95202°"
                               "Maßstab:  10.09717Meter/Pixel"));
    QCOMPARE(text(&dialog, "xwert"), QStringLiteral(" 975"));
    QCOMPARE(text(&dialog, "ywert"), QStringLiteral(" 245"));
}

void TestCalibDialog::markedPointShownUncut()
{
    ProgramState state;
    state.markedPoint = {84.089645f, 42.04482f};
    CalibDialog dialog(state);
    QCOMPARE(text(&dialog, "xwert"), QStringLiteral(" 84.08965"));
    QCOMPARE(text(&dialog, "ywert"), QStringLiteral(" 42.04482"));
    QCOMPARE(state.markedPoint.x, 84.089645f);

    // Later marks are not shown until a button press refreshes the texts.
    state.markedPoint = {5, 6};
    dialog.show();
    dialog.raise();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(text(&dialog, "xwert"), QStringLiteral(" 84.08965"));
}

void TestCalibDialog::closeButtonDiscards()
{
    ProgramState state;
    state.calibration.cx1 = 3;
    QPointer<CalibDialog> dialog = new CalibDialog(state);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QTest::mouseClick(child<QPushButton>(dialog, "abbrechen"), Qt::LeftButton);
    QTRY_VERIFY(dialog.isNull());
    QVERIFY(!state.textaktualisieren);
    QCOMPARE(state.calibration.cx1, 3.0f);
}

void TestCalibDialog::layoutGuards_data()
{
    QTest::addColumn<QSize>("client");  // pixels
    QTest::addColumn<QRect>("expected"); // grid geometry, pixels

    // The grid was laid out for 460 x 355 first: left 3, top 168, 457 x 187.
    QTest::newRow("designed size") << QSize(460, 355) << QRect(3, 168, 457, 187);
    QTest::newRow("taller and wider") << QSize(600, 500) << QRect(3, 168, 597, 332);
    QTest::newRow("300 twips high keeps the height") << QSize(600, 20) << QRect(3, 168, 597, 187);
    QTest::newRow("315 twips high empties the grid") << QSize(600, 21) << QRect(3, 168, 597, 0);
    QTest::newRow("200 twips wide keeps the width") << QSize(13, 400) << QRect(3, 168, 457, 232);
    QTest::newRow("210 twips wide") << QSize(14, 400) << QRect(3, 168, 11, 232);
}

void TestCalibDialog::layoutGuards()
{
    QFETCH(QSize, client);
    QFETCH(QRect, expected);
    ProgramState state;
    CalibDialog dialog(state);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* grid = child<QTableWidget>(&dialog, "ggrid");
    QCOMPARE(grid->geometry(), QRect(3, 168, 457, 187));
    const int column0 = grid->columnWidth(0);
    dialog.resize(client);
    QTRY_COMPARE(dialog.size(), client);
    QCOMPARE(grid->geometry(), expected);
    if (client.width() <= 13)
        QCOMPARE(grid->columnWidth(0), column0);
}

void TestCalibDialog::columnWidthsFollowShares()
{
    ProgramState state;
    CalibDialog dialog(state);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* grid = child<QTableWidget>(&dialog, "ggrid");
    const int column7 = grid->columnWidth(7);
    dialog.resize(615, 400); // grid 9180 twips wide
    QTRY_COMPARE(dialog.size(), QSize(615, 400));
    QCOMPARE(grid->width(), 612);
    // 9180 twips x 0.15 = 1377 -> 92 px; x 0.08 = 734.4 -> 734 -> 49 px; x 0.2 = 1836 -> 122 px;
    // x 0.12 = 1101.6 -> 1102 -> 73 px; x 0.1 = 918 -> 61 px.
    const QList<int> expected{92, 92, 49, 122, 73, 61, 61};
    for (int column = 0; column < 7; ++column)
        QCOMPARE(grid->columnWidth(column), expected[column]);
    QCOMPARE(grid->columnWidth(7), column7);
}

QTEST_MAIN(TestCalibDialog)
#include "tst_calibdialog.moc"
