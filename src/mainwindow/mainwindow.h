#pragma once

#include "platform/filedialog.h"
#include "overlay/overlay.h"
#include "platform/stampcache.h"
#include "state/programstate.h"
#include "view/maplayout.h"
#include "view/pointerreadout.h"
#include "view/zoommodel.h"

#include <QFont>
#include <QImage>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QCloseEvent;
class QLabel;
class QPushButton;
class QScrollBar;

namespace karte {

class CalibDialog;
class KoordinatenDialog;
class MapViewWidget;

// The program's main window: status labels, zoom buttons, the map canvas
// with its two scroll bars, and the menus. Element positions are designed
// in twips and shown at 15 twips a pixel.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ProgramState& state, QWidget* parent = nullptr);

    ProgramState& state();

    // Lays out canvas and scroll bars for the current inner size, redraws
    // the view and rewrites the calibration summary. Nothing while minimised.
    void kartemalen();
    // Redraws the canvas from the map image at the current zoom and scroll
    // positions, then the overlay while "Gipfel einmalen" is checked.
    void Zeichnen();

    // Puts a map image into the window (converted to RGB32) and shows its
    // path in lblkdatei. Does not redraw.
    void setMapImage(QImage image, const QString& path);
    const QImage& mapImage() const;
    // Sets the zoom factor (canvas pixels per image pixel) and its label.
    void setZoom(float z);

    QAction* gmalenAction();
    MapViewWidget* mapView();
    // Where canvas and bars stand now, twips.
    const MapAreaLayout& mapAreaLayout() const;

    FileDialog& commonDialog1(); // map image
    FileDialog& commonDialog2(); // summit list
    FileDialog& commonDialog3(); // track / GPS file

    // Shows the calibration dialog, creating (and so loading) it first when
    // none is open; an open one is only brought to the front.
    void showCalib();
    // Creates the coordinate-assignment dialog (its load takes the marked
    // point) or has the open one take the marked point, then shows it.
    void showKoordinaten();
    // The open dialogs; null while closed.
    CalibDialog* calibDialog();
    KoordinatenDialog* koordinatenDialog();
    // Distance origin and last read-out position of the mouse on the map.
    const PointerState& pointerState() const;
    // True while "Gipfelliste laden" reads its file. Events are handled after
    // every line then, so other commands could start; they are refused.
    bool summitListLoading() const;
    // How often a summit list load lets the event loop run, milliseconds;
    // 0 runs it after every line. Tests use 0 to act in the middle of a load.
    void setLoadEventIntervalForTests(int ms);

public slots:
    void karteLaden();
    void karteAbspeichern();
    void gipfellisteLaden();
    void gipfellisteSpeichern();
    void trackLaden();

public:
    // "Karte Laden" without the dialog: loads the bitmap at `path`, resets the
    // zoom to 1, reads the calibration file beside it and redraws. False (and
    // nothing changed) when the file is not a readable image, or while a summit
    // list is being read.
    bool karteLadenVon(const QString& path);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Enables or disables what could change the tables or the map while a
    // summit list is read: the file commands, the map's mouse input and the
    // open dialogs.
    void setInputDuringLoadEnabled(bool enabled);

    void createElements();
    void createMenus();
    void zoomStep(zoom::Step step);
    void scrollValueChanged();
    void toggleOverlay();
    void writeCalibrationSummary();
    void applyLayout();
    // The mouse on the map; positions in canvas pixels.
    void mapPressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    void mapMoved(QPointF position);

    ProgramState& _state;
    QWidget* _inner = nullptr;
    QLabel* _lblkdatei = nullptr;
    QLabel* _lblgdatei = nullptr;
    QLabel* _lbltrack = nullptr;
    QLabel* _lblkalib = nullptr;
    QLabel* _zoom = nullptr;
    QLabel* _cursorpos = nullptr;
    MapViewWidget* _map = nullptr;
    QScrollBar* _xScroll = nullptr;
    QScrollBar* _yScroll = nullptr;
    QAction* _gmalen = nullptr;
    QImage _pic1;
    MapAreaLayout _layout;
    FileDialog _commonDialog1;
    FileDialog _commonDialog2;
    FileDialog _commonDialog3;
    // The canvas font, matched once rather than on every redraw.
    QFont _canvasFont;
    // Label and symbol masks kept between redraws of the overlay.
    StampCache _stamps;
    // The canvas's text colour outlives a redraw (palette number).
    int _canvasTextColor = 0;
    VisibleGeoBox _visibleGeoBox;
    QPointer<CalibDialog> _calib;
    QPointer<KoordinatenDialog> _koordinaten;
    PointerState _pointer;
    bool _summitListLoading = false;
    int _loadEventIntervalMs = 15;
    // "Ende" or the close button pressed during a load: closes once it ends.
    bool _closeAfterLoad = false;
};

} // namespace karte
