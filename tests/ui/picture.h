#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

// Reading the ink of rendered widgets, for picture tests.
namespace picture {

// `widget` rendered at one image pixel per logical pixel.
inline QImage render(QWidget* widget, QRect area = QRect(QPoint(0, 0), QSize(-1, -1))) {
    QImage image = widget->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    const qreal ratio = image.devicePixelRatio();
    if (ratio != 1.0) {
        image = image.scaled(qRound(image.width() / ratio), qRound(image.height() / ratio),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

// How red a pixel is: full for pure red, nothing for white, black or grey.
inline int redness(QRgb pixel) {
    return qMax(0, qRed(pixel) - qMax(qGreen(pixel), qBlue(pixel)));
}

// How dark and grey a pixel is: full for black, nothing for white or red.
inline int blackness(QRgb pixel) {
    return qRed(pixel) > qGreen(pixel) + 40 ? 0 : 255 - qMax(qRed(pixel), qGreen(pixel));
}

struct Ink {
    double weight = 0;    // sum of the pixel weights
    double centreX = 0;   // weighted mean of the columns' centres
    int firstColumn = -1; // leftmost column with ink above `threshold`
    int lastColumn = -1;  // rightmost such column
    // Middle of the columns from first to last.
    double middle() const { return (firstColumn + lastColumn + 1) / 2.0; }
};

// The ink of `image` by `measure`; a column counts for first/last when one
// of its pixels weighs more than `threshold`.
template <typename Measure> Ink ink(const QImage& image, Measure measure, int threshold = 100) {
    Ink result;
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int w = measure(line[x]);
            if (w <= 0) {
                continue;
            }
            result.weight += w;
            sum += w * (x + 0.5);
            if (w > threshold) {
                if (result.firstColumn < 0 || x < result.firstColumn) {
                    result.firstColumn = x;
                }
                result.lastColumn = qMax(result.lastColumn, x);
            }
        }
    }
    if (result.weight > 0) {
        result.centreX = sum / result.weight;
    }
    return result;
}

} // namespace picture
