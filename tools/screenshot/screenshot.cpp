// kartescreenshot PNG      shows the main window with the practice map at
//                          zoom 2, scrolled, and saves it as PNG
// kartescreenshot --map BMP  writes the practice map as an 8-bit bitmap
// kartescreenshot --karte BMP PNG  loads the map BMP (with its calibration
//                          file) as "Karte Laden" does and saves the window
#include "mainwindow/mainwindow.h"
#include "practicemap.h"
#include "state/programstate.h"

#include <QApplication>
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
    const bool loadMap = args.size() == 4 && args[1] == QStringLiteral("--karte");
    if (args.size() != 2 && !loadMap) {
        err << "usage: kartescreenshot OUTPUT.png | kartescreenshot --map OUTPUT.bmp"
               " | kartescreenshot --karte MAP.bmp OUTPUT.png\n";
        return 2;
    }
    const QString output = args.last();

    ProgramState state;
    MainWindow window(state);
    window.setGeometry(QApplication::primaryScreen()->availableGeometry());
    window.show();
    if (loadMap) {
        if (!window.karteLadenVon(args[2])) {
            err << "could not load " << args[2] << "\n";
            return 1;
        }
    } else {
        window.setMapImage(practiceMap(1600, 1200), QStringLiteral("/home/karten/uebungskarte.bmp"));
        window.setZoom(1);
        window.kartemalen();
        window.findChild<QPushButton*>(QStringLiteral("ggroesser"))->click();
        window.findChild<QScrollBar*>(QStringLiteral("xScroll"))->setValue(250);
        window.findChild<QScrollBar*>(QStringLiteral("yScroll"))->setValue(180);
    }

    int status = 0;
    QTimer::singleShot(500, &window, [&] {
        if (!window.grab().save(output, "PNG")) {
            err << "could not write " << output << "\n";
            status = 1;
        }
        window.close();
    });
    const int rc = QApplication::exec();
    return status != 0 ? status : rc;
}
