#include "shape/outline.h"

#include <cmath>

namespace {

int roundHalfToEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// A screen that reports no usable twips per pixel is taken as a standard one rather than dividing by zero.
double fitToScreen(int twipsPerPixel)
{
    return twipsPerPixel > 0 ? 15.0 / twipsPerPixel : 1.0;
}

} // namespace

namespace Outline {

const VertexTable& mainWindow()
{
    static const VertexTable table = {
        {5, 0},     {294, 0},   {295, 1},   {296, 1},   {298, 3},   {299, 6},   {299, 319}, {298, 320}, {298, 321},
        {296, 323}, {293, 324}, {290, 325}, {283, 326}, {278, 327}, {273, 328}, {268, 329}, {263, 330}, {256, 331},
        {253, 332}, {246, 333}, {243, 334}, {219, 338}, {216, 339}, {209, 340}, {206, 341}, {182, 345}, {179, 346},
        {172, 347}, {169, 348}, {162, 349}, {160, 351}, {159, 351}, {154, 356}, {153, 356}, {150, 359}, {147, 358},
        {141, 352}, {140, 352}, {137, 349}, {130, 348}, {127, 347}, {120, 346}, {117, 345}, {93, 341},  {90, 340},
        {83, 339},  {80, 338},  {73, 337},  {68, 336},  {63, 335},  {58, 334},  {51, 333},  {48, 332},  {41, 331},
        {38, 330},  {14, 326},  {11, 325},  {8, 325},   {7, 324},   {5, 324},   {4, 323},   {3, 323},   {1, 321},
        {0, 318},   {0, 5},     {1, 4},     {1, 3},     {3, 1},
    };
    return table;
}

const VertexTable& detailWindow()
{
    static const VertexTable table = {
        {5, 0},     {172, 0},   {173, 1},   {174, 1},   {176, 3},   {177, 6},   {177, 221}, {176, 222}, {176, 223},
        {174, 225}, {171, 226}, {165, 226}, {164, 225}, {155, 224}, {152, 223}, {145, 222}, {142, 221}, {128, 219},
        {125, 218}, {118, 217}, {115, 216}, {101, 214}, {98, 213},  {91, 212},  {86, 211},  {81, 210},  {76, 209},
        {69, 208},  {66, 207},  {52, 205},  {49, 204},  {42, 203},  {39, 202},  {10, 197},  {7, 196},   {5, 196},
        {4, 195},   {3, 195},   {0, 192},   {0, 5},     {1, 4},     {1, 3},     {3, 1},
    };
    return table;
}

const VertexTable& updateWindow()
{
    static const VertexTable table = {
        {5, 0},     {172, 0},   {173, 1},   {174, 1},   {176, 3},   {177, 6},   {177, 192}, {174, 195}, {171, 196},
        {166, 197}, {159, 198}, {156, 199}, {149, 200}, {146, 201}, {139, 202}, {134, 203}, {129, 204}, {124, 205},
        {117, 206}, {114, 207}, {100, 209}, {97, 210},  {90, 211},  {87, 212},  {73, 214},  {70, 215},  {63, 216},
        {58, 217},  {53, 218},  {48, 219},  {41, 220},  {38, 221},  {19, 224},  {16, 225},  {9, 226},   {5, 226},
        {4, 225},   {3, 225},   {1, 223},   {0, 220},   {0, 5},     {1, 4},     {1, 3},     {3, 1},
    };
    return table;
}

VertexTable build(const VertexTable& table, float scaleX, float scaleY, int offsetX, int offsetY, int twipsPerPixelX,
               int twipsPerPixelY)
{
    const double fitX = fitToScreen(twipsPerPixelX);
    const double fitY = fitToScreen(twipsPerPixelY);
    VertexTable polygon;
    polygon.reserve(table.size());
    for (const QPoint& vertex : table) {
        const double x = double(vertex.x()) * double(scaleX) * fitX + offsetX;
        const double y = double(vertex.y()) * double(scaleY) * fitY + offsetY;
        polygon.append(QPoint(roundHalfToEven(x), roundHalfToEven(y)));
    }
    return polygon;
}

} // namespace Outline
