#include "mainwindow/mainwindow.h"

#include "calibration/calibrationmodel.h"
#include "overlay/overlay.h"
#include "platform/canvasfont.h"
#include "platform/globeicon.h"
#include "platform/qimagecanvas.h"
#include "platform/scaledcopy.h"
#include "platform/twips.h"
#include "state/numberformat.h"
#include "state/version.h"
#include "view/mapviewwidget.h"

#include <QAction>
#include <QEvent>
#include <QImageReader>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace karte {

namespace {

const QColor windowGreen(192, 255, 192);

QRect toPixels(const TwipRect& r)
{
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), std::max(1, twipsToPixels(r.width)),
                 std::max(1, twipsToPixels(r.height)));
}

template <typename Widget>
Widget* placed(Widget* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(toPixels(TwipRect{left, top, width, height}));
    return widget;
}

} // namespace

MainWindow::MainWindow(ProgramState& state, QWidget* parent)
    : QMainWindow(parent)
    , _state(state)
    , _canvasFont(canvasFont())
{
    // Scans of 7000 by 6000 pixels and more exceed Qt's default 128 MB
    // decoding limit; the map is held once, so allow up to 1 GB.
    QImageReader::setAllocationLimit(1024);

    setWindowTitle(programTitle());
    setWindowIcon(globeIcon());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, windowGreen);
    setPalette(pal);
    setAutoFillBackground(true);

    createElements();
    createMenus();

    _state.pi = singlePi();
    _state.mapView.z = 1;
    calibration::resetToIdentity(_state.calibration);
    _state.calibration.maß = 0;
    _state.calibration.alpha = 0;

    // The restored window's inner area: 8340 by 5190 twips, 420 twips from
    // the left and 960 from the top of the screen.
    resize(twipsToPixels(8340), twipsToPixels(5190) + menuBar()->sizeHint().height());
    move(twipsToPixels(420), twipsToPixels(960));
    kartemalen();
}

ProgramState& MainWindow::state()
{
    return _state;
}

void MainWindow::createElements()
{
    _inner = new QWidget(this);
    _inner->setObjectName(QStringLiteral("inner"));
    _inner->setAutoFillBackground(true);
    setCentralWidget(_inner);

    _lblkdatei = placed(new QLabel(_inner), "lblkdatei", 0, 0, 3375, 255);
    _lblgdatei = placed(new QLabel(QStringLiteral("lblgdatei"), _inner), "lblgdatei", 0, 240, 3375, 255);
    _lbltrack = placed(new QLabel(QStringLiteral("Track"), _inner), "lbltrack", 0, 480, 3375, 255);
    _lblkalib = placed(new QLabel(QStringLiteral("lblkalib"), _inner), "lblkalib", 0, 720, 7215, 255);

    struct ZoomButton {
        const char* name;
        const char* caption;
        int left;
        int width;
        zoom::Step step;
    };
    const ZoomButton buttons[] = {
        {"ggroesser", "++", 3480, 375, zoom::Step::Double},
        {"groesser", "+", 3960, 255, zoom::Step::Up},
        {"orginal", "0", 4320, 255, zoom::Step::Original},
        {"kleiner", "-", 4680, 255, zoom::Step::Down},
        {"kkleiner", "--", 5040, 375, zoom::Step::Half},
    };
    for (const ZoomButton& zb : buttons) {
        auto* button = placed(new QPushButton(QString::fromLatin1(zb.caption), _inner), zb.name, zb.left, 0,
                              zb.width, 255);
        button->setFocusPolicy(Qt::TabFocus);
        const zoom::Step step = zb.step;
        connect(button, &QPushButton::clicked, this, [this, step] { zoomStep(step); });
    }

    _zoom = placed(new QLabel(QStringLiteral("zoom"), _inner), "zoom", 5520, 0, 855, 255);
    // The zoom read-out alone keeps the control background.
    _zoom->setAutoFillBackground(true);
    _zoom->setBackgroundRole(QPalette::Button);
    _cursorpos = placed(new QLabel(QStringLiteral("Position"), _inner), "cursorpos", 3480, 360, 4575, 255);

    _map = placed(new MapViewWidget(_inner), "map", 0, 960, 8055, 3975);
    QPalette white = _map->palette();
    white.setColor(QPalette::Window, Qt::white);
    _map->setPalette(white);
    connect(_map, &MapViewWidget::pressed, this, &MainWindow::mapPressed);
    connect(_map, &MapViewWidget::moved, this, &MainWindow::mapMoved);

    _yScroll = placed(new QScrollBar(Qt::Vertical, _inner), "yScroll", 8040, 600, 255, 4335);
    _xScroll = placed(new QScrollBar(Qt::Horizontal, _inner), "xScroll", 0, 4920, 8055, 255);
    _xScroll->setRange(0, 1000);
    _yScroll->setRange(0, zoom::largestScrollValue);
    for (QScrollBar* bar : {_xScroll, _yScroll}) {
        bar->setSingleStep(1);
        // Redraw when the thumb is released, not while it is dragged.
        bar->setTracking(false);
        connect(bar, &QScrollBar::valueChanged, this, &MainWindow::scrollValueChanged);
    }
    // Every size change of the inner area lays the window out again.
    _inner->installEventFilter(this);
}

