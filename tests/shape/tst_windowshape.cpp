#include "shape/outline.h"
#include "support/programwindows.h"

#include <QRegion>
#include <QTest>

namespace {

// The pixels where two regions differ, the first few of them written out, row by row.
QString firstDifferences(const QRegion& shown, const QRegion& expected)
{
    QStringList pixels;
    for (const QRect& rect : shown.xored(expected)) {
        for (int y = rect.top(); y <= rect.bottom() && pixels.size() < 8; ++y) {
            for (int x = rect.left(); x <= rect.right() && pixels.size() < 8; ++x) {
                pixels.append(
                    QStringLiteral("(%1, %2) %3")
                        .arg(x)
                        .arg(y)
                        .arg(expected.contains(QPoint(x, y)) ? QStringLiteral("missing") : QStringLiteral("extra")));
            }
        }
    }
    return pixels.join(QStringLiteral("; "));
}

// The pixels of the window's picture that are drawn at all: the artwork's smoothed edge covers some of them in part.
QRegion drawnPixels(const QImage& picture)
{
    QRegion drawn;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width();) {
            const int start = x;
            while (x < picture.width() && picture.pixelColor(x, y).alpha() > 0) {
                ++x;
            }
            drawn += QRect(start, y, x - start, 1);
            while (x < picture.width() && picture.pixelColor(x, y).alpha() == 0) {
                ++x;
            }
        }
    }
    return drawn;
}

// A polygon written as "x,y x,y ...".
QPolygon outline(const char* vertices)
{
    QPolygon polygon;
    for (const QString& vertex : QString::fromLatin1(vertices).split(QLatin1Char(' '))) {
        polygon.append(
            QPoint(vertex.section(QLatin1Char(','), 0, 0).toInt(), vertex.section(QLatin1Char(','), 1).toInt()));
    }
    return polygon;
}

} // namespace

// Shaped windows are cut to their artwork, transparent outside it for Wayland; the others paint every corner.
class TestWindowShape : public QObject
{
    Q_OBJECT

private slots:
    void cutToTheArtwork_data();
    void cutToTheArtwork();
    void outlineFollowsTheScreen();
};

void TestWindowShape::cutToTheArtwork_data()
{
    QTest::addColumn<QString>("window");
    // The outline the user sees, vertices in pixels from the top-left corner, filled even-odd; none: not cut.
    QTest::addColumn<QPolygon>("outline");
    // The bottom edge of the main window bulges down to a point at its centre; each side window is lowest next to
    // the main window: the detail window on its right, the update one on its left.
    QTest::newRow("main")
        << "frm0_Inicial"
        << outline("5,0 294,0 295,1 296,1 298,3 299,6 299,319 298,320 298,321 296,323 293,324 290,325 283,326 278,327 "
                   "273,328 268,329 263,330 256,331 253,332 246,333 243,334 219,338 216,339 209,340 206,341 182,345 "
                   "179,346 172,347 169,348 162,349 160,351 159,351 154,356 153,356 150,359 147,358 141,352 140,352 "
                   "137,349 130,348 127,347 120,346 117,345 93,341 90,340 83,339 80,338 73,337 68,336 63,335 58,334 "
                   "51,333 48,332 41,331 38,330 14,326 11,325 8,325 7,324 5,324 4,323 3,323 1,321 0,318 0,5 1,4 1,3 "
                   "3,1");
    QTest::newRow("detail")
        << "frm2_Esquerda"
        << outline("5,0 172,0 173,1 174,1 176,3 177,6 177,221 176,222 176,223 174,225 171,226 165,226 164,225 155,224 "
                   "152,223 145,222 142,221 128,219 125,218 118,217 115,216 101,214 98,213 91,212 86,211 81,210 76,209 "
                   "69,208 66,207 52,205 49,204 42,203 39,202 10,197 7,196 5,196 4,195 3,195 0,192 0,5 1,4 1,3 3,1");
    QTest::newRow("update")
        << "frm3_Direita"
        << outline("5,0 172,0 173,1 174,1 176,3 177,6 177,192 174,195 171,196 166,197 159,198 156,199 149,200 146,201 "
                   "139,202 134,203 129,204 124,205 117,206 114,207 100,209 97,210 90,211 87,212 73,214 70,215 63,216 "
                   "58,217 53,218 48,219 41,220 38,221 19,224 16,225 9,226 5,226 4,225 3,225 1,223 0,220 0,5 1,4 1,3 "
                   "3,1");
    QTest::newRow("login, not cut") << "frm0_Logar" << QPolygon{};
}

// Pixel for pixel: the window takes the mouse inside the outline only, and its picture is drawn there and
// transparent everywhere else.
void TestWindowShape::cutToTheArtwork()
{
    QFETCH(QString, window);
    QFETCH(QPolygon, outline);
    ProgramWindows windows;
    QWidget* shown = windows.window(window);
    const QImage picture = shown->grab().toImage();
    const QRegion expected = outline.isEmpty() ? QRegion(picture.rect()) : QRegion(outline, Qt::OddEvenFill);
    QCOMPARE(shown->mask().isEmpty(), outline.isEmpty());
    if (!outline.isEmpty()) {
        QVERIFY2(shown->mask().xored(expected).isEmpty(),
                 qPrintable(QStringLiteral("mask: ") + firstDifferences(shown->mask(), expected)));
    }
    const QRegion drawn = drawnPixels(picture);
    QVERIFY2(drawn.xored(expected).isEmpty(),
             qPrintable(QStringLiteral("drawn: ") + firstDifferences(drawn, expected)));
}

// At 120 dpi (12 twips a pixel), halves going to the even neighbour; no usable twips a pixel counts as standard.
void TestWindowShape::outlineFollowsTheScreen()
{
    QCOMPARE(Outline::build(Outline::mainWindow(), 1, 1, 0, 0, 12, 12).at(54), QPoint(48, 412));
    QCOMPARE(Outline::build(Outline::mainWindow(), 1, 1, 0, 0, 0, -12), Outline::mainWindow());
}

QTEST_MAIN(TestWindowShape)
#include "tst_windowshape.moc"
