#include "support/PictureSpots.h"

namespace TestSupport {

PictureSpots PictureSpots::compare(const QImage &shown, const QImage &picture, QRgb plain,
                                   const std::function<bool(int x, int y)> &showsThrough)
{
    PictureSpots spots;
    for (int y = 5; y < picture.height(); y += 20) {
        for (int x = 5; x < picture.width(); x += 20) {
            const QRgb expected = picture.pixel(x, y);
            if (expected == plain || !showsThrough(x, y))
                continue;
            if (shown.pixel(x, y) != expected) {
                spots.difference = QStringLiteral("at %1, %2: %3 instead of %4")
                                       .arg(x)
                                       .arg(y)
                                       .arg(shown.pixel(x, y), 8, 16)
                                       .arg(expected, 8, 16);
                return spots;
            }
            ++spots.compared;
        }
    }
    return spots;
}

} // namespace TestSupport
