#include "platform/windowshape.h"
#include "shape/outline.h"

#include <QRegion>
#include <QTest>
#include <QWidget>

#include <algorithm>

namespace {

const Outline::VertexTable& tableNamed(const QString& window)
{
    if (window == QLatin1String("main")) {
        return Outline::mainWindow();
    }
    return window == QLatin1String("detail") ? Outline::detailWindow() : Outline::updateWindow();
}

QRegion regionOf(const QString& window)
{
    return QRegion(Outline::build(tableNamed(window)), Qt::OddEvenFill);
}

// The lowest row of the region in one column of pixels, or -1 when the column is empty.
int lowestRowAt(const QRegion& region, int column)
{
    for (int row = region.boundingRect().bottom(); row >= 0; --row) {
        if (region.contains(QPoint(column, row))) {
            return row;
        }
    }
    return -1;
}

} // namespace

class TestOutline : public QObject
{
    Q_OBJECT

private slots:
    void tablesHaveTheirShape_data();
    void tablesHaveTheirShape();
    void standardScreenKeepsTheTable_data();
    void standardScreenKeepsTheTable();
    void scaledPointsRoundHalfToEven_data();
    void scaledPointsRoundHalfToEven();
    void unusableTwipsPerPixelCountsAsStandard_data();
    void unusableTwipsPerPixelCountsAsStandard();
    void maskHoldsOnlyTheInside_data();
    void maskHoldsOnlyTheInside();
    void sideWindowsSlopeTowardsTheMainWindow_data();
    void sideWindowsSlopeTowardsTheMainWindow();
    void mainWindowBottomIsLowestAtTheCentre();
};

void TestOutline::tablesHaveTheirShape_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("count");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("last");

    QTest::newRow("main") << "main" << 68 << QRect(QPoint(0, 0), QPoint(299, 359)) << QPoint(5, 0) << QPoint(3, 1);
    QTest::newRow("detail") << "detail" << 43 << QRect(QPoint(0, 0), QPoint(177, 226)) << QPoint(5, 0) << QPoint(3, 1);
    QTest::newRow("update") << "update" << 44 << QRect(QPoint(0, 0), QPoint(177, 226)) << QPoint(5, 0) << QPoint(3, 1);
}

void TestOutline::tablesHaveTheirShape()
{
    QFETCH(QString, window);
    QFETCH(int, count);
    QFETCH(QRect, bounds);
    QFETCH(QPoint, first);
    QFETCH(QPoint, last);

    const Outline::VertexTable& table = tableNamed(window);
    QCOMPARE(table.size(), count);
    QCOMPARE(QPolygon(table).boundingRect(), bounds);
    QCOMPARE(table.first(), first);
    QCOMPARE(table.last(), last);
}

void TestOutline::standardScreenKeepsTheTable_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("main") << "main";
    QTest::newRow("detail") << "detail";
    QTest::newRow("update") << "update";
}

void TestOutline::standardScreenKeepsTheTable()
{
    QFETCH(QString, window);
    const Outline::VertexTable& table = tableNamed(window);
    QCOMPARE(Outline::build(table), QPolygon(table));
    QCOMPARE(Outline::build(table, 1.0f, 1.0f, 0, 0, 15, 15), QPolygon(table));
}

void TestOutline::scaledPointsRoundHalfToEven_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("scaleX");
    QTest::addColumn<float>("scaleY");
    QTest::addColumn<int>("offsetX");
    QTest::addColumn<int>("offsetY");
    QTest::addColumn<int>("twipsPerPixel");
    QTest::addColumn<QPoint>("expected");

    // 120 dots per inch: 12 twips per pixel, every coordinate times 1.25.
    QTest::newRow("120 dpi right edge") << "main" << 6 << 1.0f << 1.0f << 0 << 0 << 12 << QPoint(374, 399);
    QTest::newRow("120 dpi lowest point, x half up to even")
        << "main" << 34 << 1.0f << 1.0f << 0 << 0 << 12 << QPoint(188, 449);
    QTest::newRow("120 dpi x half down to even") << "main" << 44 << 1.0f << 1.0f << 0 << 0 << 12 << QPoint(112, 425);
    QTest::newRow("120 dpi y half down to even") << "main" << 54 << 1.0f << 1.0f << 0 << 0 << 12 << QPoint(48, 412);
    QTest::newRow("120 dpi first vertex") << "main" << 0 << 1.0f << 1.0f << 0 << 0 << 12 << QPoint(6, 0);
    QTest::newRow("120 dpi detail lowest") << "detail" << 10 << 1.0f << 1.0f << 0 << 0 << 12 << QPoint(214, 282);
    QTest::newRow("144 dpi update lowest") << "update" << 34 << 1.0f << 1.0f << 0 << 0 << 10 << QPoint(14, 339);
    QTest::newRow("scale and offset") << "main" << 0 << 2.0f << 0.5f << 10 << -3 << 15 << QPoint(20, -3);
    QTest::newRow("negative half goes to even") << "main" << 67 << 2.0f << 0.5f << 10 << -3 << 15 << QPoint(16, -2);
    QTest::newRow("negative half goes to even, odd side")
        << "main" << 66 << 1.0f << 0.5f << 0 << -3 << 15 << QPoint(1, -2);
    QTest::newRow("offset alone") << "update" << 5 << 1.0f << 1.0f << -177 << 100 << 15 << QPoint(0, 106);
}

