#include "assignment/koordinatendialog.h"
#include "calibration/calibdialog.h"
#include "mainwindow/mainwindow.h"
#include "platform/canvas.h"
#include "state/programstate.h"
#include "view/mapviewwidget.h"
#include "view/pointerreadout.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <memory>
#include <utility>

using namespace karte;

namespace {

constexpr QRgb red = 0xffff0000;
constexpr QRgb mapGreen = 0xff008000;

// Keeps every drawing call as one line of text, in order.
class RecordingCanvas final : public Canvas {
public:
    QStringList calls;

    int width() const override { return 500; }
    int height() const override { return 300; }
    void line(int x1, int y1, int x2, int y2, int color) override
    {
        calls << QStringLiteral("line %1,%2 %3,%4 c%5").arg(x1).arg(y1).arg(x2).arg(y2).arg(color);
    }
    void rect(int x1, int y1, int x2, int y2, int color) override
    {
        calls << QStringLiteral("rect %1,%2 %3,%4 c%5").arg(x1).arg(y1).arg(x2).arg(y2).arg(color);
    }
    void circle(int x, int y, int radius, int color) override
    {
        calls << QStringLiteral("circle %1,%2 r%3 c%4").arg(x).arg(y).arg(radius).arg(color);
    }
    void pixel(int x, int y, int color) override { calls << QStringLiteral("pixel %1,%2 c%3").arg(x).arg(y).arg(color); }
    void setTextColor(int) override {}
    void setTextPosition(int, int) override {}
    void text(const QString& t) override { calls << QStringLiteral("text ") + t; }
};

// L0 13.5, Lx 0.0001, B0 51, By -0.0001: 0.0001 degrees of latitude, about
// 11.1 metres, a pixel.
void useSmallCalibration(CalibrationRecord& c)
{
    c.L0 = 13.5;
    c.Lx = 0.0001f;
    c.Ly = 0;
    c.B0 = 51;
    c.Bx = 0;
    c.By = -0.0001f;
}

} // namespace

class TestPointer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readout_data();
    void readout();
    void distanceFromAShiftClickedOrigin();
    void leftClickWithModifierSetsOrigin_data();
    void leftClickWithModifierSetsOrigin();
    void otherButtonsShowCalib_data();
    void otherButtonsShowCalib();
    void secondRightClickOnlyRaisesCalib();
    void closedDialogIsCreatedAgain();
    void minimisedDialogComesBack_data();
    void minimisedDialogComesBack();
    void leftClickShowsKoordinatenWithTheCandidate();
    void markerShape();
    void markerGoesWithTheNextRedraw();

private:
    QLabel* cursorpos() const;
    QScrollBar* bar(const char* name) const;
    // A plain green map larger than the canvas, drawn once.
    void loadMap();
    void moveTo(QPointF canvas);
    QRgb canvasPixel(int x, int y) const;

    std::unique_ptr<ProgramState> _state;
    std::unique_ptr<MainWindow> _window;
};

void TestPointer::init()
{
    _state = std::make_unique<ProgramState>();
    _window = std::make_unique<MainWindow>(*_state);
    _window->show();
    QVERIFY(QTest::qWaitForWindowExposed(_window.get()));
    // The read-out tables need canvas positions up to (110, 90).
    QVERIFY(_window->mapView()->width() > 200 && _window->mapView()->height() > 120);
}

void TestPointer::cleanup()
{
    _window.reset();
    _state.reset();
}

QLabel* TestPointer::cursorpos() const
{
    auto* label = _window->findChild<QLabel*>(QStringLiteral("cursorpos"));
    Q_ASSERT(label);
    return label;
}

QScrollBar* TestPointer::bar(const char* name) const
{
    auto* b = _window->findChild<QScrollBar*>(QString::fromLatin1(name));
    Q_ASSERT(b);
    return b;
}

void TestPointer::loadMap()
{
    QImage image(2000, 1500, QImage::Format_RGB32);
    image.fill(mapGreen);
    _window->setMapImage(image, QStringLiteral("/karten/gruen.bmp"));
    _window->setZoom(1);
    _window->kartemalen();
}

