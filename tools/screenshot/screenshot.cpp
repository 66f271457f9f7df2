// kartescreenshot PNG      shows the main window with the practice map at
//                          zoom 2, scrolled, and saves it as PNG
// kartescreenshot --map BMP  writes the practice map as an 8-bit bitmap
// kartescreenshot --karte BMP [--gipfel TXT] [--track TXT] [--zoom Z]
//                 [--scroll X Y] PNG
//                          loads the map BMP (with its calibration file) as
//                          "Karte Laden" does, then the summit list and the
//                          track through their menu commands, sets the zoom
//                          factor and the scroll positions (image pixels) and
//                          saves the window
#include "assignment/koordinatendialog.h"
#include "calibration/calibdialog.h"
#include "mainwindow/mainwindow.h"
#include "practicemap.h"
#include "state/programstate.h"

#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>

using namespace karte;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    QTextStream err(stderr);
    if (args.size() == 3 && args[1] == QStringLiteral("--map")) {
        const QImage map = practiceMap(640, 480).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        if (!map.save(args[2], "BMP")) {
            err << "could not write " << args[2] << "\n";
            return 1;
        }
        return 0;
    }
    // Options of the --karte mode; each takes its values from the following
    // arguments, the last argument is the output.
    QString mapPath, listPath, trackPath;
    float zoomFactor = 0;
    int scrollX = -1;
    int scrollY = -1;
    bool showDialogs = false;
    bool usable = args.size() >= 2;
    for (int i = 1; usable && i + 1 < args.size(); ++i) {
        const QString& option = args[i];
        const bool hasOne = i + 2 < args.size();
        if (option == QStringLiteral("--karte") && hasOne)
            mapPath = args[++i];
        else if (option == QStringLiteral("--gipfel") && hasOne)
            listPath = args[++i];
        else if (option == QStringLiteral("--track") && hasOne)
            trackPath = args[++i];
        else if (option == QStringLiteral("--dialoge"))
            showDialogs = true;
        else if (option == QStringLiteral("--zoom") && hasOne)
            zoomFactor = args[++i].toFloat(&usable);
        else if (option == QStringLiteral("--scroll") && i + 3 < args.size()) {
            bool xOk = false;
            bool yOk = false;
            scrollX = args[++i].toInt(&xOk);
            scrollY = args[++i].toInt(&yOk);
            usable = xOk && yOk;
        } else
            usable = false;
    }
    const bool loadMap = !mapPath.isEmpty();
    if (!usable || (args.size() > 2 && !loadMap)) {
        err << "usage: kartescreenshot OUTPUT.png | kartescreenshot --map OUTPUT.bmp"
               " | kartescreenshot --karte MAP.bmp [--gipfel LIST.txt] [--track TRACK.txt]"
               " [--zoom FACTOR] [--scroll X Y] [--dialoge] OUTPUT.png\n";
        return 2;
    }
    const QString output = args.last();

    ProgramState state;
    MainWindow window(state);
    window.setGeometry(QApplication::primaryScreen()->availableGeometry());
    window.show();
    if (loadMap) {
        if (!window.karteLadenVon(mapPath)) {
            err << "could not load " << mapPath << "\n";
            return 1;
        }
        // The lists come in through their menu commands, with the file
        // dialogs answering the given paths.
        if (!listPath.isEmpty()) {
            window.commonDialog2().setChooserForTests([&](const QString&, const QString&) { return listPath; });
            window.gipfellisteLaden();
            if (state.summits.count == 0)
                err << "no summits in " << listPath << "\n";
        }
        if (!trackPath.isEmpty()) {
            window.commonDialog3().setChooserForTests([&](const QString&, const QString&) { return trackPath; });
            window.trackLaden();
            if (state.track.count == 0 && state.waypoints.count == 0)
                err << "no track in " << trackPath << "\n";
        }
        if (zoomFactor > 0) {
            window.setZoom(zoomFactor);
            window.kartemalen();
        }
        if (scrollX >= 0) {
            window.findChild<QScrollBar*>(QStringLiteral("xScroll"))->setValue(scrollX);
            window.findChild<QScrollBar*>(QStringLiteral("yScroll"))->setValue(scrollY);
        }
    } else {
        window.setMapImage(practiceMap(1600, 1200), QStringLiteral("/home/karten/uebungskarte.bmp"));
        window.setZoom(1);
        window.kartemalen();
        window.findChild<QPushButton*>(QStringLiteral("ggroesser"))->click();
        window.findChild<QScrollBar*>(QStringLiteral("xScroll"))->setValue(250);
        window.findChild<QScrollBar*>(QStringLiteral("yScroll"))->setValue(180);
    }

    if (showDialogs) {
        // Both dialogs as a user opens them: a right click for the
        // calibration dialog, a left click for the assignment dialog.
        const QRect screen = QApplication::primaryScreen()->availableGeometry();
        window.showCalib();
        window.calibDialog()->move(screen.right() - window.calibDialog()->frameGeometry().width() - 20, 120);
        window.showKoordinaten();
        window.koordinatenDialog()->move(screen.right() - window.koordinatenDialog()->frameGeometry().width() - 20,
                                         screen.bottom() - window.koordinatenDialog()->frameGeometry().height() - 20);
    }

    int status = 0;
    QTimer::singleShot(500, &window, [&] {
        const QPixmap shot = showDialogs ? QApplication::primaryScreen()->grabWindow(0) : window.grab();
        if (!shot.save(output, "PNG")) {
            err << "could not write " << output << "\n";
            status = 1;
        }
        window.close();
    });
    const int rc = QApplication::exec();
    return status != 0 ? status : rc;
}
