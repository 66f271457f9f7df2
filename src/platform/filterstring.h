#pragma once

#include <QString>

namespace karte {

// Turns a file filter written as "description|pattern;pattern|..." into
// Qt's form "description (pattern pattern);;...". Empty patterns (a
// trailing ";") are dropped; a description without patterns gets "*".
QString toQtFilter(const QString& filter);

} // namespace karte
