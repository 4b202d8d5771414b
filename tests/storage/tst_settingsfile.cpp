#include "referencecodec.h"
#include "storage/settingsfile.h"

#include <QTest>

// cnfg.tab: the installation key made at the first start, the file's bytes and how it reads back.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void installationKey_data();
    void installationKey();
    void encodesAsDocumented_data();
    void encodesAsDocumented();
    void decodes_data();
    void decodes();
};

void TestSettingsFile::installationKey_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QByteArray>("key");

    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
    };
    QTest::newRow("one-digit day and month, just after midnight") << at(2026, 3, 6, 0, 0, 7) << QByteArray("6333");
    QTest::newRow("midnight exactly") << at(2026, 3, 6, 0, 0, 0) << QByteArray("6326");
    QTest::newRow("largest numbers") << at(2099, 12, 31, 23, 59, 59) << QByteArray("547258");
    QTest::newRow("two-digit day, one-digit month")
        << at(2026, 1, 15, 9, 5, 3) << QByteArray(QByteArray::number(15126 + 953));
    QTest::newRow("year keeps two digits") << at(2005, 1, 1, 10, 0, 0) << QByteArray("2105");
    QTest::newRow("year 2000") << at(2000, 7, 4, 12, 30, 45) << QByteArray(QByteArray::number(4700 + 123045));
}

void TestSettingsFile::installationKey()
{
    QFETCH(QDateTime, now);
    QFETCH(QByteArray, key);
    QCOMPARE(SettingsFile::makeInstallationKey(now), key);
}

void TestSettingsFile::encodesAsDocumented_data()
{
    QTest::addColumn<Settings>("settings");

    QTest::newRow("factory") << Settings{"6333", Settings::factoryPassword, Settings::answerNo};
    QTest::newRow("asks at start") << Settings{"547258", "segredo", Settings::answerYes};
    QTest::newRow("empty password") << Settings{"1100", "", Settings::answerNo};
    QTest::newRow("quote and CR LF in password") << Settings{"1100", "a\"b\r\nc", Settings::answerYes};
}

void TestSettingsFile::encodesAsDocumented()
{
    QFETCH(Settings, settings);

    const QByteArray file = SettingsFile::encode(settings);
    const QByteArray record =
        settings.installationKey + "\xA7" + settings.masterPassword + "\xA7" + settings.askAtStart;
    QCOMPARE(file,
             ReferenceCodec::settingsFile(settings.installationKey, settings.masterPassword, settings.askAtStart));
    QCOMPARE(file.size(), 2 + 8 * record.size() + 2);
    const Settings read = SettingsFile::decode(file);
    QCOMPARE(read.installationKey, settings.installationKey);
    QCOMPARE(read.masterPassword, settings.masterPassword);
    QCOMPARE(read.askAtStart, settings.askAtStart);
}

void TestSettingsFile::decodes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("answer");

    const auto line = [](const QByteArray& record) { return ReferenceCodec::encodeLine(record, "7305"); };
    QTest::newRow("factory") << ReferenceCodec::settingsFile("6333", "8046", "N\xE3o") << QByteArray("6333")
                             << QByteArray("8046") << QByteArray("N\xE3o");
    QTest::newRow("fields beyond the third ignored") << ReferenceCodec::file({line("1\xA7p\xA7Sim\xA7x\xA7y")})
                                                     << QByteArray("1") << QByteArray("p") << QByteArray("Sim");
    QTest::newRow("two fields") << ReferenceCodec::file({line("1\xA7p")}) << QByteArray("1") << QByteArray("p")
                                << QByteArray();
    QTest::newRow("one field") << ReferenceCodec::file({line("1")}) << QByteArray("1") << QByteArray() << QByteArray();
    QTest::newRow("last record wins") << ReferenceCodec::file({line("1\xA7p\xA7Sim"), line("2\xA7q\xA7N\xE3o")})
                                      << QByteArray("2") << QByteArray("q") << QByteArray("N\xE3o");
    QTest::newRow("empty line after the record")
        << ReferenceCodec::file({line("1\xA7p\xA7Sim"), ""}) << QByteArray("1") << QByteArray("p") << QByteArray("Sim");
    QTest::newRow("empty file") << QByteArray() << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("quotes only") << QByteArray("\"\r\n\"\r\n") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("lower-case answer kept as read")
        << ReferenceCodec::file({line("1\xA7p\xA7sim")}) << QByteArray("1") << QByteArray("p") << QByteArray("sim");
}

void TestSettingsFile::decodes()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, answer);

    const Settings read = SettingsFile::decode(file);
    QCOMPARE(read.installationKey, key);
    QCOMPARE(read.masterPassword, password);
    QCOMPARE(read.askAtStart, answer);
    QCOMPARE(read.asksPasswordAtStart(), answer == "Sim");
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
