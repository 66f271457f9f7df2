#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace karte {

// One file dialog of the main window. Each instance remembers the folder
// and name of its own last choice and opens there next time.
class FileDialog {
public:
    // Replaces the interactive dialog: gets Qt's filter text and the start
    // path, returns the chosen path or an empty text for "cancelled".
    using Chooser = std::function<QString(const QString& qtFilter, const QString& startPath)>;

    // filter: "description|pattern;pattern|...". Returns the full path, or
    // an empty text when the user cancelled.
    QString open(QWidget* parent, const QString& filter);
    QString save(QWidget* parent, const QString& filter);

    // The path the next dialog starts with: the last choice, or the
    // current working folder before the first one.
    QString startPath() const;

    void setChooserForTests(Chooser chooser);

private:
    QString choose(QWidget* parent, const QString& filter, bool forSaving);

    QString _lastPath;
    Chooser _chooser;
};

} // namespace karte
