#include "platform/canvasfont.h"

#include <QFontInfo>

namespace karte {

QFont canvasFont()
{
    QFont font(QStringLiteral("Small Fonts"));
    font.setPointSizeF(6.75);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    if (QFontInfo(font).family() != font.family()) {
        // Font matching would otherwise pick whatever the system offers;
        // ask for the generic sans-serif family at the same size.
        font.setFamily(QStringLiteral("Sans Serif"));
    }
    return font;
}

} // namespace karte