void TestOutline::scaledPointsRoundHalfToEven()
{
    QFETCH(QString, window);
    QFETCH(int, index);
    QFETCH(float, scaleX);
    QFETCH(float, scaleY);
    QFETCH(int, offsetX);
    QFETCH(int, offsetY);
    QFETCH(int, twipsPerPixel);
    QFETCH(QPoint, expected);

    const Outline::VertexTable& table = tableNamed(window);
    const QPolygon polygon = Outline::build(table, scaleX, scaleY, offsetX, offsetY, twipsPerPixel, twipsPerPixel);
    QCOMPARE(polygon.size(), table.size());
    QCOMPARE(polygon.at(index), expected);
}

void TestOutline::unusableTwipsPerPixelCountsAsStandard_data()
{
    QTest::addColumn<int>("twipsPerPixelX");
    QTest::addColumn<int>("twipsPerPixelY");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("negative") << -12 << -12;
    QTest::newRow("zero across only") << 0 << 15;
    QTest::newRow("zero down only") << 15 << 0;
}

void TestOutline::unusableTwipsPerPixelCountsAsStandard()
{
    QFETCH(int, twipsPerPixelX);
    QFETCH(int, twipsPerPixelY);
    const QPolygon polygon = Outline::build(Outline::mainWindow(), 1.0f, 1.0f, 0, 0, twipsPerPixelX, twipsPerPixelY);
    QCOMPARE(polygon, QPolygon(Outline::mainWindow()));
}

void TestOutline::maskHoldsOnlyTheInside_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("inside");

    QTest::newRow("main centre of the bulge") << "main" << QPoint(150, 350) << true;
    QTest::newRow("main middle") << "main" << QPoint(150, 180) << true;
    QTest::newRow("main below the left foot") << "main" << QPoint(5, 358) << false;
    QTest::newRow("main below the right edge") << "main" << QPoint(299, 330) << false;
    QTest::newRow("main top-left corner") << "main" << QPoint(0, 0) << false;
    QTest::newRow("main top-right corner") << "main" << QPoint(299, 0) << false;
    QTest::newRow("main just inside the top-left corner") << "main" << QPoint(3, 3) << true;
    QTest::newRow("main beside the lowest point") << "main" << QPoint(140, 357) << false;
    QTest::newRow("detail top-left corner") << "detail" << QPoint(0, 0) << false;
    QTest::newRow("detail top-right corner") << "detail" << QPoint(177, 0) << false;
    QTest::newRow("detail low at the right end") << "detail" << QPoint(168, 224) << true;
    QTest::newRow("detail high at the left end") << "detail" << QPoint(8, 224) << false;
    QTest::newRow("update top-left corner") << "update" << QPoint(0, 0) << false;
    QTest::newRow("update top-right corner") << "update" << QPoint(177, 0) << false;
    QTest::newRow("update low at the left end") << "update" << QPoint(7, 224) << true;
    QTest::newRow("update high at the right end") << "update" << QPoint(170, 224) << false;
}

void TestOutline::maskHoldsOnlyTheInside()
{
    QFETCH(QString, window);
    QFETCH(QPoint, pixel);
    QFETCH(bool, inside);

    QWidget widget(nullptr, Qt::FramelessWindowHint);
    widget.resize(300, 360);
    applyWindowOutline(&widget, Outline::build(tableNamed(window)));
    QCOMPARE(widget.mask().contains(pixel), inside);
    QCOMPARE(regionOf(window).contains(pixel), inside);
}

void TestOutline::sideWindowsSlopeTowardsTheMainWindow_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("nearColumn");
    QTest::addColumn<int>("farColumn");

    // The detail window stands left of the main window, the update window right of it: each is lowest next to it.
    QTest::newRow("detail") << "detail" << 168 << 2;
    QTest::newRow("update") << "update" << 7 << 175;
}

void TestOutline::sideWindowsSlopeTowardsTheMainWindow()
{
    QFETCH(QString, window);
    QFETCH(int, nearColumn);
    QFETCH(int, farColumn);

    const QRegion region = regionOf(window);
    const int step = nearColumn < farColumn ? 1 : -1;
    int previous = lowestRowAt(region, nearColumn);
    QVERIFY(previous >= 224);
    for (int column = nearColumn + step; column != farColumn; column += step) {
        const int lowest = lowestRowAt(region, column);
        QVERIFY2(lowest <= previous, qPrintable(QStringLiteral("column %1 dips to row %2").arg(column).arg(lowest)));
        previous = lowest;
    }
    QVERIFY(previous <= 195);
}

void TestOutline::mainWindowBottomIsLowestAtTheCentre()
{
    const QPolygon polygon = Outline::build(Outline::mainWindow());
    const auto lowest = std::max_element(polygon.cbegin(), polygon.cend(),
                                         [](const QPoint& a, const QPoint& b) { return a.y() < b.y(); });
    QCOMPARE(lowest - polygon.cbegin(), 34);
    QCOMPARE(*lowest, QPoint(150, 359));

    const QRegion region = regionOf(QStringLiteral("main"));
    QVERIFY(lowestRowAt(region, 150) > lowestRowAt(region, 100));
    QVERIFY(lowestRowAt(region, 150) > lowestRowAt(region, 200));
    QVERIFY(lowestRowAt(region, 100) > lowestRowAt(region, 20));
    QVERIFY(lowestRowAt(region, 200) > lowestRowAt(region, 280));
}

QTEST_MAIN(TestOutline)
#include "tst_outline.moc"
