#include "entries/addresstarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A home folder and a data folder holding real files, folders and links.
struct Folders
{
    Folders()
    {
        QDir(root.path()).mkpath(QStringLiteral("home/Documentos"));
        QDir(root.path()).mkpath(QStringLiteral("data/pasta"));
        for (const char* name : {"home/Documentos/x.pdf", "data/notas.txt", "data/Cartão crédito.pdf"}) {
            QFile file(root.filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(root.filePath(QStringLiteral("data/notas.txt")), data() + QStringLiteral("/atalho")));
        QVERIFY(QFile::link(root.filePath(QStringLiteral("data/sumiu.txt")), data() + QStringLiteral("/quebrado")));
    }
    QString home() const { return root.filePath(QStringLiteral("home")); }
    QString data() const { return root.filePath(QStringLiteral("data")); }
    // The expected text with <data> and <home> as file URLs of the folders.
    QUrl expected(QString text) const
    {
        text.replace(QStringLiteral("<data>"), QUrl::fromLocalFile(data()).toString());
        text.replace(QStringLiteral("<home>"), QUrl::fromLocalFile(home()).toString());
        return QUrl(text);
    }

    QTemporaryDir root;
};

} // namespace

class TestAddressTarget : public QObject
{
    Q_OBJECT

private slots:
    void urlFor_data();
    void urlFor();
};

void TestAddressTarget::urlFor_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("url");

    QTest::newRow("https unchanged") << "https://banco.example/entrar?c=1#x"
                                     << "https://banco.example/entrar?c=1#x";
    QTest::newRow("mailto unchanged") << "mailto:ana@corvelo.example"
                                      << "mailto:ana@corvelo.example";
    QTest::newRow("file URL unchanged") << "file:///nao/existe.txt"
                                        << "file:///nao/existe.txt";
    QTest::newRow("scheme named like a file") << "ftp://notas.txt"
                                              << "ftp://notas.txt";
    QTest::newRow("file beside the vault") << "notas.txt"
                                           << "<data>/notas.txt";
    QTest::newRow("spaces round it") << "  notas.txt\t"
                                     << "<data>/notas.txt";
    QTest::newRow("folder beside the vault") << "pasta"
                                             << "<data>/pasta";
    QTest::newRow("path with dots") << "pasta/../notas.txt"
                                    << "<data>/notas.txt";
    QTest::newRow("accents and spaces") << "Cartão crédito.pdf"
                                        << "<data>/Cart%C3%A3o%20cr%C3%A9dito.pdf";
    QTest::newRow("link to a file") << "atalho"
                                    << "<data>/atalho";
    QTest::newRow("home folder") << "~"
                                 << "<home>";
    QTest::newRow("under the home folder") << "~/Documentos/x.pdf"
                                           << "<home>/Documentos/x.pdf";
    QTest::newRow("absolute path") << "<DATA>/pasta"
                                   << "<data>/pasta";
    // Nothing by that name: a web address, as the browser would take it.
    QTest::newRow("missing file") << "nao-existe.txt"
                                  << "http://nao-existe.txt";
    QTest::newRow("broken link") << "quebrado"
                                 << "http://quebrado";
    // A path that can only mean a file stays one, so that the system says it is missing.
    QTest::newRow("missing under home") << "~/Documentos/y.pdf"
                                        << "<home>/Documentos/y.pdf";
    QTest::newRow("missing absolute path") << "/nao/existe.txt"
                                           << "file:///nao/existe.txt";
    QTest::newRow("site") << "www.banco.example/entrar"
                          << "http://www.banco.example/entrar";
    QTest::newRow("site with a port") << "localhost:8080/x"
                                      << "http://localhost:8080/x";
    QTest::newRow("blank") << "  "
                           << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestAddressTarget::urlFor()
{
    QFETCH(QString, address);
    QFETCH(QString, url);

    Folders folders;
    const AddressTarget target(folders.data(), folders.home());
    const QUrl result = target.urlFor(address.replace(QStringLiteral("<DATA>"), folders.data()));
    QCOMPARE(result, folders.expected(url));
    QCOMPARE(result.isEmpty(), url.isEmpty());
}

QTEST_MAIN(TestAddressTarget)
#include "tst_addresstarget.moc"
