#include "ui/fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QRect>
#include <QStringList>

namespace fonts {

QFont sized(QFont font, int height) {
    if (height < 0) {
        font.setPixelSize(-height);
        return font;
    }
    int px = qMax(1, height);
    font.setPixelSize(px);
    while (px > 1 && QFontMetrics(font).height() > height) {
        font.setPixelSize(--px);
    }
    return font;
}

QFont tahoma(int height) {
    QFont font;
    // Tahoma is a narrow face: the condensed DejaVu Sans and Liberation Sans
    // keep the captions within their designed widths, DejaVu Sans is the last
    // resort.
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    return sized(font, height);
}

namespace {
qreal g_layoutScale = 1;
} // namespace

qreal layoutScale() {
    return g_layoutScale;
}

void setLayoutScale(qreal scale) {
    g_layoutScale = qBound<qreal>(1, scale, 4);
}

qreal layoutScaleFor(const QFont& desktopFont) {
    constexpr qreal usualPoints = 10;
    const qreal points = desktopFont.pointSizeF() > 0 ? desktopFont.pointSizeF()
                                                      : QFontInfo(desktopFont).pointSizeF();
    return qMax<qreal>(1, points / usualPoints);
}

int scaled(int designPixels) {
    return qRound(designPixels * g_layoutScale);
}

QRect scaled(const QRect& design) {
    return {scaled(design.x()), scaled(design.y()), scaled(design.width()),
            scaled(design.height())};
}

QFont display(DisplayFace face, int charHeight) {
    QFont font;
    if (face == DisplayFace::A) {
        // Liberation Mono and Cousine share Courier New's metrics.
        font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                          QStringLiteral("Cousine"), QStringLiteral("DejaVu Sans Mono"),
                          QStringLiteral("Monospace")});
    } else {
        font.setFamilies({QStringLiteral("Lucida Console"), QStringLiteral("DejaVu Sans Mono"),
                          QStringLiteral("Liberation Mono"), QStringLiteral("Monospace")});
    }
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setPixelSize(charHeight);
    return font;
}

} // namespace fonts
