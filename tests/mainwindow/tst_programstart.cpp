#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "platform/recordingplatform.h"
#include "support/datafolder.h"

#include <QFile>
#include <QTest>

// What the user is shown when the data files cannot be trusted, are damaged or unusually large.
class TestProgramStart : public QObject
{
    Q_OBJECT

private slots:
    void start_data();
    void start();
};

void TestProgramStart::start_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("shown");
    const int critical = int(Platform::MessageIcon::Critical), exclamation = int(Platform::MessageIcon::Exclamation);
    QTest::newRow("folder open to everyone") << "open folder" << false << false << critical << "chmod 700 ";
    QTest::newRow("damaged vault") << "damaged" << false << true << exclamation << "1 linha danificada";
    QTest::newRow("huge vault, not opened") << "huge" << false << false << critical << "não foi aberto";
}

void TestProgramStart::start()
{
    QFETCH(QString, setup);
    QFETCH(bool, answer);
    QFETCH(bool, starts);
    QFETCH(int, icon);
    QFETCH(QString, shown);
    DataFolder folder;
    if (setup == "open folder") {
        QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x7777));
    } else if (setup == "damaged") {
        folder.write("pswd.tab", "\"not a vault\"\r\n");
    } else {
        QFile huge(folder.filePath("pswd.tab"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(300) << 20));
    }
    RecordingPlatform platform;
    platform.answer = answer;
    Program program(folder.path(), platform);
    QCOMPARE(program.start(), starts);
    QCOMPARE(platform.questions.size(), setup == "huge" ? 1 : 0);
    QVERIFY(platform.questions.value(0).contains("Abrir assim mesmo?") || setup != "huge");
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(int(platform.messages.first().icon), icon);
    QVERIFY2(platform.messages.first().text.contains(shown), qPrintable(platform.messages.first().text));
    QCOMPARE(program.mainWindow() && program.mainWindow()->isVisible(), starts);
}

QTEST_MAIN(TestProgramStart)
#include "tst_programstart.moc"
