#include "mainwindow/mainwindow.h"

namespace karte {

// Menu commands of the "Datei" menu; they do nothing until their file work
// is filled in.

void MainWindow::gipfellisteLaden()
{
}

void MainWindow::gipfellisteSpeichern()
{
}

} // namespace karte
