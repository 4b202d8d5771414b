#include "platform/windowshape.h"
#include "shape/outline.h"
#include "support/programwindows.h"

#include <QTest>
#include <QWidget>

namespace {

// Changes with any mistyped, missing or reordered vertex.
qint64 checksum(const QPolygon& points)
{
    qint64 sum = 0;
    for (int index = 0; index < points.size(); ++index) {
        sum += qint64(index + 1) * (points.at(index).x() + 1000 * points.at(index).y());
    }
    return sum;
}

} // namespace

class TestOutline : public QObject
{
    Q_OBJECT

private slots:
    void standardScreenKeepsTheTable_data();
    void standardScreenKeepsTheTable();
    void pointsFollowTheScreen_data();
    void pointsFollowTheScreen();
    void onlyTheListWindowsAreCut_data();
    void onlyTheListWindowsAreCut();
};

void TestOutline::standardScreenKeepsTheTable_data()
{
    QTest::addColumn<QPolygon>("table");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("sum");
    QTest::addColumn<QPolygon>("inside");
    QTest::addColumn<QPolygon>("outside");
    // Each side window is lowest next to the main window: the detail window on its right, the update one on its left.
    QTest::newRow("main") << QPolygon(Outline::mainWindow()) << 68 << qint64(693143539) << QPolygon{{150, 350}}
                          << QPolygon{{0, 0}, {5, 358}, {299, 330}, {299, 0}};
    QTest::newRow("detail") << QPolygon(Outline::detailWindow()) << 43 << qint64(158364871) << QPolygon{{168, 224}}
                            << QPolygon{{0, 0}, {8, 224}};
    QTest::newRow("update") << QPolygon(Outline::updateWindow()) << 44 << qint64(172807105) << QPolygon{{7, 224}}
                            << QPolygon{{0, 0}, {170, 224}};
}

void TestOutline::standardScreenKeepsTheTable()
{
    QFETCH(QPolygon, table);
    QFETCH(int, count);
    QFETCH(qint64, sum);
    QFETCH(QPolygon, inside);
    QFETCH(QPolygon, outside);
    QCOMPARE(table.size(), count);
    QCOMPARE(checksum(table), sum);
    QCOMPARE(Outline::build(table, 1.0f, 1.0f, 0, 0, 15, 15), table);
    // Scaled first, then offset; a negative half also goes to the even neighbour: (3, 1) gives (16, -2.5).
    QCOMPARE(Outline::build(table, 2.0f, 0.5f, 10, -3).last(), QPoint(16, -2));

    QWidget widget(nullptr, Qt::FramelessWindowHint);
    widget.resize(300, 360);
    applyWindowOutline(&widget, Outline::build(table));
    for (const QPoint& pixel : inside) {
        QVERIFY(widget.mask().contains(pixel));
    }
    for (const QPoint& pixel : outside) {
        QVERIFY(!widget.mask().contains(pixel));
    }
}

void TestOutline::pointsFollowTheScreen_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QSize>("twipsPerPixel");
    QTest::addColumn<QPoint>("expected");
    // 120 dots per inch: 12 twips per pixel, every coordinate times 1.25, halves rounded to the even neighbour.
    QTest::newRow("120 dpi right edge") << 6 << QSize(12, 12) << QPoint(374, 399);
    QTest::newRow("120 dpi lowest, x half up") << 34 << QSize(12, 12) << QPoint(188, 449);
    QTest::newRow("120 dpi x half down") << 44 << QSize(12, 12) << QPoint(112, 425);
    QTest::newRow("120 dpi y half down") << 54 << QSize(12, 12) << QPoint(48, 412);
    // A screen reporting no usable twips per pixel counts as a standard one instead of dividing by zero.
    QTest::newRow("zero twips per pixel") << 6 << QSize(0, 0) << QPoint(299, 319);
    QTest::newRow("negative twips per pixel") << 6 << QSize(-12, -12) << QPoint(299, 319);
    QTest::newRow("zero across only") << 6 << QSize(0, 12) << QPoint(299, 399);
}

void TestOutline::pointsFollowTheScreen()
{
    QFETCH(int, index);
    QFETCH(QSize, twipsPerPixel);
    QFETCH(QPoint, expected);
    const QPolygon polygon =
        Outline::build(Outline::mainWindow(), 1.0f, 1.0f, 0, 0, twipsPerPixel.width(), twipsPerPixel.height());
    QCOMPARE(polygon.size(), 68);
    QCOMPARE(polygon.at(index), expected);
}

void TestOutline::onlyTheListWindowsAreCut_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("cut");
    QTest::newRow("main") << "frm0_Inicial" << true;
    QTest::newRow("detail") << "frm2_Esquerda" << true;
    QTest::newRow("update") << "frm3_Direita" << true;
    QTest::newRow("login") << "frm0_Logar" << false;
    QTest::newRow("settings") << "frm6_Configurar" << false;
}

void TestOutline::onlyTheListWindowsAreCut()
{
    QFETCH(QString, window);
    QFETCH(bool, cut);
    ProgramWindows windows;
    QWidget* shown = windows.window(window);
    QCOMPARE(shown->mask().isEmpty(), !cut);
    if (!cut) {
        // A plain rectangle, painted to its corners: nothing shows through where a rounded frame would leave a gap.
        const QImage picture = shown->grab().toImage();
        for (const QPoint& corner : {QPoint(0, 0), QPoint(picture.width() - 1, picture.height() - 1)}) {
            QCOMPARE(picture.pixelColor(corner).alpha(), 255);
        }
        QVERIFY(!shown->testAttribute(Qt::WA_TranslucentBackground));
    }
}

QTEST_MAIN(TestOutline)
#include "tst_outline.moc"
