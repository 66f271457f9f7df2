#pragma once

#include "state/numberformat.h"

#include <QString>

namespace karte {

// The program's version numbers, kept here and nowhere else.
constexpr int versionMajor = 0;
constexpr int versionMinor = 7;
constexpr int versionRevision = 7;

// The main window's title: "Kartenauswertung" directly followed by
// "major.minor - revision", numbers in plain form.
inline QString programTitle()
{
    return QStringLiteral("Kartenauswertung") + plainForm(versionMajor) + QLatin1Char('.')
        + plainForm(versionMinor) + QStringLiteral(" - ") + plainForm(versionRevision);
}

} // namespace karte
