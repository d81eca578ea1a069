#pragma once

#include <QImage>
#include <QString>
#include <functional>

namespace TestSupport {

// Compares what a window shows with the picture it should show through, at every 20th pixel in
// both directions where showsThrough says the picture is not covered and the picture differs
// from the window's plain colour (a spot in the plain colour proves nothing).
struct PictureSpots
{
    int compared = 0;
    // The first spot that differs ("at X, Y: shown instead of expected"); empty when none does.
    QString difference;

    static PictureSpots compare(const QImage &shown, const QImage &picture, QRgb plain,
                                const std::function<bool(int x, int y)> &showsThrough);
};

} // namespace TestSupport
