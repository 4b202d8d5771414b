#include "platform/noticelabel.h"
#include "platform/qtplatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>

namespace {

const QString secret = QStringLiteral("S3nh@ \"é\"~");
const QString usersText = QStringLiteral("meu texto");

enum class Step
{
    CopySecret,
    UserCopiesElsewhere,
    ThirtySecondsPass,
    ProgramEnds
};

// A message box as the user saw it: title, text, icon and buttons; answered by the button of that text or that key.
struct ShownBox
{
    QString title, text;
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

// The real desktop through Qt, offscreen: the clipboard, message boxes and notices.
class TestQtPlatform : public QObject
{
    Q_OBJECT

private slots:
    void copiedSecretIsForgotten_data();
    void copiedSecretIsForgotten();
    void messageBox_data();
    void messageBox();
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
    QTest::addColumn<Platform::MessageIcon>("icon"); // a question when absent
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    QTest::addColumn<bool>("yes");
    using enum Platform::MessageIcon;
    const auto question = Platform::MessageIcon(-1);
    QTest::newRow("a warning shows the warning icon") << Exclamation << "OK" << QMessageBox::Warning << false;
    QTest::newRow("a critical message shows the critical icon") << Critical << "OK" << QMessageBox::Critical << false;
    QTest::newRow("a plain message shows no icon") << None << "OK" << QMessageBox::NoIcon << false;
    QTest::newRow("a question answered Sim is a yes") << question << "Sim" << QMessageBox::Question << true;
    QTest::newRow("Enter on a question answers Não") << question << "Enter" << QMessageBox::Question << false;
    QTest::newRow("Escape on a question answers Não") << question << "Escape" << QMessageBox::Question << false;
}

// A message under the program's name with its text, the icon asked for and OK; a question with Sim and Não.
void TestQtPlatform::messageBox()
{
    QFETCH(Platform::MessageIcon, icon);
    QFETCH(QString, answer);
    QtPlatform platform;
    Platform& desktop = platform;
    const QString text = QStringLiteral("Não foi possível gravar o arquivo.");
    const bool question = int(icon) < 0;
    bool yes = false;
    const ShownBox shown = answerBox(
        [&] {
            question ? void(yes = desktop.askYesNo(nullptr, text))
                     : desktop.showMessage(nullptr, text, Platform::programTitle(), icon);
        },
        answer);
    QCOMPARE(shown.title + '|' + shown.text, "Corvelo KeyHound|" + text);
    QTEST(shown.icon, "shownIcon");
    QCOMPARE(shown.buttons.join(u'|'), question ? "Sim|Não" : "OK");
    QTEST(yes, "yes");
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
    QCOMPARE(timer->interval(), 5000);
}

QTEST_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"
