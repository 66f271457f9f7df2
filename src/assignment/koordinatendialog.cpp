#include "assignment/koordinatendialog.h"

#include "calibration/calibrationmodel.h"
#include "platform/twips.h"
#include "state/numberformat.h"
#include "state/programstate.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>

#include <utility>

namespace karte {

namespace {

// Designed client area and list top, twips.
constexpr int clientWidth = 7635;
constexpr int clientHeight = 4845;
constexpr int listTop = 600;

const QColor background(192, 255, 192);

void placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// The row of the selected line, -1 when none is selected.
int selectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

QString summitLine(const Summit& s)
{
    return generalForm(s.GIPFELNR) + u',' + s.displayName() + u',' + s.TEILGEBIET + u',' + s.GEBIET + u','
           + generalForm(s.GIPFELOST) + u',' + generalForm(s.GIPFELNORD) + u',' + generalForm(int(s.POSFEHLER))
           + s.TYP;
}

QString waypointLine(const Waypoint& w)
{
    return w.name + u',' + w.note + QStringLiteral(",N") + generalForm(w.latitude) + QStringLiteral(" O")
           + generalForm(w.longitude);
}

} // namespace

KoordinatenDialog::KoordinatenDialog(ProgramState& state, std::function<void()> kartemalen, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , _state(state)
    , _kartemalen(std::move(kartemalen))
{
    setObjectName(QStringLiteral("Koordinaten"));
    setWindowTitle(QStringLiteral("Koordinaten"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The twip layout is designed for an 8-point dialog font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    QPalette green = palette();
    green.setColor(QPalette::Window, background);
    setPalette(green);
    setAutoFillBackground(true);

    // Created in focus order: kliste, gliste, zuordnen, fehlertxt.
    _kliste = new QListWidget(this);
    _kliste->setObjectName(QStringLiteral("kliste"));
    _gliste = new QListWidget(this);
    _gliste->setObjectName(QStringLiteral("gliste"));
    _zuordnen = new QPushButton(QStringLiteral("Koordinate zuordnen"), this);
    _zuordnen->setObjectName(QStringLiteral("zuordnen"));
    _fehlertxt = new QLineEdit(QStringLiteral("10"), this);
    _fehlertxt->setObjectName(QStringLiteral("fehlertxt"));
    _lblkoordinaten = new QLabel(QStringLiteral("Koordinaten"), this);
    _lblkoordinaten->setObjectName(QStringLiteral("lblkoordinaten"));
    _label1 = new QLabel(QStringLiteral("Fehler"), this);
    _label1->setObjectName(QStringLiteral("Label1"));

    setTabOrder(_kliste, _gliste);
    setTabOrder(_gliste, _zuordnen);
    setTabOrder(_zuordnen, _fehlertxt);

    for (QLabel* label : {_lblkoordinaten, _label1}) {
        label->lower(); // "Fehler" reaches under fehlertxt; the box stays on top
        QPalette p = label->palette();
        p.setColor(QPalette::Window, background);
        label->setPalette(p);
        label->setAutoFillBackground(true);
    }
    QPalette grey = _label1->palette();
    grey.setColor(QPalette::WindowText, QColor(64, 64, 64));
    _label1->setPalette(grey);

    placeTwips(_lblkoordinaten, 120, 0, 6735, 255);
    placeTwips(_label1, 720, 360, 615, 255);
    placeTwips(_fehlertxt, 1200, 360, 495, 285);
    placeTwips(_zuordnen, 2640, 240, 1935, 255);
    placeTwips(_kliste, 120, listTop, 3135, 4155);
    placeTwips(_gliste, 3360, listTop, 4215, 4155);

    // A click, also on the line already selected, and a line picked with the
    // arrow keys both take the waypoint; a cleared list selects nothing.
    connect(_kliste, &QListWidget::itemClicked, this, &KoordinatenDialog::waypointClicked);
    connect(_kliste, &QListWidget::currentRowChanged, this, &KoordinatenDialog::waypointClicked);
    connect(_zuordnen, &QPushButton::clicked, this, &KoordinatenDialog::zuordnen);

    resize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));
    kartenpunkt();
}

void KoordinatenDialog::kartenpunkt()
{
    const MarkedPoint& p = _state.markedPoint;
    const GeoPoint g = calibration::forward(_state.calibration, p.x, p.y);
    _latitude = g.latitude;
    _longitude = g.longitude;
    _error = 49;
    _lblkoordinaten->setText(u'N' + generalForm(_latitude) + QStringLiteral(" O") + generalForm(_longitude)
                             + QStringLiteral(" (") + generalForm(p.x) + u',' + generalForm(p.y) + u')');
}

void KoordinatenDialog::waypointClicked()
{
    const int line = selectedRow(_kliste);
    if (line < 0 || line >= _state.waypoints.count)
        return;
    const Waypoint& w = _state.waypoints.entries[static_cast<size_t>(line + 1)];
    _latitude = w.latitude;
    _longitude = w.longitude;
    // An error that is no 16-bit number keeps the last one; the red frame
    // tells the user why the typed value was not taken.
    if (const std::optional<int16_t> error = toInt16(_fehlertxt->text())) {
        _error = *error;
        _fehlertxt->setStyleSheet(QString());
        _fehlertxt->setToolTip(QString());
    } else {
        _fehlertxt->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid red; }"));
        _fehlertxt->setToolTip(QStringLiteral("Keine ganze Zahl von -32768 bis 32767; der bisherige Fehler bleibt."));
    }
    _lblkoordinaten->setText(u'N' + generalForm(_latitude) + QStringLiteral(" O") + generalForm(_longitude));
}

void KoordinatenDialog::zuordnen()
{
    const int s = selectedRow(_gliste);
    // The list may be older than the table (a list loaded since the last
    // rebuild); a line beyond the table's end names no summit.
    if (s < 0 || s >= _state.summits.count || _latitude == 0 || _longitude == 0)
        return;
    Summit& summit = _state.summits.entries[static_cast<size_t>(s)];
    summit.GIPFELNORD = _latitude;
    summit.GIPFELOST = _longitude;
    summit.POSFEHLER = _error;
    if (_kartemalen)
        _kartemalen();
    listenaktualisieren();
    if (s < _gliste->count())
        _gliste->setCurrentRow(s);
    _latitude = 0;
    _longitude = 0;
}

void KoordinatenDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    listenaktualisieren();
}

void KoordinatenDialog::listenaktualisieren()
{
    if (isMinimized())
        return;
    _gliste->clear();
    for (int i = 0; i < _state.summits.count; ++i)
        _gliste->addItem(summitLine(_state.summits.entries[static_cast<size_t>(i)]));
    _kliste->clear();
    for (int j = 1; j <= _state.waypoints.count; ++j)
        _kliste->addItem(waypointLine(_state.waypoints.entries[static_cast<size_t>(j)]));

    const int clientW = pixelsToTwips(width());
    const int clientH = pixelsToTwips(height());
    QRect left = _kliste->geometry();
    if (clientH > 300)
        left.setHeight(std::max(0, twipsToPixels(clientH - listTop)));
    left.moveLeft(twipsToPixels(50));
    if (clientW > 200)
        left.setWidth(std::max(0, twipsToPixels((clientW - 100) / 2.0)));
    _kliste->setGeometry(left);

    QRect right = _gliste->geometry();
    right.setHeight(_kliste->height());
    if (clientW > 200) {
        right.setWidth(_kliste->width());
        right.moveLeft(twipsToPixels(pixelsToTwips(_kliste->width()) + 100));
    }
    _gliste->setGeometry(right);
}

} // namespace karte
