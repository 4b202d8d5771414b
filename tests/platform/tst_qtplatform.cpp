#include "platform/qtplatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QString secret = QStringLiteral("S3nh@ \"é\"~");
const QString usersText = QStringLiteral("meu texto");

enum class Step
{
    CopySecret,
    UserCopiesElsewhere,
    ThirtySecondsPass,
    ProgramEnds,
};

QString clipboardText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? data->text() : QString();
}

// A message box as the user saw it.
struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Runs the call that opens a modal message box, reads the box and answers it by the button of that text, or by
// Escape when no button has it.
ShownBox answerBox(const std::function<void()>& call, const QString& answer)
{
    ShownBox shown;
    QTimer::singleShot(0, [&shown, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = {box->windowTitle(),
                 box->text(),
                 box->icon(),
                 {},
                 box->defaultButton() ? box->defaultButton()->text() : QString()};
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            shown.buttons.append(button->text());
            chosen = button->text() == answer ? button : chosen;
        }
        chosen ? chosen->click() : QTest::keyClick(box, Qt::Key_Escape);
    });
    call();
    return shown;
}

} // namespace

Q_DECLARE_METATYPE(Step)

class TestQtPlatform : public QObject
{
    Q_OBJECT

private slots:
    void copiedSecretIsForgotten_data();
    void copiedSecretIsForgotten();
    void messageIcon_data();
    void messageIcon();
    void question_data();
    void question();
};

void TestQtPlatform::copiedSecretIsForgotten_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QString>("left");
    using enum Step;
    QTest::newRow("thirty seconds after a copy the clipboard is empty")
        << QList<Step>{CopySecret, ThirtySecondsPass} << QString();
    QTest::newRow("the program ends first: the clipboard is empty")
        << QList<Step>{CopySecret, ProgramEnds} << QString();
    QTest::newRow("the user copied something since: it stays after thirty seconds")
        << QList<Step>{CopySecret, UserCopiesElsewhere, ThirtySecondsPass} << usersText;
    QTest::newRow("the user copied something since: it stays at the program's end")
        << QList<Step>{CopySecret, UserCopiesElsewhere, ProgramEnds} << usersText;
    QTest::newRow("nothing copied: the program's end leaves the user's text")
        << QList<Step>{UserCopiesElsewhere, ProgramEnds} << usersText;
}

// A copied secret is marked for clipboard managers not to keep, and forgotten after thirty seconds or at the end of
// the program, unless the user has copied something else since.
void TestQtPlatform::copiedSecretIsForgotten()
{
    QFETCH(QList<Step>, steps);
    QGuiApplication::clipboard()->clear();
    QtPlatform platform;
    auto* timer = platform.findChild<QTimer*>(QStringLiteral("clipboardTimer"));
    QVERIFY(timer);
    for (const Step step : steps) {
        switch (step) {
        case Step::CopySecret: {
            platform.copySecret(secret);
            const QMimeData* data = QGuiApplication::clipboard()->mimeData();
            QVERIFY(data);
            QCOMPARE(data->text(), secret);
            QCOMPARE(data->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
            QVERIFY(timer->isActive());
            QCOMPARE(timer->intervalAsDuration(), std::chrono::seconds(30));
            break;
        }
        case Step::UserCopiesElsewhere:
            QGuiApplication::clipboard()->setText(usersText);
            break;
        case Step::ThirtySecondsPass:
            QVERIFY(timer->isActive());
            QMetaObject::invokeMethod(timer, "timeout");
            break;
        case Step::ProgramEnds:
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
            break;
        }
    }
    QTEST(clipboardText(), "left");
    QVERIFY(!timer->isActive());
}

void TestQtPlatform::messageIcon_data()
{
    QTest::addColumn<Platform::MessageIcon>("icon");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    QTest::newRow("a warning shows the warning icon") << Platform::MessageIcon::Exclamation << QMessageBox::Warning;
    QTest::newRow("a critical message shows the critical icon")
        << Platform::MessageIcon::Critical << QMessageBox::Critical;
    QTest::newRow("a plain message shows none") << Platform::MessageIcon::None << QMessageBox::NoIcon;
}

// A message box under the program's name with its text, the icon asked for and an OK button only.
void TestQtPlatform::messageIcon()
{
    QFETCH(Platform::MessageIcon, icon);
    QtPlatform platform;
    const QString text = QStringLiteral("Não foi possível gravar o arquivo.");
    const ShownBox shown =
        answerBox([&] { platform.showMessage(nullptr, text, Platform::programTitle(), icon); }, QStringLiteral("OK"));
    QCOMPARE(shown.title, QStringLiteral("Corvelo KeyHound"));
    QCOMPARE(shown.text, text);
    QTEST(shown.icon, "shownIcon");
    QCOMPARE(shown.buttons, QStringList{QStringLiteral("OK")});
    QVERIFY(!QApplication::activeModalWidget());
}

void TestQtPlatform::question_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Sim answers yes") << "Sim" << true;
    QTest::newRow("Não answers no") << "Não" << false;
    QTest::newRow("Escape answers no") << QString() << false;
}

// A question offers "Sim" and "Não", with "Não" the default.
void TestQtPlatform::question()
{
    QFETCH(QString, answer);
    QtPlatform platform;
    bool yes = false;
    const ShownBox shown = answerBox(
        [&] { yes = platform.askYesNo(nullptr, QStringLiteral("Deletar?"), Platform::programTitle()); }, answer);
    QCOMPARE(shown.title, QStringLiteral("Corvelo KeyHound"));
    QCOMPARE(shown.text, QStringLiteral("Deletar?"));
    QCOMPARE(shown.buttons, (QStringList{QStringLiteral("Sim"), QStringLiteral("Não")}));
    QCOMPARE(shown.defaultButton, QStringLiteral("Não"));
    QTEST(yes, "yes");
}

QTEST_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"