// Whole positions go through a real pointer movement, which starts off the
// canvas so that it is never a move to where the pointer already is.
// Fractions, and (0, 0), which the test library takes for the centre, go
// through the canvas signal.
void TestPointer::moveTo(QPointF canvas)
{
    const QPoint whole = canvas.toPoint();
    if (canvas == whole && !whole.isNull()) {
        QTest::mouseMove(_window.get(), QPoint(1, 1));
        QTest::mouseMove(_window->mapView(), whole);
    } else {
        emit _window->mapView()->moved(canvas);
    }
}

QRgb TestPointer::canvasPixel(int x, int y) const
{
    return std::as_const(*_window->mapView()).canvasImage().pixel(x, y);
}

void TestPointer::readout_data()
{
    QTest::addColumn<bool>("map");
    QTest::addColumn<float>("z");
    QTest::addColumn<int>("plusPresses");
    QTest::addColumn<int>("sx");
    QTest::addColumn<int>("sy");
    // L0, Lx, Ly, B0, Bx, By; empty keeps the start-up calibration.
    QTest::addColumn<QList<double>>("coefficients");
    QTest::addColumn<QPointF>("canvas");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("E");
    QTest::addColumn<double>("N");

    const QList<double> start;
    const QList<double> saxony{13.5, 0.0001, 0, 51, 0, -0.0001};
    const double east30 = 13.5 + double(0.0001f) * 30;
    const double north40 = 51 + double(-0.0001f) * 40;

    QTest::newRow("start-up, no map") << false << 1.0f << 0 << 0 << 0 << start << QPointF(100, 50)
                                      << "Ost: 100 Nord: 50 uncal" << 100.0 << 50.0;
    QTest::newRow("start-up, map loaded") << true << 1.0f << 0 << 0 << 0 << start << QPointF(100, 50)
                                          << "Ost: 100 Nord: 50 uncal" << 100.0 << 50.0;
    QTest::newRow("zoom 2, scrolled") << true << 2.0f << 0 << 10 << 20 << start << QPointF(101, 51)
                                      << "Ost: 60.5 Nord: 45.5 uncal" << 60.5 << 45.5;
    QTest::newRow("fractional canvas position")
        << false << 1.0f << 0 << 0 << 0 << start << QPointF(100.5, 50.25) << "Ost: 100.5 Nord: 50.25 uncal" << 100.5
        << 50.25;
    // x is 84.089645 in single precision; the cut must not round it up.
    QTest::newRow("one press of +, cut without rounding")
        << true << 1.0f << 1 << 0 << 0 << start << QPointF(100, 50) << "Ost: 84.08964 Nord: 42.04482 uncal"
        << double(84.089645f) << double(42.044823f);
    QTest::newRow("calibrated, two blanks before the distance")
        << false << 1.0f << 0 << 0 << 0 << saxony << QPointF(30, 40) << "Ost: 13.50299 Nord: 50.99600  555.5555m"
        << east30 << north40;
    QTest::newRow("negative east keeps its sign in the cut")
        << false << 1.0f << 0 << 0 << 0 << QList<double>{-13.5, 0.0001, 0, 51, 0, -0.0001} << QPointF(30, 40)
        << "Ost:-13.49700 Nord: 50.99600  555.5555m" << (east30 - 27) << north40;
    QTest::newRow("negative east, short") << false << 1.0f << 0 << 0 << 0
                                          << QList<double>{-13.5, 0, 0, 51, 0, -0.0001} << QPointF(0, 0)
                                          << "Ost:-13.5 Nord: 51  0m" << -13.5 << 51.0;
    QTest::newRow("L0 and B0 zero, other coefficients set: uncal")
        << false << 1.0f << 0 << 0 << 0 << QList<double>{0, 0.5, 0.25, 0, 0.1, 2} << QPointF(100, 50)
        << "Ost: 62.5 Nord: 110.0000 uncal" << 62.5 << (double(0.1f) * 100 + 100);
    QTest::newRow("L0 zero alone: calibrated")
        << false << 1.0f << 0 << 0 << 0 << QList<double>{0, 1, 0, 51, 0, -0.0001} << QPointF(30, 40)
        << "Ost: 30 Nord: 50.99600  555.5555m" << 30.0 << north40;
    QTest::newRow("B0 zero alone: calibrated")
        << false << 1.0f << 0 << 0 << 0 << QList<double>{13.5, 0.0001, 0, 0, 0, -0.0001} << QPointF(30, 40)
        << "Ost: 13.50299 Nord:-3.999999  555.5555m" << east30 << double(-0.0001f) * 40;
}

