#pragma once

#include <QList>
#include <QPoint>

// The outlines of the three shaped windows, as vertices in pixels from the window's top-left corner at 15 twips
// per pixel. The main window's bottom edge bulges down to its lowest point at the centre; the bottom edges of the
// two side windows slope down towards the main window, so that the three fit together.
namespace Outline {

using VertexTable = QList<QPoint>;

const VertexTable& mainWindow();
const VertexTable& detailWindow();
const VertexTable& updateWindow();

// The polygon of a table, as its corner points, scaled, offset and fitted to the screen's twips per pixel: each coordinate is
// value * scale * 15 / twipsPerPixel + offset, rounded half to even. A twips per pixel below 1 counts as 15.
VertexTable build(const VertexTable& table, float scaleX = 1.0f, float scaleY = 1.0f, int offsetX = 0, int offsetY = 0,
               int twipsPerPixelX = 15, int twipsPerPixelY = 15);

} // namespace Outline
