#pragma once

#include <QStringList>
#include <QWidget>

namespace karte::test {

// The widgets that take focus with Tab, in chain order, from the first one.
inline QStringList tabChain(QWidget* dialog, QWidget* first)
{
    QStringList names;
    QWidget* w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(dialog) && w != dialog)
            names << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first);
    return names;
}

} // namespace karte::test