void TestPointer::readout()
{
    QFETCH(bool, map);
    QFETCH(float, z);
    QFETCH(int, plusPresses);
    QFETCH(int, sx);
    QFETCH(int, sy);
    QFETCH(QList<double>, coefficients);
    QFETCH(QPointF, canvas);
    QFETCH(QString, text);
    QFETCH(double, E);
    QFETCH(double, N);

    QCOMPARE(cursorpos()->text(), QStringLiteral("Position"));
    if (map)
        loadMap();
    _window->setZoom(z);
    auto* plus = _window->findChild<QPushButton*>(QStringLiteral("groesser"));
    QVERIFY(plus);
    for (int i = 0; i < plusPresses; ++i)
        plus->click();
    bar("xScroll")->setValue(sx);
    bar("yScroll")->setValue(sy);
    QCOMPARE(int(_state->mapView.sx), sx);
    QCOMPARE(int(_state->mapView.sy), sy);
    if (!coefficients.isEmpty()) {
        CalibrationRecord& c = _state->calibration;
        c.L0 = coefficients[0];
        c.Lx = float(coefficients[1]);
        c.Ly = float(coefficients[2]);
        c.B0 = coefficients[3];
        c.Bx = float(coefficients[4]);
        c.By = float(coefficients[5]);
    }

    moveTo(canvas);
    QCOMPARE(cursorpos()->text(), text);
    QCOMPARE(_window->pointerState().position.E, E);
    QCOMPARE(_window->pointerState().position.N, N);
}

void TestPointer::distanceFromAShiftClickedOrigin()
{
    useSmallCalibration(_state->calibration);
    QTest::mouseClick(_window->mapView(), Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 40));
    // 3-4-5 triangle: 50 pixels of 0.0001 degrees.
    moveTo(QPointF(60, 80));
    QVERIFY2(cursorpos()->text().endsWith(QStringLiteral("  555.5555m")), qPrintable(cursorpos()->text()));
    moveTo(QPointF(30, 40));
    QVERIFY2(cursorpos()->text().endsWith(QStringLiteral("  0m")), qPrintable(cursorpos()->text()));
    // A move with a button held reads out all the same.
    QTest::mousePress(_window->mapView(), Qt::RightButton, Qt::NoModifier, QPoint(30, 40));
    QTest::mouseMove(_window->mapView(), QPoint(60, 80));
    QVERIFY2(cursorpos()->text().endsWith(QStringLiteral("  555.5555m")), qPrintable(cursorpos()->text()));
    QTest::mouseRelease(_window->mapView(), Qt::RightButton, Qt::NoModifier, QPoint(60, 80));
}

void TestPointer::leftClickWithModifierSetsOrigin_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("X");
    QTest::addColumn<int>("originX");

    QTest::newRow("Shift, 2.5 to even 2") << Qt::KeyboardModifiers(Qt::ShiftModifier) << 5 << 2;
    QTest::newRow("Shift, 3.5 to even 4") << Qt::KeyboardModifiers(Qt::ShiftModifier) << 7 << 4;
    QTest::newRow("Ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier) << 7 << 4;
    QTest::newRow("Alt") << Qt::KeyboardModifiers(Qt::AltModifier) << 9 << 4;
    QTest::newRow("Shift+Ctrl+Alt") << (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier) << 11 << 6;
}

