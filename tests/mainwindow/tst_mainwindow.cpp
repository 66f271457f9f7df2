#include "mainwindow/mainwindow.h"
#include "platform/canvasfont.h"
#include "platform/twips.h"
#include "state/programstate.h"
#include "view/mapviewwidget.h"

#include <QAction>
#include <QImageReader>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace karte;

namespace {

// Every pixel names its own position: red = x mod 256, green = y mod 256,
// blue = the high bits of both.
QImage positionImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x & 255, y & 255, ((x >> 8) << 4) | (y >> 8)));
    return image;
}

QPoint imagePointOf(QRgb pixel)
{
    return QPoint(qRed(pixel) | ((qBlue(pixel) >> 4) << 8), qGreen(pixel) | ((qBlue(pixel) & 15) << 8));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void titleIconAndBackground();
    void elements_data();
    void elements();
    void menus();
    void calibrationSummary_data();
    void calibrationSummary();
    void zoomLabel_data();
    void zoomLabel();
    void zoomWithoutMapIsUnlimited();
    void pageStepsAndMaximums_data();
    void pageStepsAndMaximums();
    void smallImageGetsMaximumOne();
    void droppingMaximumRedrawsAtTheNewPosition();
    void zoomKeepsTopLeftImagePoint();
    void scrollingRedraws();
    void windowSizeLaysOut();
    void minimisedDoesNothing();
    void largeScans();
    void overlayToggleRedrawsAndKeepsState();
    void endeClosesTheWindow();

private:
    QPushButton* button(const char* name) const;
    QScrollBar* bar(const char* name) const;
    QLabel* label(const char* name) const;
    // A map of width by height pixels in a canvas of the given size.
    void loadMap(int width, int height, QSize canvas);

    std::unique_ptr<ProgramState> _state;
    std::unique_ptr<MainWindow> _window;
};

void TestMainWindow::init()
{
    _state = std::make_unique<ProgramState>();
    _window = std::make_unique<MainWindow>(*_state);
}

void TestMainWindow::cleanup()
{
    _window.reset();
    _state.reset();
}

QPushButton* TestMainWindow::button(const char* name) const
{
    auto* b = _window->findChild<QPushButton*>(QString::fromLatin1(name));
    Q_ASSERT(b);
    return b;
}

QScrollBar* TestMainWindow::bar(const char* name) const
{
    auto* b = _window->findChild<QScrollBar*>(QString::fromLatin1(name));
    Q_ASSERT(b);
    return b;
}

QLabel* TestMainWindow::label(const char* name) const
{
    auto* l = _window->findChild<QLabel*>(QString::fromLatin1(name));
    Q_ASSERT(l);
    return l;
}

void TestMainWindow::loadMap(int width, int height, QSize canvas)
{
    _window->mapView()->resize(canvas);
    _window->setMapImage(positionImage(width, height), QStringLiteral("/karten/test.bmp"));
    _window->setZoom(1);
    _window->Zeichnen();
}

void TestMainWindow::titleIconAndBackground()
{
    QCOMPARE(_window->windowTitle(), QStringLiteral("Kartenauswertung0.7 - 7"));
    const QIcon icon = _window->windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    QCOMPARE(_window->palette().color(QPalette::Window), QColor(192, 255, 192));
    QCOMPARE(_window->mapView()->cursor().shape(), Qt::CrossCursor);
    QCOMPARE(canvasFont().pointSizeF(), 6.75);
    QCOMPARE(canvasFont().weight(), QFont::Normal);
    QCOMPARE(_state->pi, 3.1415927f);
    QCOMPARE(_state->mapView.z, 1.0f);
}

// Elements the layout does not move keep their designed place.
void TestMainWindow::elements_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("lblkdatei") << "lblkdatei" << "" << QRect(0, 0, 3375, 255);
    QTest::newRow("lblgdatei") << "lblgdatei" << "lblgdatei" << QRect(0, 240, 3375, 255);
    QTest::newRow("lbltrack") << "lbltrack" << "Track" << QRect(0, 480, 3375, 255);
    QTest::newRow("lblkalib") << "lblkalib" << QString() << QRect(0, 720, 7215, 255);
    QTest::newRow("ggroesser") << "ggroesser" << "++" << QRect(3480, 0, 375, 255);
    QTest::newRow("groesser") << "groesser" << "+" << QRect(3960, 0, 255, 255);
    QTest::newRow("orginal") << "orginal" << "0" << QRect(4320, 0, 255, 255);
    QTest::newRow("kleiner") << "kleiner" << "-" << QRect(4680, 0, 255, 255);
    QTest::newRow("kkleiner") << "kkleiner" << "--" << QRect(5040, 0, 375, 255);
    QTest::newRow("zoom") << "zoom" << "zoom" << QRect(5520, 0, 855, 255);
    QTest::newRow("cursorpos") << "cursorpos" << "Position" << QRect(3480, 360, 4575, 255);
}