void MainWindow::createMenus()
{
    QMenu* datei = menuBar()->addMenu(QStringLiteral("Datei"));
    datei->setObjectName(QStringLiteral("Datei"));
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setParent(this);
        return action;
    };
    connect(addItem(datei, "Laden", QStringLiteral("Karte Laden")), &QAction::triggered, this,
            &MainWindow::karteLaden);
    connect(addItem(datei, "abspeichern", QStringLiteral("Karte Abspeichern")), &QAction::triggered, this,
            &MainWindow::karteAbspeichern);
    connect(addItem(datei, "gladen", QStringLiteral("Gipfelliste laden")), &QAction::triggered, this,
            &MainWindow::gipfellisteLaden);
    connect(addItem(datei, "gspeichern", QStringLiteral("Gipfelliste speichern")), &QAction::triggered, this,
            &MainWindow::gipfellisteSpeichern);
    connect(addItem(datei, "tladen", QStringLiteral("Track/GPS-Datei laden")), &QAction::triggered, this,
            &MainWindow::trackLaden);
    connect(addItem(datei, "ende", QStringLiteral("Ende")), &QAction::triggered, this, &QWidget::close);

    QMenu* bearbeiten = menuBar()->addMenu(QStringLiteral("bearbeiten"));
    bearbeiten->setObjectName(QStringLiteral("bearbeiten"));
    _gmalen = addItem(bearbeiten, "gmalen", QStringLiteral("Gipfel einmalen"));
    _gmalen->setCheckable(true);
    _gmalen->setChecked(true);
    // The item flips its own check mark before triggered() arrives.
    connect(_gmalen, &QAction::triggered, this, &MainWindow::toggleOverlay);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        kartemalen();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == _inner && event->type() == QEvent::Resize)
        kartemalen();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::kartemalen()
{
    if (isMinimized())
        return;
    const int innerWidth = pixelsToTwips(_inner->width());
    const int innerHeight = pixelsToTwips(_inner->height());
    _layout = layoutMapArea(_layout, innerWidth, innerHeight);
    applyLayout();
    Zeichnen();
    writeCalibrationSummary();
}

void MainWindow::applyLayout()
{
    _map->setGeometry(toPixels(_layout.map));
    _xScroll->setGeometry(toPixels(_layout.xScroll));
    _yScroll->setGeometry(toPixels(_layout.yScroll));
}

void MainWindow::writeCalibrationSummary()
{
    const float degrees = calibration::northDeviationDegrees(_state.calibration, _state.pi);
    const float metres = calibration::metresPerPixel(_state.calibration.maß);
    _lblkalib->setText(QStringLiteral("Nordabweichung") + generalForm(degrees) + QStringLiteral("° Maßstab: ")
                       + generalForm(metres) + QStringLiteral("Meter/Pixel"));
}

void MainWindow::Zeichnen()
{
    if (_lblkdatei->text().isEmpty())
        return;
    MapView& view = _state.mapView;
    view.z = zoom::limitFactor(view.z);
    const QSize canvas = _map->canvasSize();
    view.sx = static_cast<int16_t>(_xScroll->value());
    view.sy = static_cast<int16_t>(_yScroll->value());

    copyVisiblePart(_map->canvasImage(), _pic1, view.sx, view.sy, view.z);
    _map->update();

    _yScroll->setPageStep(zoom::pageStep(canvas.height(), view.z));
    _xScroll->setPageStep(zoom::pageStep(canvas.width(), view.z));
    // Lowering a maximum below a bar's value moves the value, and that
    // change redraws the view for the new position before we go on.
    _xScroll->setMaximum(zoom::scrollMaximum(_pic1.width(), canvas.width(), view.z));
    _yScroll->setMaximum(zoom::scrollMaximum(_pic1.height(), canvas.height(), view.z));

    if (_gmalen->isChecked()) {
        QImageCanvas overlayCanvas(_map->canvasImage(), _canvasFont, &_stamps);
        overlayCanvas.setTextColor(_canvasTextColor);
        geinmalen(_state, overlayCanvas, _visibleGeoBox);
        _canvasTextColor = overlayCanvas.textColor();
    }
}

void MainWindow::scrollValueChanged()
{
    _state.mapView.sx = static_cast<int16_t>(_xScroll->value());
    _state.mapView.sy = static_cast<int16_t>(_yScroll->value());
    Zeichnen();
}

void MainWindow::zoomStep(zoom::Step step)
{
    _state.mapView.z = zoom::applyStep(_state.mapView.z, step);
    Zeichnen();
    _zoom->setText(generalForm(_state.mapView.z));
}

void MainWindow::toggleOverlay()
{
    kartemalen();
}

void MainWindow::setMapImage(QImage image, const QString& path)
{
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    _pic1 = std::move(image);
    _lblkdatei->setText(path);
}

const QImage& MainWindow::mapImage() const
{
    return _pic1;
}

void MainWindow::setZoom(float z)
{
    _state.mapView.z = z;
    _zoom->setText(generalForm(z));
}

QAction* MainWindow::gmalenAction()
{
    return _gmalen;
}

MapViewWidget* MainWindow::mapView()
{
    return _map;
}

const MapAreaLayout& MainWindow::mapAreaLayout() const
{
    return _layout;
}

FileDialog& MainWindow::commonDialog1()
{
    return _commonDialog1;
}

FileDialog& MainWindow::commonDialog2()
{
    return _commonDialog2;
}

FileDialog& MainWindow::commonDialog3()
{
    return _commonDialog3;
}

} // namespace karte
