#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace karte::test {

// The whole file, or nothing when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A file of tests/fixtures.
inline QByteArray fixtureBytes(const char* name)
{
    return fileBytes(QStringLiteral(KARTE_FIXTURES "/") + QLatin1String(name));
}

} // namespace karte::test
