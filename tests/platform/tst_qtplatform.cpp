#include "platform/noticelabel.h"
#include "platform/picturebutton.h"
#include "platform/qtplatform.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QString secret = QStringLiteral("S3nh@ \"é\"~");
const QString usersText = QStringLiteral("meu texto");
const QString ok = QStringLiteral("OK");

enum class Step
{
    CopySecret,
    UserCopiesElsewhere,
    ThirtySecondsPass,
    ProgramEnds
};

// A message box as the user saw it, answered by the button of that text or else by that key.
struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

ShownBox answerBox(const std::function<void()>& call, const QString& answer)
{
    ShownBox shown;
    QTimer::singleShot(0, [&shown, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = {box->windowTitle(), box->text(), box->icon(), {}};
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            shown.buttons.append(button->text());
            chosen = button->text() == answer ? button : chosen;
        }
        chosen ? chosen->click() : QTest::keyClick(box, answer == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
    });
    call();
    return shown;
}

} // namespace

Q_DECLARE_METATYPE(Step)

// The real desktop through Qt, offscreen: the clipboard, message boxes, picture buttons and notices.
class TestQtPlatform : public QObject
{
    Q_OBJECT

private slots:
    void copiedSecretIsForgotten_data();
    void copiedSecretIsForgotten();
    void messageBox_data();
    void messageBox();
    void pressedLook_data();
    void pressedLook();
    void noticeHidesWhenItsTimeIsUp();
};

void TestQtPlatform::copiedSecretIsForgotten_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QString>("left");
    using enum Step;
    QTest::newRow("thirty seconds after a copy the clipboard is empty") << QList{CopySecret, ThirtySecondsPass} << "";
    QTest::newRow("the program ends first: the clipboard is empty") << QList{CopySecret, ProgramEnds} << "";
    QTest::newRow("the user copied something since: it stays after thirty seconds")
        << QList{CopySecret, UserCopiesElsewhere, ThirtySecondsPass} << usersText;
    QTest::newRow("the user copied something since: it stays at the program's end")
        << QList{CopySecret, UserCopiesElsewhere, ProgramEnds} << usersText;
    QTest::newRow("nothing copied: the program's end leaves the user's text")
        << QList{UserCopiesElsewhere, ProgramEnds} << usersText;
}

// A copied secret is marked for clipboard managers not to keep, and forgotten after thirty seconds or at the end of
// the program, unless the user has copied something else since.
void TestQtPlatform::copiedSecretIsForgotten()
{
    QFETCH(QList<Step>, steps);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    QtPlatform platform;
    auto* timer = platform.findChild<QTimer*>(QStringLiteral("clipboardTimer"));
    for (const Step step : steps) {
        if (step == Step::CopySecret) {
            platform.copySecret(secret);
            QCOMPARE(clipboard->mimeData()->text(), secret);
            QCOMPARE(clipboard->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
            QCOMPARE(timer->intervalAsDuration(), std::chrono::seconds(30));
        } else if (step == Step::UserCopiesElsewhere) {
            clipboard->setText(usersText);
        } else if (step == Step::ThirtySecondsPass) {
            QVERIFY(timer->isActive());
            QMetaObject::invokeMethod(timer, "timeout");
        } else {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
        }
    }
    QTEST(clipboard->mimeData() ? clipboard->mimeData()->text() : QString(), "left");
    QVERIFY(!timer->isActive());
}

void TestQtPlatform::messageBox_data()
{
    QTest::addColumn<bool>("question");
    QTest::addColumn<Platform::MessageIcon>("icon");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    QTest::addColumn<bool>("yes");
    using enum Platform::MessageIcon;
    QTest::newRow("a warning shows the warning icon") << false << Exclamation << ok << QMessageBox::Warning << false;
    QTest::newRow("a critical message shows the critical icon")
        << false << Critical << ok << QMessageBox::Critical << false;
    QTest::newRow("a plain message shows no icon") << false << None << ok << QMessageBox::NoIcon << false;
    QTest::newRow("a question answered Sim is a yes") << true << None << "Sim" << QMessageBox::Question << true;
    QTest::newRow("Enter on a question answers Não") << true << None << "Enter" << QMessageBox::Question << false;
    QTest::newRow("Escape on a question answers Não") << true << None << "Escape" << QMessageBox::Question << false;
}

// A message under the program's name with its text, the icon asked for and OK; a question with Sim and Não.
void TestQtPlatform::messageBox()
{
    QFETCH(bool, question);
    QFETCH(Platform::MessageIcon, icon);
    QFETCH(QString, answer);
    QtPlatform platform;
    Platform& desktop = platform;
    const QString text = QStringLiteral("Não foi possível gravar o arquivo.");
    bool yes = false;
    const ShownBox shown = answerBox(
        [&] {
            question ? void(yes = desktop.askYesNo(nullptr, text))
                     : desktop.showMessage(nullptr, text, Platform::programTitle(), icon);
        },
        answer);
    QCOMPARE(shown.title, QStringLiteral("Corvelo KeyHound"));
    QCOMPARE(shown.text, text);
    QTEST(shown.icon, "shownIcon");
    QCOMPARE(shown.buttons.join(u'|'), question ? QStringLiteral("Sim|Não") : ok);
    QTEST(yes, "yes");
}

void TestQtPlatform::pressedLook_data()
{
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::addColumn<bool>("pressedLook");
    QTest::addColumn<int>("clicks");
    QTest::newRow("held down it sits lower and right, and clicks on release") << Qt::LeftButton << true << 1;
    QTest::newRow("the right button gives the pressed look but no click") << Qt::RightButton << true << 0;
    QTest::newRow("a button without the pressed look stays in place") << Qt::LeftButton << false << 1;
}

// While held the picture is drawn one pixel lower and further right; released, the window looks as before.
void TestQtPlatform::pressedLook()
{
    QFETCH(Qt::MouseButton, mouseButton);
    QFETCH(bool, pressedLook);
    QWidget window;
    window.resize(60, 60);
    auto* button = new PictureButton("btnFechar", "button-close", "Fechar", &window);
    button->setGeometry(10, 10, 20, 20);
    button->setPressedLook(pressedLook);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    const QImage resting = window.grab().toImage();

    QTest::mousePress(button, mouseButton);
    QCOMPARE(button->pos(), pressedLook ? QPoint(11, 11) : QPoint(10, 10));
    QCOMPARE(window.grab().toImage() != resting, pressedLook);
    QTest::mouseRelease(button, mouseButton);
    QCOMPARE(button->pos(), QPoint(10, 10));
    QCOMPARE(window.grab().toImage(), resting);
    QTEST(int(clicks.size()), "clicks");
}

// A notice shows its text for two seconds, or the time asked for, and then hides.
void TestQtPlatform::noticeHidesWhenItsTimeIsUp()
{
    QWidget window;
    auto* notice = new NoticeLabel(QStringLiteral("lblAviso"), &window);
    window.show();
    auto* timer = notice->findChild<QTimer*>(QStringLiteral("Timer1"));
    notice->showNotice(QStringLiteral("Entrada inserida com sucesso!"));
    QVERIFY(notice->isVisible());
    QCOMPARE(timer->interval(), 2000);
    QMetaObject::invokeMethod(timer, "timeout");
    QVERIFY(!notice->isVisible());
    notice->showNotice(QStringLiteral("3 senhas vencidas"), 5000);
    QVERIFY(notice->isVisible());
    QCOMPARE(timer->interval(), 5000);
}

QTEST_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"
