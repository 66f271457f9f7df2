#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace karte {

// Short German messages for failures a user wants to know about (a save
// that failed, a file that is not a map). Tests replace the message box with
// a recorder, since a modal box would stop an unattended run.
void showUserMessage(QWidget* parent, const QString& text);

// Replaces the message box; an empty function restores it.
void setUserMessageSinkForTests(std::function<void(const QString&)> sink);

} // namespace karte
