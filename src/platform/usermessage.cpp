#include "platform/usermessage.h"

#include <QMessageBox>

namespace karte {

namespace {

std::function<void(const QString&)>& sink()
{
    static std::function<void(const QString&)> s;
    return s;
}

} // namespace

void showUserMessage(QWidget* parent, const QString& text)
{
    if (sink()) {
        sink()(text);
        return;
    }
    QMessageBox::warning(parent, QStringLiteral("Kartenauswertung"), text);
}

void setUserMessageSinkForTests(std::function<void(const QString&)> s)
{
    sink() = std::move(s);
}

} // namespace karte