void TestMainWindow::elements()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    QWidget* widget = _window->findChild<QWidget*>(name);
    QVERIFY(widget);
    if (auto* l = qobject_cast<QLabel*>(widget); l && !text.isNull())
        QCOMPARE(l->text(), text);
    if (auto* b = qobject_cast<QPushButton*>(widget))
        QCOMPARE(b->text(), text);
    const QRect expected(twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
                         twipsToPixels(twips.height()));
    QCOMPARE(widget->geometry(), expected);
    for (const char* n : {"map", "xScroll", "yScroll"})
        QVERIFY(_window->findChild<QWidget*>(QString::fromLatin1(n)));
}

void TestMainWindow::menus()
{
    const QList<QAction*> top = _window->menuBar()->actions();
    QCOMPARE(top.size(), 2);
    QCOMPARE(top[0]->text(), QStringLiteral("Datei"));
    QCOMPARE(top[1]->text(), QStringLiteral("bearbeiten"));
    QStringList captions;
    for (QAction* a : top[0]->menu()->actions()) {
        captions << a->text();
        QVERIFY(a->shortcut().isEmpty());
        QVERIFY(!a->isCheckable());
    }
    QCOMPARE(captions, QStringList({"Karte Laden", "Karte Abspeichern", "Gipfelliste laden", "Gipfelliste speichern",
                                    "Track/GPS-Datei laden", "Ende"}));
    const QList<QAction*> edit = top[1]->menu()->actions();
    QCOMPARE(edit.size(), 1);
    QCOMPARE(edit[0], _window->gmalenAction());
    QCOMPARE(edit[0]->text(), QStringLiteral("Gipfel einmalen"));
    QCOMPARE(edit[0]->objectName(), QStringLiteral("gmalen"));
    QVERIFY(edit[0]->isCheckable());
    QVERIFY(edit[0]->isChecked());
}

void TestMainWindow::calibrationSummary_data()
{
    QTest::addColumn<float>("alpha");
    QTest::addColumn<float>("maß");
    QTest::addColumn<QString>("expected");
    QTest::newRow("after start-up") << 0.0f << 0.0f << QStringLiteral("Nordabweichung 0° Maßstab:  0Meter/Pixel");
    QTest::newRow("positive")
        << 0.01f << 0.0001f << QStringLiteral("Nordabweichung .5729578° Maßstab:  11.11111Meter/Pixel");
    QTest::newRow("negative, no blank before the sign")
        << -0.0123f << 0.000025f << QStringLiteral("Nordabweichung-.704738° Maßstab:  2.777778Meter/Pixel");
}

void TestMainWindow::calibrationSummary()
{
    QFETCH(float, alpha);
    QFETCH(float, maß);
    QFETCH(QString, expected);
    _state->calibration.alpha = alpha;
    _state->calibration.maß = maß;
    _window->kartemalen();
    QCOMPARE(label("lblkalib")->text(), expected);
}

void TestMainWindow::zoomLabel_data()
{
    QTest::addColumn<QStringList>("presses");
    QTest::addColumn<float>("z");
    QTest::addColumn<QString>("text");
    QTest::newRow("twelve +") << QStringList(12, "groesser") << 8.0f << " 8";
    QTest::newRow("thirteen + limited") << QStringList(13, "groesser") << 8.0f << " 8";
    QTest::newRow("four -") << QStringList(4, "kleiner") << 0.49999997f << " .5";
    QTest::newRow("eight - raised") << QStringList(8, "kleiner") << 0.25f << " .25";
    QTest::newRow("nine - stay") << QStringList(9, "kleiner") << 0.25f << " .25";
    QTest::newRow("+ then -") << QStringList{"groesser", "kleiner"} << 0.99999994f << " .9999999";
    QTest::newRow("+ - 0") << QStringList{"groesser", "kleiner", "orginal"} << 1.0f << " 1";
    QTest::newRow("+ once") << QStringList{"groesser"} << 1.1892071f << " 1.189207";
    QTest::newRow("-- four times") << QStringList(4, "kkleiner") << 0.25f << " .25";
}

