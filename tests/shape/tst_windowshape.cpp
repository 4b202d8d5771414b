#include "shape/outline.h"
#include "support/programwindows.h"

#include <QTest>

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
    QTest::addColumn<QPolygon>("inside");
    QTest::addColumn<QPolygon>("outside");
    // Each side window is lowest next to the main window: the detail window on its right, the update one on its left.
    QTest::newRow("main") << "frm0_Inicial" << QPolygon{{150, 22}, {150, 350}}
                          << QPolygon{{0, 0}, {5, 358}, {299, 330}, {299, 0}, {40, 355}};
    QTest::newRow("detail") << "frm2_Esquerda" << QPolygon{{100, 20}, {168, 224}}
                            << QPolygon{{0, 0}, {8, 224}, {177, 0}};
    QTest::newRow("update") << "frm3_Direita" << QPolygon{{80, 20}, {7, 224}} << QPolygon{{0, 0}, {170, 224}, {177, 0}};
    QTest::newRow("login, not cut") << "frm0_Logar" << QPolygon{{0, 0}} << QPolygon{};
}

void TestWindowShape::cutToTheArtwork()
{
    QFETCH(QString, window);
    QFETCH(QPolygon, inside);
    QFETCH(QPolygon, outside);
    ProgramWindows windows;
    QWidget* shown = windows.window(window);
    const QImage picture = shown->grab().toImage();
    QCOMPARE(shown->mask().isEmpty(), outside.isEmpty());
    if (outside.isEmpty()) {
        inside << picture.rect().bottomRight();
    }
    for (const QPoint& pixel : inside) {
        QVERIFY(outside.isEmpty() || shown->mask().contains(pixel));
        QCOMPARE(picture.pixelColor(pixel).alpha(), 255);
    }
    for (const QPoint& pixel : outside) {
        QVERIFY(!shown->mask().contains(pixel));
        QCOMPARE(picture.pixelColor(pixel).alpha(), 0);
    }
}

// At 120 dpi (12 twips a pixel), halves going to the even neighbour; no usable twips a pixel counts as standard.
void TestWindowShape::outlineFollowsTheScreen()
{
    QCOMPARE(Outline::build(Outline::mainWindow(), 1, 1, 0, 0, 12, 12).at(54), QPoint(48, 412));
    QCOMPARE(Outline::build(Outline::mainWindow(), 1, 1, 0, 0, 0, -12), Outline::mainWindow());
}

QTEST_MAIN(TestWindowShape)
#include "tst_windowshape.moc"
