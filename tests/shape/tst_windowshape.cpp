#include "entries/detailwindow.h"
#include "entries/updatewindow.h"
#include "mainwindow/mainwindow.h"
#include "platform/recordingplatform.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QTest>

#include <memory>

// What a compositor that does not cut windows (Wayland) shows of the shaped windows: their picture, transparent
// outside the outline.
class TestWindowShape : public QObject
{
    Q_OBJECT

private slots:
    void transparentOutsideOutline_data();
    void transparentOutsideOutline();
};

void TestWindowShape::transparentOutsideOutline_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPolygon>("outside");

    // The corners, and beside the main window's pointed bottom where a dark slab once showed.
    QTest::newRow("main") << "main" << QPoint(150, 22) << QPolygon{{0, 0}, {5, 358}, {299, 330}, {299, 0}, {40, 355}};
    QTest::newRow("detail") << "detail" << QPoint(100, 20) << QPolygon{{0, 0}, {8, 224}, {177, 0}};
    QTest::newRow("update") << "update" << QPoint(80, 20) << QPolygon{{0, 0}, {170, 224}, {177, 0}};
}

void TestWindowShape::transparentOutsideOutline()
{
    QFETCH(QString, window);
    QFETCH(QPoint, inside);
    QFETCH(QPolygon, outside);

    const DataFolder folder;
    Vault vault(folder.path());
    QVERIFY(vault.open().ok());
    RecordingPlatform platform;
    std::unique_ptr<QWidget> widget;
    if (window == QLatin1String("main")) {
        widget = std::make_unique<MainWindow>(vault, platform);
    } else if (window == QLatin1String("detail")) {
        widget = std::make_unique<DetailWindow>(platform, QString());
    } else {
        widget = std::make_unique<UpdateWindow>(platform, [] { return QDateTime(QDate(2026, 3, 6), QTime(10, 0)); });
    }
    const QImage picture = widget->grab().toImage();
    QCOMPARE(qAlpha(picture.pixel(inside)), 255);
    for (const QPoint& pixel : outside) {
        QVERIFY2(!widget->mask().contains(pixel), "the point must lie outside the outline");
        QCOMPARE(qAlpha(picture.pixel(pixel)), 0);
    }
}

QTEST_MAIN(TestWindowShape)
#include "tst_windowshape.moc"
