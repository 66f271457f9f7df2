#include "mainwindow/mainwindow.h"
#include "state/programstate.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // "Ende" closes the main window; the dialogs may stay open beside it,
    // and the program ends once the last window has closed.
    QApplication::setQuitOnLastWindowClosed(true);
    karte::ProgramState state;
    karte::MainWindow window(state);
    window.showMaximized();
    return QApplication::exec();
}
