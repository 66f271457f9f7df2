#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace karte {

struct ProgramState;

// The calibration dialog "Kartenkalibration": sets the two reference points
// from the marked map point and typed (or picked) degrees, and shows the
// points, the coefficients and the derived values. Modeless; it deletes
// itself when closed.
class CalibDialog : public QWidget {
    Q_OBJECT

public:
    // Loads the dialog: refreshes the texts and lists every summit that has
    // a longitude. A raise of an existing dialog refreshes nothing.
    explicit CalibDialog(ProgramState& state, QWidget* parent = nullptr);
    ~CalibDialog() override;

    // Rewrites the labels from the shared state (marked point in image
    // pixels, reference points, coefficients, derived values). Installed as
    // the state's hook, so kalibrechnen runs it while the dialog exists.
    void textaktualisieren();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fillGrid();
    void layoutGrid();
    void gridClicked(int row);
    void setPoint(int k);

    ProgramState& _state;
    QLabel* _xwert;
    QLabel* _ywert;
    QLineEdit* _lgrdtxt;
    QLineEdit* _bgrdtxt;
    QPushButton* _abbrechen;
    QLabel* _calib1;
    QPushButton* _kal1;
    QLabel* _calib2;
    QPushButton* _kal2;
    QLabel* _kalibkoeff;
    QTableWidget* _ggrid;
};

} // namespace karte
