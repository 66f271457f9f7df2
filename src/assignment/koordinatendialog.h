#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace karte {

struct ProgramState;

// The coordinate-assignment dialog "Koordinaten": takes a candidate position
// from the marked map point or from a GPS waypoint and writes it, with a
// position error, into the summit selected in the summit list. Modeless; it
// deletes itself when closed.
class KoordinatenDialog : public QWidget {
    Q_OBJECT

public:
    // Loads the dialog, which takes the marked point as candidate.
    // kartemalen is the main window's layout and redraw, run after an
    // assignment; it may be empty.
    KoordinatenDialog(ProgramState& state, std::function<void()> kartemalen, QWidget* parent = nullptr);

    // Takes the marked point (image pixels) through the calibration as
    // candidate, with position error 49.
    void kartenpunkt();

    // Fills both lists anew from the summit and waypoint tables and lays
    // them out; does nothing while the dialog is minimised. Runs on every
    // resize and after an assignment.
    void listenaktualisieren();

    // The candidate: degrees north, degrees east, metres.
    double candidateLatitude() const { return _latitude; }
    double candidateLongitude() const { return _longitude; }
    int16_t candidateError() const { return _error; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void waypointClicked();
    void zuordnen();

    ProgramState& _state;
    std::function<void()> _kartemalen;
    double _latitude = 0;
    double _longitude = 0;
    int16_t _error = 0;

    QLabel* _lblkoordinaten;
    QLabel* _label1;
    QLineEdit* _fehlertxt;
    QPushButton* _zuordnen;
    QListWidget* _kliste;
    QListWidget* _gliste;
};

} // namespace karte
