#include <QDir>
#include <QTest>

#include <cstdint>

extern "C" int replay_vaultfile(const uint8_t* data, size_t size);
extern "C" int replay_settingsfile(const uint8_t* data, size_t size);
extern "C" int replay_binarytext(const uint8_t* data, size_t size);

// Every input of the fuzz corpus, seeds and inputs that once failed, through the fuzz targets' own checks.
class TestFuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void replays_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString target : {"vaultfile", "settingsfile", "binarytext"}) {
            const QDir dir(QStringLiteral(FUZZ_CORPUS "/") + target);
            QVERIFY2(!dir.isEmpty(QDir::Files), qPrintable(dir.path()));
            for (const QString& input : dir.entryList(QDir::Files)) {
                QTest::addRow("%s/%s", qPrintable(target), qPrintable(input)) << dir.filePath(input);
            }
        }
    }
    void replays()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray input = file.readAll();
        const auto replay = path.contains("/vaultfile/")      ? replay_vaultfile
                            : path.contains("/settingsfile/") ? replay_settingsfile
                                                              : replay_binarytext;
        QCOMPARE(replay(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size())),
                 0); // aborts on a fault
    }
};

QTEST_GUILESS_MAIN(TestFuzzCorpus)
#include "tst_fuzzcorpus.moc"
