#include "mainwindow/mainwindow.h"

namespace karte {

void MainWindow::trackLaden()
{
}

} // namespace karte
