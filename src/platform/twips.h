#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window layouts are given in twips, 1/1440 inch. Qt lays widgets out in device-independent pixels of 1/96 inch
// and scales them for the screen itself, so one pixel is always 15 twips here.
namespace Twips {

constexpr int perPixel = 15;

constexpr int toPixels(int twips)
{
    // Round half away from zero, as the window designer did when it snapped controls to pixels.
    return twips >= 0 ? (twips + perPixel / 2) / perPixel : -((-twips + perPixel / 2) / perPixel);
}

constexpr int fromPixels(int pixels)
{
    return pixels * perPixel;
}

constexpr QPoint point(int left, int top)
{
    return {toPixels(left), toPixels(top)};
}

constexpr QSize size(int width, int height)
{
    return {toPixels(width), toPixels(height)};
}

constexpr QRect rect(int left, int top, int width, int height)
{
    return {point(left, top), size(width, height)};
}

} // namespace Twips
