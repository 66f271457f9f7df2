#include "calibration/calibdialog.h"

#include "calibration/calibrationmodel.h"
#include "platform/twips.h"
#include "state/numberformat.h"
#include "state/programstate.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>

#include <array>

namespace karte {

namespace {

// Designed client area and grid top, twips.
constexpr int clientWidth = 6900;
constexpr int clientHeight = 5325;
constexpr int gridTop = 2520;
constexpr int gridLeft = 50;

// Shares of the grid width for columns 0 to 6; column 7 keeps its width.
constexpr std::array<double, 7> columnShares{0.15, 0.15, 0.08, 0.2, 0.12, 0.1, 0.1};
constexpr int lastColumnWidth = 600; // twips
constexpr int rowHeight = 255;       // twips, title and data rows

void placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// The hook the dialog installs in the shared state; a named type so that the
// destructor can tell its own hook from another dialog's.
struct RefreshHook {
    CalibDialog* dialog;
    void operator()() const { dialog->textaktualisieren(); }
};

} // namespace

CalibDialog::CalibDialog(ProgramState& state, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , _state(state)
{
    setObjectName(QStringLiteral("calib"));
    setWindowTitle(QStringLiteral("Kartenkalibration"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The twip layout is designed for an 8-point dialog font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    // Created in focus order, so the default chain already runs
    // lgrdtxt, bgrdtxt, abbrechen, Kal1, Kal2, ggrid.
    _lgrdtxt = new QLineEdit(QStringLiteral("0"), this);
    _lgrdtxt->setObjectName(QStringLiteral("lgrdtxt"));
    _bgrdtxt = new QLineEdit(QStringLiteral("0"), this);
    _bgrdtxt->setObjectName(QStringLiteral("bgrdtxt"));
    _abbrechen = new QPushButton(QStringLiteral("Schließen"), this);
    _abbrechen->setObjectName(QStringLiteral("abbrechen"));
    _kal1 = new QPushButton(QStringLiteral("1. Kalibrierpunkt setzen"), this);
    _kal1->setObjectName(QStringLiteral("Kal1"));
    _kal2 = new QPushButton(QStringLiteral("2. Kalibrierpunkt setzen"), this);
    _kal2->setObjectName(QStringLiteral("Kal2"));
    _ggrid = new QTableWidget(1, 8, this);
    _ggrid->setObjectName(QStringLiteral("ggrid"));

    _xwert = makeLabel(this, "xwert", QString());
    _ywert = makeLabel(this, "ywert", QString());
    _calib1 = makeLabel(this, "calib1", QString());
    _calib2 = makeLabel(this, "calib2", QString());
    _kalibkoeff = makeLabel(this, "kalibkoeff", QStringLiteral("Kalibrationskoeffizienten"));
    _kalibkoeff->setWordWrap(true);
    _kalibkoeff->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // calib1 reaches under Kal1; labels stay beneath the controls.
    for (QLabel* label : {_xwert, _ywert, _calib1, _calib2, _kalibkoeff})
        label->lower();

    // The designed buttons are narrow for their texts; a condensed face
    // keeps "1. Kalibrierpunkt setzen" whole.
    QFont condensed = small;
    condensed.setStretch(QFont::Condensed);
    _kal1->setFont(condensed);
    _kal2->setFont(condensed);

    setTabOrder(_lgrdtxt, _bgrdtxt);
    setTabOrder(_bgrdtxt, _abbrechen);
    setTabOrder(_abbrechen, _kal1);
    setTabOrder(_kal1, _kal2);
    setTabOrder(_kal2, _ggrid);

    placeTwips(_xwert, 120, 120, 1335, 255);
    placeTwips(_ywert, 120, 480, 1335, 255);
    placeTwips(_lgrdtxt, 1560, 120, 1575, 285);
    placeTwips(_bgrdtxt, 1560, 480, 1575, 285);
    placeTwips(_abbrechen, 5280, 120, 1095, 255);
    placeTwips(_calib1, 120, 840, 4935, 375);
    placeTwips(_kal1, 5040, 960, 1815, 375);
    placeTwips(_calib2, 120, 1320, 4935, 375);
    placeTwips(_kal2, 5040, 1320, 1815, 375);
    placeTwips(_kalibkoeff, 0, 1680, 6015, 735);
    placeTwips(_ggrid, 0, gridTop, 6855, 2775);

    // One title row without texts, no title column, cells only for reading.
    _ggrid->setHorizontalHeaderLabels(QStringList(8, QString()));
    _ggrid->verticalHeader()->hide();
    _ggrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _ggrid->setSelectionMode(QAbstractItemView::SingleSelection);
    _ggrid->setWordWrap(false);
    _ggrid->verticalHeader()->setMinimumSectionSize(0);
    _ggrid->verticalHeader()->setDefaultSectionSize(twipsToPixels(rowHeight));
    _ggrid->horizontalHeader()->setFixedHeight(twipsToPixels(rowHeight));
    _ggrid->horizontalHeader()->setStretchLastSection(false);
    _ggrid->setColumnWidth(7, twipsToPixels(lastColumnWidth));

    connect(_abbrechen, &QPushButton::clicked, this, &QWidget::close);
    connect(_kal1, &QPushButton::clicked, this, [this] { setPoint(1); });
    connect(_kal2, &QPushButton::clicked, this, [this] { setPoint(2); });
    connect(_ggrid, &QTableWidget::cellClicked, this, [this](int row, int) { gridClicked(row); });

    resize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));

    _state.textaktualisieren = RefreshHook{this};
    textaktualisieren();
    fillGrid();
}

CalibDialog::~CalibDialog()
{
    const auto* hook = _state.textaktualisieren.target<RefreshHook>();
    if (hook && hook->dialog == this)
        _state.textaktualisieren = nullptr;
}

void CalibDialog::textaktualisieren()
{
    const CalibrationRecord& c = _state.calibration;
    // The marked point is shown with its fraction and left as it is, so that
    // Kal1 and Kal2 use exactly the point that was clicked.
    _xwert->setText(generalForm(_state.markedPoint.x));
    _ywert->setText(generalForm(_state.markedPoint.y));
    _calib1->setText(QStringLiteral("X: ") + generalForm(c.cx1) + QStringLiteral(":= ") + generalForm(c.Lgrd1)
                     + QStringLiteral("grd, Y: ") + generalForm(c.cy1) + QStringLiteral(":= ") + generalForm(c.Bgrd1)
                     + QStringLiteral("grd"));
    _calib2->setText(QStringLiteral("X: ") + generalForm(c.cx2) + QStringLiteral(":= ") + generalForm(c.Lgrd2)
                     + QStringLiteral("grd, Y: ") + generalForm(c.cy2) + QStringLiteral(":= ") + generalForm(c.Bgrd2)
                     + QStringLiteral("grd"));
    const QString longitude = QStringLiteral("lgrd=") + generalForm(c.L0) + QStringLiteral("+") + generalForm(c.Lx)
                              + QStringLiteral("*X +") + generalForm(c.Ly) + QStringLiteral("*Y ;");
    const QString latitude = QStringLiteral("bgrd=") + generalForm(c.B0) + QStringLiteral("+") + generalForm(c.Bx)
                             + QStringLiteral("*X +") + generalForm(c.By) + QStringLiteral("*Y ; ");
    const QString ratio = QStringLiteral("Maßstabsverhältnis x/y:") + generalForm(calibration::scaleRatio(c, _state.pi))
                          + QStringLiteral("Nordabweichung") + generalForm(calibration::northDeviationDegrees(c, _state.pi))
                          + QStringLiteral("°");
    const QString scale = QStringLiteral("Maßstab: ") + generalForm(calibration::metresPerPixel(c.maß))
                          + QStringLiteral("Meter/Pixel");
    _kalibkoeff->setText(longitude + latitude + ratio + scale);
}

void CalibDialog::fillGrid()
{
    const SummitTable& table = _state.summits;
    for (int i = 0; i < table.count; ++i) {
        const Summit& s = table.entries[static_cast<size_t>(i)];
        if (s.GIPFELOST == 0)
            continue; // no coordinates yet
        // A row is appended from one tab-separated text, as the list file
        // holds it; the list's fields cannot contain tabs.
        const QString line = QStringList{s.GEBIET,
                                         s.TEILGEBIET,
                                         generalForm(s.GIPFELNR),
                                         s.GIPFELNAME_D,
                                         s.GIPFELNAME_CZ,
                                         generalForm(s.GIPFELOST),
                                         generalForm(s.GIPFELNORD),
                                         generalForm(int(s.POSFEHLER))}
                                 .join(u'\t');
        const QStringList cells = line.split(u'\t');
        const int row = _ggrid->rowCount();
        _ggrid->insertRow(row);
        for (int column = 0; column < cells.size() && column < 8; ++column)
            _ggrid->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
}

void CalibDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!isMinimized())
        layoutGrid();
}

void CalibDialog::layoutGrid()
{
    const int clientW = pixelsToTwips(width());
    const int clientH = pixelsToTwips(height());
    QRect grid = _ggrid->geometry();
    // A client lower than the grid's top leaves an empty grid, never a
    // negative height.
    if (clientH > 300)
        grid.setHeight(std::max(0, twipsToPixels(clientH - gridTop)));
    grid.moveLeft(twipsToPixels(gridLeft));
    if (clientW > 200)
        grid.setWidth(std::max(0, twipsToPixels(clientW - gridLeft)));
    _ggrid->setGeometry(grid);
    if (clientW > 200) {
        const int gridW = pixelsToTwips(_ggrid->width());
        for (int column = 0; column < int(columnShares.size()); ++column)
            _ggrid->setColumnWidth(column, twipsToPixels(roundHalfEven(gridW * columnShares[size_t(column)])));
    }
}

void CalibDialog::gridClicked(int row)
{
    const auto cellText = [this, row](int column) {
        const QTableWidgetItem* item = _ggrid->item(row, column);
        return item ? item->text() : QString();
    };
    _ggrid->setCurrentCell(row, 5);
    _lgrdtxt->setText(cellText(5));
    _ggrid->setCurrentCell(row, 6);
    _bgrdtxt->setText(cellText(6));
}

void CalibDialog::setPoint(int k)
{
    const MarkedPoint& p = _state.markedPoint;
    calibration::setReferencePoint(_state, k, p.x, p.y, valueOf(_lgrdtxt->text()), valueOf(_bgrdtxt->text()));
}

} // namespace karte
