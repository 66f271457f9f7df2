#include "mainwindow/mainwindow.h"

namespace karte {

void MainWindow::gipfellisteLaden()
{
}

void MainWindow::gipfellisteSpeichern()
{
}

} // namespace karte