void TestMainWindow::zoomLabel()
{
    QFETCH(QStringList, presses);
    QFETCH(float, z);
    QFETCH(QString, text);
    loadMap(900, 600, QSize(545, 300));
    for (const QString& name : presses)
        QTest::mouseClick(button(name.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(_state->mapView.z, z);
    QCOMPARE(label("zoom")->text(), text);
}

void TestMainWindow::zoomWithoutMapIsUnlimited()
{
    _window->mapView()->resize(545, 300);
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(button("ggroesser"), Qt::LeftButton);
    QCOMPARE(_state->mapView.z, 32.0f);
    QCOMPARE(label("zoom")->text(), QStringLiteral(" 32"));
    // Nothing was painted and the bars keep their start-up maximums.
    const QImage& canvas = _window->mapView()->canvasImage();
    QCOMPARE(canvas.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(canvas.pixel(544, 299), qRgb(255, 255, 255));
    QCOMPARE(bar("xScroll")->maximum(), 1000);
    QCOMPARE(bar("yScroll")->maximum(), 32767);

    _window->setMapImage(positionImage(900, 600), QStringLiteral("/karten/test.bmp"));
    _window->setZoom(1);
    QCOMPARE(_state->mapView.z, 1.0f);
    QCOMPARE(label("zoom")->text(), QStringLiteral(" 1"));
    QCOMPARE(label("lblkdatei")->text(), QStringLiteral("/karten/test.bmp"));
    QCOMPARE(_window->mapImage().size(), QSize(900, 600));
    QCOMPARE(_window->mapImage().format(), QImage::Format_RGB32);
}

void TestMainWindow::pageStepsAndMaximums_data()
{
    QTest::addColumn<QString>("zoomButton");
    QTest::addColumn<int>("pageStep");
    QTest::addColumn<int>("maximum");
    QTest::newRow("z 1") << "orginal" << 272 << 355;
    QTest::newRow("z 2") << "ggroesser" << 136 << 628;
}

void TestMainWindow::pageStepsAndMaximums()
{
    QFETCH(QString, zoomButton);
    QFETCH(int, pageStep);
    QFETCH(int, maximum);
    loadMap(900, 2000, QSize(545, 301));
    QTest::mouseClick(button(zoomButton.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(bar("xScroll")->pageStep(), pageStep);
    QCOMPARE(bar("xScroll")->maximum(), maximum);
    QCOMPARE(bar("xScroll")->singleStep(), 1);
    QCOMPARE(bar("xScroll")->minimum(), 0);
    QVERIFY(!bar("xScroll")->hasTracking());
    QVERIFY(!bar("yScroll")->hasTracking());
}

void TestMainWindow::smallImageGetsMaximumOne()
{
    loadMap(300, 200, QSize(540, 260));
    QCOMPARE(bar("xScroll")->maximum(), 1);
    QCOMPARE(bar("yScroll")->maximum(), 1);
    // Beyond the image the canvas is white.
    QCOMPARE(_window->mapView()->canvasImage().pixel(539, 259), qRgb(255, 255, 255));
    QCOMPARE(imagePointOf(_window->mapView()->canvasImage().pixel(299, 199)), QPoint(299, 199));
}

void TestMainWindow::droppingMaximumRedrawsAtTheNewPosition()
{
    loadMap(900, 600, QSize(545, 200));
    QTest::mouseClick(button("ggroesser"), Qt::LeftButton);
    bar("xScroll")->setValue(600);
    QCOMPARE(_state->mapView.sx, int16_t(600));

    QTest::mouseClick(button("kkleiner"), Qt::LeftButton);
    QCOMPARE(_state->mapView.z, 1.0f);
    QCOMPARE(bar("xScroll")->maximum(), 355);
    QCOMPARE(bar("xScroll")->value(), 355);
    QCOMPARE(_state->mapView.sx, int16_t(355));
    // The nested redraw replaced the picture drawn for column 600.
    const QImage& canvas = _window->mapView()->canvasImage();
    QCOMPARE(imagePointOf(canvas.pixel(0, 0)), QPoint(355, 0));
    QCOMPARE(imagePointOf(canvas.pixel(544, 0)), QPoint(899, 0));
}

void TestMainWindow::zoomKeepsTopLeftImagePoint()
{
    loadMap(900, 600, QSize(545, 200));
    bar("xScroll")->setValue(100);
    bar("yScroll")->setValue(50);
    QCOMPARE(imagePointOf(_window->mapView()->canvasImage().pixel(0, 0)), QPoint(100, 50));
    QTest::mouseClick(button("ggroesser"), Qt::LeftButton);
    QCOMPARE(_state->mapView.sx, int16_t(100));
    QCOMPARE(_state->mapView.sy, int16_t(50));
    const QImage& canvas = _window->mapView()->canvasImage();
    QCOMPARE(imagePointOf(canvas.pixel(0, 0)), QPoint(100, 50));
    QCOMPARE(imagePointOf(canvas.pixel(1, 1)), QPoint(100, 50));
    QCOMPARE(imagePointOf(canvas.pixel(2, 2)), QPoint(101, 51));
}

void TestMainWindow::scrollingRedraws()
{
    loadMap(900, 600, QSize(545, 200));
    QScrollBar* x = bar("xScroll");
    x->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(x->value(), 272);
    QCOMPARE(imagePointOf(_window->mapView()->canvasImage().pixel(0, 0)), QPoint(272, 0));
    bar("yScroll")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(_state->mapView.sy, int16_t(1));
    QCOMPARE(imagePointOf(_window->mapView()->canvasImage().pixel(0, 0)), QPoint(272, 1));
}

void TestMainWindow::windowSizeLaysOut()
{
    _window->show();
    QVERIFY(QTest::qWaitForWindowExposed(_window.get()));
    _window->resize(900, 700);
    QTRY_COMPARE(_window->centralWidget()->size().width(), 900);
    const QSize inner = _window->centralWidget()->size();
    const int sw = pixelsToTwips(inner.width());
    const int sh = pixelsToTwips(inner.height());
    auto px = [](int twips) { return twipsToPixels(twips); };
    QTRY_COMPARE(_window->mapView()->geometry(), QRect(px(50), px(960), px(sw - 305), px(sh - 1215)));
    QCOMPARE(bar("yScroll")->geometry(), QRect(px(sw - 255), px(960), px(255), px(sh - 1215)));
    QCOMPARE(bar("xScroll")->geometry(), QRect(px(50), px(sh - 255), px(sw - 305), px(255)));
    QCOMPARE(_window->mapView()->canvasImage().size(), _window->mapView()->size());

    // Too small for the canvas: it keeps at least one pixel and nothing fails.
    _window->setMapImage(positionImage(300, 200), QStringLiteral("/karten/test.bmp"));
    _window->resize(10, 10);
    _window->kartemalen();
    QVERIFY(_window->mapView()->canvasSize().width() >= 1);
    QVERIFY(_window->mapView()->canvasSize().height() >= 1);
}

void TestMainWindow::minimisedDoesNothing()
{
    _window->show();
    QVERIFY(QTest::qWaitForWindowExposed(_window.get()));
    _window->kartemalen();
    const QRect before = _window->mapView()->geometry();
    _window->setWindowState(Qt::WindowMinimized);
    QVERIFY(_window->isMinimized());
    _state->calibration.maß = 0.0001f;
    _window->centralWidget()->resize(300, 200);
    _window->kartemalen();
    QCOMPARE(_window->mapView()->geometry(), before);
    QCOMPARE(label("lblkalib")->text(), QStringLiteral("Nordabweichung 0° Maßstab:  0Meter/Pixel"));
    _window->setWindowState(Qt::WindowNoState);
    QCOMPARE(label("lblkalib")->text(), QStringLiteral("Nordabweichung 0° Maßstab:  11.11111Meter/Pixel"));
}

// Scans beyond what a scroll bar or Qt's default decoding limit holds.
void TestMainWindow::largeScans()
{
    // A 7000 by 6000 scan needs 168 MB decoded.
    QVERIFY(QImageReader::allocationLimit() >= 168);
    loadMap(40000, 20, QSize(545, 200));
    QCOMPARE(bar("xScroll")->maximum(), 32767);
    QCOMPARE(bar("yScroll")->maximum(), 1);
    bar("xScroll")->setValue(32767);
    QCOMPARE(imagePointOf(_window->mapView()->canvasImage().pixel(0, 0)).x() % 4096, 32767 % 4096);

    // A canvas one pixel wide at zoom 8 still gets a usable page step.
    _window->mapView()->resize(1, 1);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(button("ggroesser"), Qt::LeftButton);
    QCOMPARE(_state->mapView.z, 8.0f);
    QCOMPARE(bar("xScroll")->pageStep(), 1);
    QCOMPARE(bar("yScroll")->pageStep(), 1);
}

// The command runs the whole layout and redraw, so whatever was drawn onto
// the canvas outside a redraw is gone afterwards.
void TestMainWindow::overlayToggleRedrawsAndKeepsState()
{
    loadMap(900, 600, QSize(545, 200));
    auto scribble = [this] { _window->mapView()->canvasImage().setPixel(0, 0, qRgb(1, 2, 3)); };
    auto topLeft = [this] { return _window->mapView()->canvasImage().pixel(0, 0); };
    scribble();
    QCOMPARE(topLeft(), qRgb(1, 2, 3));
    _window->gmalenAction()->trigger();
    QVERIFY(!_window->gmalenAction()->isChecked());
    QCOMPARE(imagePointOf(topLeft()), QPoint(0, 0));
    scribble();
    _window->gmalenAction()->trigger();
    QVERIFY(_window->gmalenAction()->isChecked());
    QCOMPARE(imagePointOf(topLeft()), QPoint(0, 0));
}

void TestMainWindow::endeClosesTheWindow()
{
    _window->show();
    QVERIFY(QTest::qWaitForWindowExposed(_window.get()));
    QAction* ende = _window->findChild<QAction*>(QStringLiteral("ende"));
    QVERIFY(ende);
    QCOMPARE(ende->text(), QStringLiteral("Ende"));
    ende->trigger();
    QVERIFY(!_window->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