void TestPointer::leftClickWithModifierSetsOrigin()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, X);
    QFETCH(int, originX);

    _window->setZoom(2);
    QTest::mouseClick(_window->mapView(), Qt::LeftButton, modifiers, QPoint(X, 100));

    QCOMPARE(_state->markedPoint.x, float(X) / 2);
    QCOMPARE(_state->markedPoint.y, 50.0f);
    QCOMPARE(_window->pointerState().origin.x, originX);
    QCOMPARE(_window->pointerState().origin.y, 50);
    QCOMPARE(canvasPixel(X, 100), red);
    QCOMPARE(canvasPixel(X + 10, 100), red);
    QVERIFY(!_window->calibDialog());
    QVERIFY(!_window->koordinatenDialog());
}

void TestPointer::otherButtonsShowCalib_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("right") << Qt::RightButton << Qt::KeyboardModifiers();
    QTest::newRow("right with Shift") << Qt::RightButton << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("middle") << Qt::MiddleButton << Qt::KeyboardModifiers();
    QTest::newRow("middle with Ctrl") << Qt::MiddleButton << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void TestPointer::otherButtonsShowCalib()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    QTest::mouseClick(_window->mapView(), Qt::LeftButton, Qt::ShiftModifier, QPoint(12, 14));
    QTest::mouseClick(_window->mapView(), button, modifiers, QPoint(40, 30));

    QCOMPARE(_state->markedPoint.x, 40.0f);
    QCOMPARE(_state->markedPoint.y, 30.0f);
    QCOMPARE(canvasPixel(40, 30), red);
    QCOMPARE(_window->pointerState().origin.x, 12);
    QCOMPARE(_window->pointerState().origin.y, 14);
    QVERIFY(_window->calibDialog());
    QVERIFY(_window->calibDialog()->isVisible());
    QVERIFY(!_window->koordinatenDialog());
    auto* xwert = _window->calibDialog()->findChild<QLabel*>(QStringLiteral("xwert"));
    QVERIFY(xwert);
    QCOMPARE(xwert->text(), QStringLiteral(" 40"));
}

void TestPointer::secondRightClickOnlyRaisesCalib()
{
    QTest::mouseClick(_window->mapView(), Qt::RightButton, Qt::NoModifier, QPoint(40, 30));
    CalibDialog* first = _window->calibDialog();
    QVERIFY(first);
    QTest::mouseClick(_window->mapView(), Qt::RightButton, Qt::NoModifier, QPoint(70, 60));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(_window->calibDialog(), first);
    QCOMPARE(_window->findChildren<CalibDialog*>().size(), 1);
    QVERIFY(first->isVisible());
    // The dialog's texts keep the first point; its buttons will use the new one.
    QCOMPARE(first->findChild<QLabel*>(QStringLiteral("xwert"))->text(), QStringLiteral(" 40"));
    QCOMPARE(_state->markedPoint.x, 70.0f);
}

void TestPointer::closedDialogIsCreatedAgain()
{
    QTest::mouseClick(_window->mapView(), Qt::RightButton, Qt::NoModifier, QPoint(40, 30));
    QTest::mouseClick(_window->mapView(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 30));
    QPointer<CalibDialog> oldCalib = _window->calibDialog();
    QPointer<KoordinatenDialog> oldKoordinaten = _window->koordinatenDialog();
    QVERIFY(oldCalib && oldKoordinaten);
    QVERIFY(oldCalib->close());
    QVERIFY(oldKoordinaten->close());

    // Clicks before the closed dialogs have been deleted open fresh ones.
    QTest::mouseClick(_window->mapView(), Qt::RightButton, Qt::NoModifier, QPoint(70, 60));
    QTest::mouseClick(_window->mapView(), Qt::LeftButton, Qt::NoModifier, QPoint(70, 60));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(!oldCalib);
    QVERIFY(!oldKoordinaten);
    QVERIFY(_window->calibDialog() && _window->calibDialog()->isVisible());
    QVERIFY(_window->koordinatenDialog() && _window->koordinatenDialog()->isVisible());
    // A new calibration dialog loads again and shows the new point.
    QCOMPARE(_window->calibDialog()->findChild<QLabel*>(QStringLiteral("xwert"))->text(), QStringLiteral(" 70"));
    QVERIFY(_state->textaktualisieren);
}

