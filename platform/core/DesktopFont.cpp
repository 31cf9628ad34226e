#include "DesktopFont.h"

#include "ChineseBitmapStrike.h"

#include <QStringList>

#include <cmath>

namespace zx {

QFont desktopFont(qreal devicePixelRatio) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(12);
    const qreal devicePixels = 12 * devicePixelRatio;
    if (devicePixels != std::round(devicePixels))
        return font;
    // The font files mostly tell without loading the Chinese face, which the
    // window may never need.
    const int size = int(devicePixels);
    const std::optional<bool> told = chineseBitmapStrike(font, size);
    if (told ? *told : loadedChineseBitmapStrike(font, size))
        font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

}  // namespace zx
