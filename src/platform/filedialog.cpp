#include "platform/filedialog.h"

#include "platform/filterstring.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace karte {

QString FileDialog::open(QWidget* parent, const QString& filter)
{
    return choose(parent, filter, false);
}

QString FileDialog::save(QWidget* parent, const QString& filter)
{
    return choose(parent, filter, true);
}

QString FileDialog::startPath() const
{
    return _lastPath.isEmpty() ? QDir::currentPath() : _lastPath;
}

void FileDialog::setChooserForTests(Chooser chooser)
{
    _chooser = std::move(chooser);
}

QString FileDialog::choose(QWidget* parent, const QString& filter, bool forSaving)
{
    const QString qtFilter = toQtFilter(filter);
    QString path;
    if (_chooser)
        path = _chooser(qtFilter, startPath());
    else if (forSaving)
        path = QFileDialog::getSaveFileName(parent, QString(), startPath(), qtFilter);
    else
        path = QFileDialog::getOpenFileName(parent, QString(), startPath(), qtFilter);
    if (!path.isEmpty())
        _lastPath = QFileInfo(path).absoluteFilePath();
    return path;
}

} // namespace karte
