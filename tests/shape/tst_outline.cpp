#include "shape/outline.h"

#include <QTest>

// The outline follows the screen, as the windows laid out in twips do.
class TestOutline : public QObject
{
    Q_OBJECT

private slots:
    void pointsFollowTheScreen_data();
    void pointsFollowTheScreen();
};

void TestOutline::pointsFollowTheScreen_data()
{
    QTest::addColumn<int>("vertex");
    QTest::addColumn<QSize>("twipsPerPixel");
    QTest::addColumn<QPointF>("scale");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QPoint>("expected");
    const QPointF unscaled(1, 1);
    // The main window's vertices 6 (299, 319), 34 (150, 359), 44 (90, 340), 54 (38, 330) and 67 (3, 1).
    QTest::newRow("standard screen: as listed") << 6 << QSize(15, 15) << unscaled << QPoint() << QPoint(299, 319);
    // 120 dots per inch: 12 twips per pixel, every coordinate times 1.25, halves rounded to the even neighbour.
    QTest::newRow("120 dpi, right edge") << 6 << QSize(12, 12) << unscaled << QPoint() << QPoint(374, 399);
    QTest::newRow("120 dpi, lowest point, x half up")
        << 34 << QSize(12, 12) << unscaled << QPoint() << QPoint(188, 449);
    QTest::newRow("120 dpi, x half down") << 44 << QSize(12, 12) << unscaled << QPoint() << QPoint(112, 425);
    QTest::newRow("120 dpi, y half down") << 54 << QSize(12, 12) << unscaled << QPoint() << QPoint(48, 412);
    // A screen reporting no usable twips per pixel counts as a standard one instead of dividing by zero.
    QTest::newRow("no twips per pixel") << 6 << QSize(0, 0) << unscaled << QPoint() << QPoint(299, 319);
    QTest::newRow("negative twips per pixel") << 6 << QSize(-12, -12) << unscaled << QPoint() << QPoint(299, 319);
    QTest::newRow("none across only") << 6 << QSize(0, 12) << unscaled << QPoint() << QPoint(299, 399);
    // Scaled first, then offset; a negative half also goes to the even neighbour: (3, 1) gives (16, -2.5).
    QTest::newRow("scaled and offset") << 67 << QSize(15, 15) << QPointF(2, 0.5) << QPoint(10, -3) << QPoint(16, -2);
}

void TestOutline::pointsFollowTheScreen()
{
    QFETCH(int, vertex);
    QFETCH(QSize, twipsPerPixel);
    QFETCH(QPointF, scale);
    QFETCH(QPoint, offset);
    QFETCH(QPoint, expected);
    const Outline::VertexTable polygon =
        Outline::build(Outline::mainWindow(), float(scale.x()), float(scale.y()), offset.x(), offset.y(),
                       twipsPerPixel.width(), twipsPerPixel.height());
    QCOMPARE(polygon.size(), Outline::mainWindow().size());
    QCOMPARE(polygon.at(vertex), expected);
}

QTEST_MAIN(TestOutline)
#include "tst_outline.moc"
