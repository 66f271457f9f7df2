#include "mainwindow/mainwindow.h"

#include "assignment/koordinatendialog.h"
#include "calibration/calibdialog.h"
#include "platform/qimagecanvas.h"
#include "view/mapviewwidget.h"

#include <QLabel>

namespace karte {

// The mouse on the map and the two dialogs it opens.

namespace {

// A dialog closed by the user deletes itself once control is back in the
// event loop; until then it must not be shown again, so it goes now.
template <typename Dialog>
void dropClosed(QPointer<Dialog>& dialog)
{
    if (dialog && dialog->isHidden())
        delete dialog.data();
}

void bringToFront(QWidget* dialog)
{
    // A minimised dialog would stay out of sight behind its task bar entry.
    if (dialog->isMinimized())
        dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace

void MainWindow::showCalib()
{
    dropClosed(_calib);
    if (!_calib)
        _calib = new CalibDialog(_state, this);
    bringToFront(_calib);
}

void MainWindow::showKoordinaten()
{
    dropClosed(_koordinaten);
    if (_koordinaten)
        _koordinaten->kartenpunkt();
    else
        _koordinaten = new KoordinatenDialog(_state, [this] { kartemalen(); }, this);
    bringToFront(_koordinaten);
}

CalibDialog* MainWindow::calibDialog()
{
    return _calib;
}

KoordinatenDialog* MainWindow::koordinatenDialog()
{
    return _koordinaten;
}

const PointerState& MainWindow::pointerState() const
{
    return _pointer;
}

void MainWindow::mapPressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position)
{
    const auto X = static_cast<float>(position.x());
    const auto Y = static_cast<float>(position.y());
    _state.markedPoint = pointer::canvasToImage(_state.mapView, X, Y);
    {
        // Straight onto the canvas: the next redraw of the view removes it.
        QImageCanvas canvas(_map->canvasImage(), _canvasFont);
        pointer::drawMarker(canvas, X, Y);
    }
    _map->update();

    if (button == Qt::LeftButton) {
        if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
            _pointer.origin = pointer::originAt(_state.markedPoint);
        else
            showKoordinaten();
    } else {
        showCalib();
    }
}

void MainWindow::mapMoved(QPointF position)
{
    const MarkedPoint p =
        pointer::canvasToImage(_state.mapView, static_cast<float>(position.x()), static_cast<float>(position.y()));
    _cursorpos->setText(pointer::readout(_state.calibration, _pointer.origin, p.x, p.y, _pointer.position));
}

} // namespace karte
