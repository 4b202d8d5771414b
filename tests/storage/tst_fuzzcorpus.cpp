#include <QDir>
#include <QTest>

#include <cstdint>

extern "C" int replay_vaultfile(const uint8_t* data, size_t size);
extern "C" int replay_settingsfile(const uint8_t* data, size_t size);
extern "C" int replay_binarytext(const uint8_t* data, size_t size);

// Every input of the fuzz corpus, seeds and inputs that once failed, through the fuzz targets' own checks, which
// abort on a fault.
class TestFuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void replays_data();
    void replays();
};

void TestFuzzCorpus::replays_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    for (const QString target : {"vaultfile", "settingsfile", "binarytext"}) {
        const QDir dir(QStringLiteral(FUZZ_CORPUS "/") + target);
        const QStringList inputs = dir.entryList(QDir::Files);
        QVERIFY2(!inputs.isEmpty(), qPrintable(dir.path()));
        for (const QString& input : inputs) {
            QTest::addRow("%s/%s", qPrintable(target), qPrintable(input)) << target << dir.filePath(input);
        }
    }
}

void TestFuzzCorpus::replays()
{
    QFETCH(QString, target);
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray input = file.readAll();
    const auto* data = reinterpret_cast<const uint8_t*>(input.constData());
    const auto replay = target == "vaultfile"      ? replay_vaultfile
                        : target == "settingsfile" ? replay_settingsfile
                                                   : replay_binarytext;
    QCOMPARE(replay(data, size_t(input.size())), 0);
}

QTEST_GUILESS_MAIN(TestFuzzCorpus)
#include "tst_fuzzcorpus.moc"
