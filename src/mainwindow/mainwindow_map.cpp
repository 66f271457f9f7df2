#include "mainwindow/mainwindow.h"

namespace karte {

void MainWindow::karteLaden()
{
}

void MainWindow::karteAbspeichern()
{
}

} // namespace karte
