#include "support/portableprogram.h"
#include "support/vaultfixture.h"

#include "transfer/kdbx/innerstream.h"
#include "transfer/kdbx/kdbxxml.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

// The real program's --export and --import of KeePass databases, proven by two independent clients: keepassxc-cli
// and Perl's File::KDBX. Each reads what the program writes, and writes what the program reads.

namespace {

const QByteArray password = "Cofre, ção \"1\"";
const QString keePassXc = QStringLiteral("keepassxc-cli");
const QString perlClient = QStringLiteral(KDBX_CLIENT);
const QString terminalRun = QStringLiteral(TERMINAL_RUN);

struct Sample
{
    QString title, login, password, url, notes;
    QDateTime modified;
    QDate expiry;
};
// Accents, quotes, commas, line breaks, Windows-1252 punctuation, a 66-character title, 36-character passwords,
// expiry dates and modification times to the second.
const QList<Sample> samples = {
    {"Banco Ação, S.A.", "joão,silva", "Sênh@\"1,;'x", "https://banco.example/entrar?a=1,b=2",
     "linha 1\nlinha \"2\", fim\n\nçãõ €", QDateTime(QDate(2026, 11, 5), QTime(14, 3, 21), Qt::UTC),
     QDate(2027, 1, 15)},
    {"Conta de e-mail corporativo da matriz em São Paulo, setor jurídico",
     "ana@empresa.example",
     "q7V#kP2m!zR9xL4w$Tn8bJ6c^Hd3Fs5gYa1E",
     "",
     "",
     QDateTime(QDate(2025, 3, 9), QTime(23, 59, 59), Qt::UTC),
     {}},
    {"Œuvre – € “citação” …", "ß", "‰†•", "ftp://x.example", "coluna\tcom tabulação\nfim",
     QDateTime(QDate(2026, 6, 30), QTime(3, 0), Qt::UTC), QDate(2026, 12, 31)},
    {"Só título", "", "", "", "", QDateTime(QDate(2024, 2, 29), QTime(12, 0), Qt::UTC), {}},
};

using Run = ProgramRun;

// The tests' databases use a light Argon2 so that each opens in milliseconds; one test leaves the default.
QProcessEnvironment jobEnvironment(bool lightKeyDerivation = true)
{
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert("TZ", "America/Sao_Paulo");
    variables.remove("KEYHOUND_TEST_KDBX_ARGON2");
    if (lightKeyDerivation) {
        variables.insert("KEYHOUND_TEST_KDBX_ARGON2", "1024,2");
    }
    return variables;
}

Run run(const QString& program, const QStringList& arguments, const QByteArray& input,
        const QProcessEnvironment& variables = jobEnvironment())
{
    return runToEnd(program, arguments, input, variables);
}

// A portable copy of the program with its data files beside it.
struct Program : PortableProgram
{
    Program() { addRecords({}); }
    Run job(const QString& option, const QString& file, const QByteArray& input = password + '\n',
            bool lightKeyDerivation = true) const
    {
        return runToEnd(executable(), {option, file}, input, jobEnvironment(lightKeyDerivation));
    }
};

QByteArray utf8Record(const QString& title, const QString& expiry, const QString& stamp, const QString& login,
                      const QString& password, const QString& url, const QString& notes)
{
    return entryRecord(title.toUtf8(), expiry.toUtf8(), stamp.toUtf8(), login.toUtf8(), password.toUtf8(), url.toUtf8(),
                       QString(notes).replace("\n", "\r\n").toUtf8());
}

// What the vault holds of an entry: its expiry as a local date, its modification as a local stamp.
QByteArray recordOf(const KdbxEntry& entry)
{
    const QString expiry =
        entry.expiry.isValid() ? entry.expiry.toLocalTime().toString("dd/MM/yy") : EntryRecord::noExpiry;
    return utf8Record(entry.title, expiry, entry.lastModification.toLocalTime().toString("yy.MM.dd.HH.mm.ss"),
                      entry.userName, entry.password, entry.url, entry.notes);
}

QByteArray recordOf(const Sample& sample)
{
    KdbxEntry entry{sample.title, sample.login, sample.password, sample.url, sample.notes, sample.modified, {}};
    entry.expiry = sample.expiry.isValid() ? QDateTime(sample.expiry, QTime(12, 0)) : QDateTime();
    return recordOf(entry);
}

QList<QByteArray> sorted(QList<QByteArray> records)
{
    std::sort(records.begin(), records.end());
    return records;
}

QList<QByteArray> recordsOf(const QList<KdbxEntry>& entries)
{
    QList<QByteArray> records;
    for (const KdbxEntry& entry : entries) {
        records.append(recordOf(entry));
    }
    return sorted(records);
}

// An entry as one line, every field shown, times in UTC.
QString line(const KdbxEntry& entry)
{
    return QStringList{entry.title,
                       entry.userName,
                       entry.password,
                       entry.url,
                       QString(entry.notes).replace("\n", "\\n"),
                       entry.lastModification.toUTC().toString(Qt::ISODate),
                       entry.expiry.isValid() ? entry.expiry.toUTC().toString(Qt::ISODate) : "no expiry"}
        .join(" | ");
}

QStringList lines(const QList<KdbxEntry>& entries)
{
    QStringList shown;
    for (const KdbxEntry& entry : entries) {
        shown.append(line(entry));
    }
    shown.sort();
    return shown;
}

// What a client must read from the program's export of the samples: the expiry at the last second of its day.
QStringList exportedSamples()
{
    QList<KdbxEntry> entries;
    for (const Sample& sample : samples) {
        const QDateTime expiry = sample.expiry.isValid() ? QDateTime(sample.expiry, QTime(23, 59, 59)) : QDateTime();
        entries.append(
            {sample.title, sample.login, sample.password, sample.url, sample.notes, sample.modified, expiry});
    }
    return lines(entries);
}

// keepassxc-cli's reading of a database: its own XML export, in clear.
QList<KdbxEntry> keePassXcReading(const QString& database, const QByteArray& key = password)
{
    const Run exported = run(keePassXc, {"export", "-q", "-f", "xml", database}, key + '\n');
    std::optional<InnerStream> unused = InnerStream::create(InnerStream::ChaCha20, "-");
    return KdbxXml::read(exported.out.toUtf8(), *unused).value_or(QList<KdbxEntry>());
}

QJsonObject perlReading(const QString& database, const QByteArray& key = password)
{
    return QJsonDocument::fromJson(run("perl", {perlClient, "read", database}, key + '\n').out.toUtf8()).object();
}

QList<KdbxEntry> perlEntries(const QString& database, const QByteArray& key = password)
{
    QList<KdbxEntry> entries;
    for (const QJsonValue& value : perlReading(database, key)["entries"].toArray()) {
        const QJsonObject o = value.toObject();
        const auto time = [&o](const char* name) {
            return o[name].isNull() ? QDateTime() : QDateTime::fromSecsSinceEpoch(o[name].toInteger(), Qt::UTC);
        };
        entries.append({o["title"].toString(), o["username"].toString(), o["password"].toString(), o["url"].toString(),
                        o["notes"].toString(), time("modified"), time("expiry")});
    }
    return entries;
}

QJsonObject perlEntry(const QString& title, const QString& login, const QString& pass, const QString& notes = {})
{
    return {{"title", title}, {"username", login}, {"password", pass}, {"notes", notes}};
}

QJsonArray perlSamples()
{
    QJsonArray entries;
    for (const Sample& sample : samples) {
        QJsonObject entry = perlEntry(sample.title, sample.login, sample.password, sample.notes);
        entry["url"] = sample.url;
        entry["modified"] = sample.modified.toSecsSinceEpoch();
        if (sample.expiry.isValid()) {
            entry["expiry"] = QDateTime(sample.expiry, QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
        }
        entries.append(entry);
    }
    return entries;
}

bool perlWrite(const QString& database, const QString& form, const QJsonArray& entries)
{
    return run("perl", {perlClient, "write", database, form},
               password + '\n' + QJsonDocument(entries).toJson(QJsonDocument::Compact))
               .exitCode == 0;
}

// KeePass XML in clear, as keepassxc-cli import takes it.
QByteArray keePassXml()
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><KeePassFile><Meta/><Root><Group>"
                     "<UUID>Ckhd2WyTQOGrbqgGcGqbgA==</UUID><Name>Raiz</Name>";
    for (const Sample& sample : samples) {
        const auto escaped = [](const QString& text) { return text.toHtmlEscaped().toUtf8(); };
        xml += "<Entry><UUID>" + QByteArray::number(qHash(sample.title)).leftJustified(16, '0').left(16).toBase64() +
               "</UUID><Times><LastModificationTime>" + sample.modified.toString(Qt::ISODate).toUtf8() +
               "</LastModificationTime><ExpiryTime>" +
               (sample.expiry.isValid() ? QDateTime(sample.expiry, QTime(12, 0), Qt::UTC) : sample.modified)
                   .toString(Qt::ISODate)
                   .toUtf8() +
               "</ExpiryTime><Expires>" + (sample.expiry.isValid() ? "True" : "False") + "</Expires></Times>";
        for (const auto& [key, value] : {std::pair{"Title", &sample.title},
                                         {"UserName", &sample.login},
                                         {"Password", &sample.password},
                                         {"URL", &sample.url},
                                         {"Notes", &sample.notes}}) {
            xml += QByteArray("<String><Key>") + key + "</Key><Value>" + escaped(*value) + "</Value></String>";
        }
        xml += "</Entry>";
    }
    return xml + "</Group></Root></KeePassFile>";
}

// What a test makes of the KeePass module of a portable copy, or puts in its place.
void spoilModule(const PortableProgram& copy, const QString& by, const DataFolder& elsewhere)
{
    const QString module = copy.kdbxModule();
    const QByteArray path = QFile::encodeName(module);
    if (by == "group-writable") {
        QCOMPARE(chmod(path.constData(), 0664), 0);
    } else if (by == "another user's") {
        QCOMPARE(chown(path.constData(), 4321, 4321), 0);
    } else if (by == "link into an open folder") {
        QVERIFY(QFile::rename(module, elsewhere.filePath("keyhound-kdbx.so")));
        QCOMPARE(chmod(QFile::encodeName(elsewhere.path()).constData(), 0777), 0);
        QVERIFY(QFile::link(elsewhere.filePath("keyhound-kdbx.so"), module));
    } else {
        QVERIFY(QFile::remove(module));
    }
    if (by == "other version") {
        QVERIFY(QFile::copy(OTHER_VERSION_MODULE, module));
    } else if (by == "text") {
        copy.folder.write(QFileInfo(module).fileName(), QByteArray(200, 'x'));
    } else if (by == "other library") {
        QVERIFY(QFile::copy(QLibraryInfo::path(QLibraryInfo::LibrariesPath) + "/libz.so.1", module));
    } else if (by == "fifo") {
        QCOMPARE(mkfifo(path.constData(), 0600), 0);
    }
}

bool clientsInstalled()
{
    return !QStandardPaths::findExecutable(keePassXc).isEmpty() &&
           QProcess::execute("perl", {"-MFile::KDBX", "-e", "1"}) == 0;
}

} // namespace

class KdbxTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "America/Sao_Paulo");
        if (!clientsInstalled()) {
            QSKIP("keepassxc-cli or Perl's File::KDBX is not installed");
        }
        QList<QByteArray> records;
        for (const Sample& sample : samples) {
            records.append(recordOf(sample));
        }
        m_samples.addRecords(records);
        m_export = m_folder.filePath("keyhound.kdbx");
        const Run exported = m_samples.job("--export", m_export);
        QCOMPARE(exported.error, "");
        QCOMPARE(exported.out, QString("4 entradas exportadas para o banco de dados cifrado %1.\n").arg(m_export));
    }

    void exportReadByClient_data()
    {
        QTest::addColumn<QString>("client");
        QTest::newRow("keepassxc-cli") << keePassXc;
        QTest::newRow("File::KDBX") << QString("perl");
    }
    void exportReadByClient()
    {
        QFETCH(QString, client);
        QCOMPARE(lines(client == "perl" ? perlEntries(m_export) : keePassXcReading(m_export)), exportedSamples());
    }

    void exportSeenByKeePassXcCommands()
    {
        QCOMPARE(run(keePassXc, {"ls", "-q", m_export}, password + '\n').out.split('\n', Qt::SkipEmptyParts).size(),
                 samples.size());
        const Run shown =
            run(keePassXc, {"show", "-q", "-s", "-a", "Password", m_export, samples[1].title}, password + '\n');
        QCOMPARE(shown.out, samples[1].password + '\n');
        QCOMPARE(perlReading(m_export)["version"].toString(), "40000");
    }

    void exportIsOnlyTheEncryptedFile()
    {
        QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keyhound.kdbx"});
        struct stat status;
        QCOMPARE(stat(QFile::encodeName(m_export).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0600u);
        const QByteArray bytes = m_folder.read("keyhound.kdbx");
        for (const Sample& sample : samples) {
            QVERIFY(sample.password.isEmpty() || !bytes.contains(sample.password.toUtf8()));
            QVERIFY(!bytes.contains(sample.title.toUtf8()));
        }
    }

    void databaseImported_data()
    {
        QTest::addColumn<QString>("made"); // by whom, and how
        QTest::newRow("keepassxc-cli import, times and expiry (KDBX 3.1)") << QString("keepassxc import");
        QTest::newRow("keepassxc-cli add into the program's export (KDBX 4)") << QString("keepassxc add");
        QTest::newRow("keepassxc-cli db-create and add (KDBX 3.1)") << QString("keepassxc create");
        QTest::newRow("File::KDBX 4.0, AES-256") << QString("4-aes");
        QTest::newRow("File::KDBX 4.0, ChaCha20") << QString("4-chacha20");
        QTest::newRow("File::KDBX 3.1, AES-KDF and Salsa20") << QString("3.1");
        QTest::newRow("the program's own export") << QString("keyhound");
        QTest::newRow("File::KDBX, an entry in the recycle bin, one with history") << QString("bin and history");
    }
    void databaseImported()
    {
        QFETCH(QString, made);
        const DataFolder folder;
        QString database = folder.filePath("made.kdbx");
        const QByteArray twice = password + '\n' + password + '\n';
        if (made == "keepassxc import") {
            folder.write("made.xml", keePassXml());
            QCOMPARE(run(keePassXc, {"import", "-q", "-p", folder.filePath("made.xml"), database}, twice).exitCode, 0);
        } else if (made == "keepassxc add" || made == "keepassxc create") {
            QVERIFY(made == "keepassxc add" ? QFile::copy(m_export, database)
                                            : run(keePassXc, {"db-create", "-q", "-p", database}, twice).exitCode == 0);
            const Sample& added = samples[0];
            QCOMPARE(run(keePassXc,
                         {"add", "-q", "-u", added.login, "--url", added.url, "--notes", added.notes, "-p", database,
                          "Nova, " + added.title},
                         password + '\n' + added.password.toUtf8() + '\n')
                         .exitCode,
                     0);
        } else if (made == "keyhound") {
            database = m_export;
        } else if (made == "bin and history") {
            QJsonArray entries = perlSamples();
            QJsonObject binned = perlEntry("Apagada", "", "x");
            binned["bin"] = 1;
            QJsonObject changed = perlEntry("Nome novo", "", "y");
            changed["old"] = "Nome antigo";
            QVERIFY(perlWrite(database, "4-aes", entries << binned << changed));
        } else {
            QVERIFY(perlWrite(database, made, perlSamples()));
        }
        const QList<KdbxEntry> clientView =
            made.startsWith("keepassxc") ? keePassXcReading(database) : perlEntries(database);
        QVERIFY(!clientView.isEmpty());
        QVERIFY(made != "bin and history" || clientView.size() == samples.size() + 1);

        const Program target;
        const Run imported = target.job("--import", database);
        QCOMPARE(imported.error, "");
        QCOMPARE(imported.out, clientView.size() == 1
                                   ? QString("1 entrada adicionada, 0 recusadas.\n")
                                   : QString("%1 entradas adicionadas, 0 recusadas.\n").arg(clientView.size()));
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(target.records(), recordsOf(clientView));
        if (made != "keepassxc create") {
            QVERIFY(target.records().contains(recordOf(samples[0])));
        }
    }

    void thousandEntriesRoundTrip()
    {
        Program source;
        QList<QByteArray> records;
        for (int i = 0; i < 1000; ++i) {
            records.append(
                utf8Record(QString("Entrada %1 ação, \"%2\"").arg(i, 4, 10, QChar('0')).arg(i % 7),
                           i % 3 ? QDate(2027, 1 + i % 12, 1 + i % 28).toString("dd/MM/yy") : "----/----/----",
                           QDateTime(QDate(2020 + i % 6, 1 + i % 12, 1 + i % 28), QTime(i % 24, i % 60, i % 59))
                               .toString("yy.MM.dd.HH.mm.ss"),
                           "usuário" + QString::number(i), QString("%1").arg(i, 36, 10, QChar('x')),
                           "https://s.example/" + QString::number(i), "linha 1\nlinha, 2 é " + QString::number(i)));
        }
        source.addRecords(records);
        const DataFolder folder;
        const QString database = folder.filePath("mil.kdbx");
        QCOMPARE(source.job("--export", database).exitCode, 0);
        QCOMPARE(run(keePassXc, {"ls", "-q", database}, password + '\n').out.count('\n'), 1000);
        const Program target;
        QCOMPARE(target.job("--import", database).out, "1000 entradas adicionadas, 0 recusadas.\n");
        QCOMPARE(target.records(), sorted(records));
        QCOMPARE(target.job("--import", database).out,
                 "0 entradas adicionadas, 0 recusadas, 1000 iguais a entradas já guardadas.\n");
    }

    void defaultKeyDerivation()
    {
        const DataFolder folder;
        const QString database = folder.filePath("padrão.kdbx");
        QCOMPARE(m_samples.job("--export", database, password + '\n', false).exitCode, 0);
        const QJsonObject header = perlReading(database);
        QCOMPARE(header["kdf"].toString(), "9e298b1956db4773b23dfc3ec6f0a1e6"); // Argon2id
        QVERIFY2(header["memory"].toInteger() >= 64 * 1024 * 1024,
                 qPrintable(QString::number(header["memory"].toInteger())));
        QVERIFY(header["iterations"].toInteger() >= 2);
        const Program target;
        QCOMPARE(target.job("--import", database).exitCode, 0);
        QCOMPARE(target.records(), m_samples.records());
    }

    void unstorableEntriesNamed()
    {
        const DataFolder folder;
        const QString database = folder.filePath("estranha.kdbx");
        const QString longTitle = QString("Título longo ").repeated(20);
        const QString longPassword = QString("p").repeated(100);
        QJsonObject future = perlEntry("Vence em 2150", "", "");
        future["expiry"] = QDateTime(QDate(2150, 1, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
        QVERIFY(perlWrite(database, "4-aes",
                          {perlEntry("  ", "", ""), perlEntry("Senha 🔑", "", ""), perlEntry("Marca", "a§b", ""),
                           perlEntry("Quebra", "", "a\nb"), perlEntry("Nota", "", "", "x¥y\u0100"), future,
                           perlEntry(longTitle, "ana", longPassword)}));
        const Program target;
        const Run imported = target.job("--import", database);
        QCOMPARE(imported.exitCode, 1);
        QCOMPARE(imported.out, "1 entrada adicionada, 6 recusadas.\n");
        QCOMPARE(imported.error,
                 "Entrada recusada, \"  \": o cofre exige um título\n"
                 "Entrada recusada, \"Senha 🔑\": título com o que o cofre não guarda: 🔑\n"
                 "Entrada recusada, \"Marca\": usuário com o que o cofre não guarda: §\n"
                 "Entrada recusada, \"Quebra\": senha com o que o cofre não guarda: quebra de linha\n"
                 "Entrada recusada, \"Nota\": notas com o que o cofre não guarda: ¥, Ā\n"
                 "Entrada recusada, \"Vence em 2150\": vence em 01/01/2150, ano que o cofre não guarda: ele guarda o "
                 "ano com dois dígitos\n");
        QCOMPARE(target.records().size(), 1);
        QCOMPARE(EntryRecord::field(target.records().constFirst(), EntryRecord::Title),
                 Windows1252::fromUnicode(longTitle));
        QCOMPARE(EntryRecord::field(target.records().constFirst(), EntryRecord::Password), longPassword.toLatin1());
    }

    void databaseRefused_data()
    {
        QTest::addColumn<QString>("made");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("reason");
        const QString wrongKey = "a senha está errada, ou o banco de dados também exige um arquivo-chave ou uma chave "
                                 "de hardware, que o KeyHound não usa";
        QTest::newRow("wrong password") << QString("export") << QByteArray("outra senha\n") << wrongKey;
        QTest::newRow("password and key file") << QString("key file") << password + '\n' << wrongKey;
        QTest::newRow("no password given") << QString("export") << QByteArray() << QString("");
        QTest::newRow("a CSV file named .kdbx") << QString("csv") << password + '\n'
                                                << QString("o arquivo não é um banco de dados do KeePass");
        QTest::newRow("cut short") << QString("cut") << password + '\n' << QString("o arquivo está danificado");
        QTest::newRow("a KeePass 1 database")
            << QString("keepass1") << password + '\n'
            << QString("o banco de dados é de uma versão do KeePass que o KeyHound não lê (ele lê as versões 3.1 e 4)");
    }
    void databaseRefused()
    {
        QFETCH(QString, made);
        QFETCH(QByteArray, input);
        QFETCH(QString, reason);
        const DataFolder folder;
        const QString database = folder.filePath("recusado.kdbx");
        const QByteArray exported = m_folder.read("keyhound.kdbx");
        if (made == "key file") {
            QCOMPARE(run(keePassXc, {"db-create", "-q", "-p", "--set-key-file", folder.filePath("chave.key"), database},
                         input + input)
                         .exitCode,
                     0);
        } else {
            folder.write("recusado.kdbx", made == "csv"   ? QByteArray("Title,Username\nA,b\n")
                                          : made == "cut" ? exported.left(exported.size() - 100)
                                          : made == "keepass1"
                                              ? QByteArray::fromHex("03d9a29a65fb4bb500000000") + QByteArray(120, '\0')
                                              : exported);
        }
        Program target;
        target.addRecords({recordOf(samples[3])});
        const QByteArray before = target.folder.read("pswd.tab");
        const Run imported = target.job("--import", database, input);
        QCOMPARE(imported.exitCode, 1);
        QCOMPARE(imported.out, "");
        QCOMPARE(imported.error, reason.isEmpty()
                                     ? "Nenhuma senha foi lida. Nenhuma entrada foi adicionada.\n"
                                     : QString("Não foi possível importar o arquivo %1: %2. Nenhuma entrada "
                                               "foi adicionada.\n")
                                           .arg(database, reason));
        QCOMPARE(target.folder.read("pswd.tab"), before);
    }

    void exportRefused_data()
    {
        QTest::addColumn<QString>("target"); // what is at the path already
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("said");
        QTest::newRow("an existing file") << QString("file") << password + '\n'
                                          << QString("O arquivo %1 já existe, e o KeyHound não grava sobre ele.");
        QTest::newRow("a link to nowhere") << QString("link") << password + '\n'
                                           << QString("O arquivo %1 já existe, e o KeyHound não grava sobre ele.");
        QTest::newRow("empty password") << QString("") << QByteArray("\n") << QString("A senha não pode ficar vazia.");
        QTest::newRow("no password") << QString("") << QByteArray() << QString("Nenhuma senha foi lida.");
    }
    void exportRefused()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, input);
        QFETCH(QString, said);
        const DataFolder folder;
        const QString database = folder.filePath("destino.kdbx");
        if (target == "file") {
            folder.write("destino.kdbx", "guardado");
        } else if (target == "link") {
            QVERIFY(QFile::link(folder.filePath("nada"), database));
        }
        const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
        const Run exported = m_samples.job("--export", database, input);
        QCOMPARE(exported.exitCode, 1);
        QCOMPARE(exported.error, QString(said).replace("%1", database) + " Nada foi exportado.\n");
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), before);
        QCOMPARE(folder.read("destino.kdbx"), target == "file" ? QByteArray("guardado") : QByteArray());
    }

    // Only the KeePass jobs need the module: without a usable one they say why and change nothing, and the rest of
    // the program runs as before.
    void withoutUsableModule_data()
    {
        QTest::addColumn<QString>("module"); // what is where the module belongs
        QTest::addColumn<QString>("reason"); // %m the module's path, %d its folder, %i the installed program's place
        const QString reinstall = "\n\nInstale o KeyHound de novo, o programa e o módulo juntos.";
        QTest::newRow("missing from the portable copy")
            << "missing"
            << "O arquivo keyhound-kdbx.so não está em %d nem em %i." + reinstall;
        QTest::newRow("of another version")
            << "other version"
            << "O módulo %m é de outra versão do KeyHound (interface 2; este programa usa a 1)." + reinstall;
        QTest::newRow("not a program library")
            << "text"
            << "O sistema não carregou o módulo: %m: invalid ELF header." + reinstall;
        QTest::newRow("another library") << "other library"
                                         << "O arquivo %m não é o módulo do KeePass do KeyHound." + reinstall;
        QTest::newRow("a named pipe") << "fifo"
                                      << "%m não é um arquivo comum." + reinstall;
        QTest::newRow("writable by the group")
            << "group-writable"
            << "O módulo %m pode ser alterado por outros usuários (permissões 664) e não será carregado.\n\nPara "
               "protegê-lo, tire deles a permissão de escrita (chmod go-w).";
        QTest::newRow("another user's")
            << "another user's"
            << "O módulo %m pertence a outro usuário (número 4321), que poderia trocá-lo, e não será carregado.";
        QTest::newRow("a link into a folder others may write to")
            << "link into an open folder"
            << "A pasta %o, no caminho de %o/keyhound-kdbx.so, pode ser alterada por outros usuários (permissões 777), "
               "que poderiam "
               "trocar o que há dentro dela.\n\nPara protegê-la, execute:\nchmod go-w %o";
    }
    void withoutUsableModule()
    {
        QFETCH(QString, module);
        QFETCH(QString, reason);
        if (module == "another user's" && geteuid() != 0) {
            QSKIP("only root gives a file to another user");
        }
        Program copy;
        copy.addRecords({recordOf(samples[0])});
        const DataFolder elsewhere;
        spoilModule(copy, module, elsewhere);
        reason.replace("%m", copy.kdbxModule()).replace("%d", copy.folder.path()).replace("%o", elsewhere.path());
        reason.replace("%i", QDir::cleanPath(copy.folder.filePath(KDBX_MODULE_FROM_EXECUTABLE)));
        const QByteArray vault = copy.folder.read("pswd.tab");
        const QString database = copy.folder.filePath("saida.kdbx");
        const Run exported = copy.job("--export", database);
        QCOMPARE(exported.error, "O módulo do KeePass não pôde ser carregado. Nada foi exportado.\n\n" + reason + '\n');
        QCOMPARE(exported.exitCode, 1);
        QVERIFY(!QFile::exists(database));
        const Run imported = copy.job("--import", m_export);
        QCOMPARE(imported.error,
                 "O módulo do KeePass não pôde ser carregado. Nenhuma entrada foi adicionada.\n\n" + reason + '\n');
        QCOMPARE(imported.exitCode, 1);
        QCOMPARE(copy.folder.read("pswd.tab"), vault);
        QCOMPARE(copy.job("--export", copy.folder.filePath("contas.csv"), {}).out,
                 QString("1 entrada exportada para %1.\n").arg(copy.folder.filePath("contas.csv")));
    }

    // The program starts without the KeePass module and the libraries only it needs.
    void startLoadsNoKeePassCode()
    {
        const PortableProgram copy;
        const auto window = copy.start();
        QTRY_VERIFY_WITH_TIMEOUT(copy.fileNames().contains("pswd.tab"), PortableProgram::patience);
        QFile maps(QString("/proc/%1/maps").arg(window->processId()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        window->kill();
        window->waitForFinished();
        QVERIFY(mapped.contains("libQt6Widgets"));
        for (const char* library : {"keyhound-kdbx.so", "libbotan", "libargon2"}) {
            QVERIFY2(!mapped.contains(library), library);
        }
    }

    // The module is found beside the program's real file, not beside a link to it.
    void programStartedThroughALink()
    {
        const DataFolder elsewhere;
        QVERIFY(QFile::link(m_samples.executable(), elsewhere.filePath("keyhound")));
        const QString database = elsewhere.filePath("pelo-link.kdbx");
        const Run exported =
            runToEnd(elsewhere.filePath("keyhound"), {"--export", database}, password + '\n', jobEnvironment());
        QCOMPARE(exported.error, "");
        QCOMPARE(lines(perlEntries(database)), exportedSamples());
    }

    void passwordOnTerminal_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said"); // after the questions
        QTest::newRow("the same twice") << QStringList{"dígito 1", "dígito 1"} << 0
                                        << "4 entradas exportadas para o banco de dados cifrado %1.";
        QTest::newRow("two different") << QStringList{"dígito 1", "dígito 2"} << 1
                                       << "As senhas digitadas não são iguais. Nada foi exportado.";
        QTest::newRow("empty") << QStringList{""} << 1 << "A senha não pode ficar vazia. Nada foi exportado.";
    }
    void passwordOnTerminal()
    {
        QFETCH(QStringList, typed);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        const DataFolder folder;
        const QString database = folder.filePath("terminal.kdbx");
        const Run exported =
            run("python3", QStringList{terminalRun, m_samples.executable(), "--export", database, "--"} + typed, {});
        QString expected = QString("Senha para o banco de dados %1: \r\n").arg(database);
        if (typed.size() > 1) {
            expected += "Repita a senha: \r\n";
        }
        QCOMPARE(exported.out, expected + QString(said).replace("%1", database) + "\r\n");
        QCOMPARE(exported.exitCode, exitCode);
        QCOMPARE(QFile::exists(database), exitCode == 0);
        if (exitCode == 0) {
            QCOMPARE(perlEntries(database, typed[0].toUtf8()).size(), samples.size());
            const Run imported =
                run("python3", {terminalRun, m_samples.executable(), "--import", database, "--", typed[0]}, {});
            QCOMPARE(imported.out, QString("Senha do banco de dados %1: \r\n0 entradas adicionadas, 0 recusadas, 4 "
                                           "iguais a entradas já guardadas.\r\n")
                                       .arg(database));
        }
    }

private:
    Program m_samples;
    DataFolder m_folder;
    QString m_export;
};

QTEST_GUILESS_MAIN(KdbxTest)
#include "tst_kdbx.moc"
