#include "platform/noticelabel.h"
#include "platform/picturebutton.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

enum class Press
{
    LeftButton,
    RightButton,
    SpaceKey,
};

} // namespace

Q_DECLARE_METATYPE(Press)

// The picture buttons and the notice label as the user sees them.
class TestPlatformWidgets : public QObject
{
    Q_OBJECT

private slots:
    void pressedLook_data();
    void pressedLook();
    void noticeHidesWhenItsTimeIsUp();
};

void TestPlatformWidgets::pressedLook_data()
{
    QTest::addColumn<Press>("press");
    QTest::addColumn<bool>("pressedLook");
    QTest::addColumn<int>("clicks");
    QTest::newRow("held with the left button it sits lower and right, and clicks on release")
        << Press::LeftButton << true << 1;
    QTest::newRow("the right button gives the pressed look but no click") << Press::RightButton << true << 0;
    QTest::newRow("held with Space it sits lower and right, and clicks on release") << Press::SpaceKey << true << 1;
    QTest::newRow("a button without the pressed look stays in place") << Press::LeftButton << false << 1;
}

// While held the picture is drawn one pixel lower and further right; released, the window looks as before.
void TestPlatformWidgets::pressedLook()
{
    QFETCH(Press, press);
    QFETCH(bool, pressedLook);
    QWidget window;
    window.resize(60, 60);
    auto* button = new PictureButton(QStringLiteral("btnFechar"), QStringLiteral("button-close"),
                                     QStringLiteral("Fechar"), &window);
    button->setGeometry(10, 10, 20, 20);
    button->setPressedLook(pressedLook);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    const QImage resting = window.grab().toImage();

    const Qt::MouseButton mouseButton = press == Press::RightButton ? Qt::RightButton : Qt::LeftButton;
    press == Press::SpaceKey ? QTest::keyPress(button, Qt::Key_Space) : QTest::mousePress(button, mouseButton);
    QCOMPARE(button->pos(), pressedLook ? QPoint(11, 11) : QPoint(10, 10));
    QCOMPARE(window.grab().toImage() != resting, pressedLook);
    QCOMPARE(clicks.size(), 0);

    press == Press::SpaceKey ? QTest::keyRelease(button, Qt::Key_Space) : QTest::mouseRelease(button, mouseButton);
    QCOMPARE(button->pos(), QPoint(10, 10));
    QCOMPARE(window.grab().toImage(), resting);
    QTEST(int(clicks.size()), "clicks");
}

// A notice shows its text for two seconds, or the time asked for, and then hides.
void TestPlatformWidgets::noticeHidesWhenItsTimeIsUp()
{
    QWidget window;
    auto* notice = new NoticeLabel(QStringLiteral("lblAviso"), &window);
    window.show();
    QVERIFY(!notice->isVisible());
    auto* timer = notice->findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    for (const int milliseconds : {2000, 5000}) {
        milliseconds == 2000 ? notice->showNotice(QStringLiteral("Entrada inserida com sucesso!"))
                             : notice->showNotice(QStringLiteral("3 senhas vencidas"), milliseconds);
        QVERIFY(notice->isVisible());
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), milliseconds);
        QMetaObject::invokeMethod(timer, "timeout");
        QVERIFY(!notice->isVisible());
    }
}

QTEST_MAIN(TestPlatformWidgets)
#include "tst_platformwidgets.moc"