void TestPointer::minimisedDialogComesBack_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("calibration dialog") << Qt::RightButton;
    QTest::newRow("coordinate dialog") << Qt::LeftButton;
}

void TestPointer::minimisedDialogComesBack()
{
    QFETCH(Qt::MouseButton, button);
    auto dialog = [&]() -> QWidget* {
        if (button == Qt::RightButton)
            return _window->calibDialog();
        return _window->koordinatenDialog();
    };
    QTest::mouseClick(_window->mapView(), button, Qt::NoModifier, QPoint(40, 30));
    QWidget* first = dialog();
    QVERIFY(first);
    first->showMinimized();
    QVERIFY(first->isMinimized());

    QTest::mouseClick(_window->mapView(), button, Qt::NoModifier, QPoint(70, 60));
    QCOMPARE(dialog(), first);
    QVERIFY(first->isVisible());
    QVERIFY(!first->isMinimized());
}

void TestPointer::leftClickShowsKoordinatenWithTheCandidate()
{
    useSmallCalibration(_state->calibration);

    QTest::mouseClick(_window->mapView(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
    KoordinatenDialog* dialog = _window->koordinatenDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(!_window->calibDialog());
    QCOMPARE(canvasPixel(30, 40), red);
    QCOMPARE(dialog->candidateLongitude(), 13.5 + double(0.0001f) * 30);
    QCOMPARE(dialog->candidateLatitude(), 51 + double(-0.0001f) * 40);
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("lblkoordinaten"));
    QVERIFY(label);
    QVERIFY2(label->text().endsWith(QStringLiteral("( 30, 40)")), qPrintable(label->text()));

    QTest::mouseClick(_window->mapView(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 60));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(_window->koordinatenDialog(), dialog);
    QCOMPARE(_window->findChildren<KoordinatenDialog*>().size(), 1);
    QCOMPARE(dialog->candidateLongitude(), 13.5 + double(0.0001f) * 50);
    QCOMPARE(dialog->candidateLatitude(), 51 + double(-0.0001f) * 60);
    QVERIFY2(label->text().endsWith(QStringLiteral("( 50, 60)")), qPrintable(label->text()));
    // The origin of the distance read-out is left alone.
    QCOMPARE(_window->pointerState().origin.x, 0);
    QCOMPARE(_window->pointerState().origin.y, 0);
}

void TestPointer::markerShape()
{
    RecordingCanvas canvas;
    pointer::drawMarker(canvas, 100, 50);
    const QStringList expected{QStringLiteral("line 107,43 93,57 c12"), QStringLiteral("line 107,57 93,43 c12"),
                               QStringLiteral("circle 100,50 r10 c12")};
    QCOMPARE(canvas.calls, expected);
}

void TestPointer::markerGoesWithTheNextRedraw()
{
    loadMap();
    QCOMPARE(canvasPixel(100, 80), mapGreen);
    QTest::mouseClick(_window->mapView(), Qt::LeftButton, Qt::ControlModifier, QPoint(100, 80));

    const QPoint markerPixels[] = {{100, 80}, {107, 73}, {93, 87}, {107, 87}, {93, 73}, {110, 80}, {90, 80},
                                   {100, 70}, {100, 90}};
    for (const QPoint& p : markerPixels)
        QCOMPARE(canvasPixel(p.x(), p.y()), red);
    // Only the marker: the ring's inside between the arms keeps the map.
    QCOMPARE(canvasPixel(105, 80), mapGreen);

    bar("xScroll")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(int(_state->mapView.sx), 1);
    for (const QPoint& p : markerPixels)
        QCOMPARE(canvasPixel(p.x(), p.y()), mapGreen);
}

QTEST_MAIN(TestPointer)
#include "tst_pointer.moc"
