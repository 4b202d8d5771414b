#include "access/entryfieldrule.h"

#include <QTest>

namespace {

QString letters(int count)
{
    return QString(count, QLatin1Char('a'));
}

} // namespace

// What each field of an entry takes, without a window: the limits at their edges. The characters each box takes
// are tried in the windows themselves, by tst_boxcharacters.
class TestFieldRules : public QObject
{
    Q_OBJECT

private slots:
    void boxEdits_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("refusal");
        const auto edges = [](const char* name, EntryRecord::Field field, const char* subject, int limit) {
            const QString over = QStringLiteral("%1 aceita no máximo %2 caracteres.").arg(QString::fromUtf8(subject));
            const QByteArray prefix(name);
            QTest::newRow(prefix + " one below the limit")
                << int(field) << QString() << letters(limit - 1) << QString();
            QTest::newRow(prefix + " at the limit") << int(field) << letters(limit - 1) << letters(limit) << QString();
            QTest::newRow(prefix + " one past the limit")
                << int(field) << letters(limit) << letters(limit + 1) << over.arg(limit);
            QTest::newRow(prefix + " stored longer, shortened")
                << int(field) << letters(limit + 2) << letters(limit + 1) << QString();
        };
        edges("title", EntryRecord::Title, "O título", 45);
        edges("login", EntryRecord::Login, "O login", 45);
        edges("password", EntryRecord::Password, "A senha", 20);
        edges("address", EntryRecord::Address, "A URL", 255);
        QTest::newRow("a refused character already there stays")
            << int(EntryRecord::Login) << QStringLiteral("~a") << QStringLiteral("~ab") << QString();
    }

    // An edit of a one-line box, judged by the text before and after it.
    void boxEdits()
    {
        QFETCH(int, field);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QTEST(EntryFieldRule::of(EntryRecord::Field(field)).boxRule().refusal(before, after), "refusal");
    }

    void stored_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stored");
        QTest::newRow("description: line breaks") << int(EntryRecord::Description) << "um\r\ndois\n" << true;
        QTest::newRow("title: a line break") << int(EntryRecord::Title) << "um\ndois" << false;
        QTest::newRow("login: what no box takes") << int(EntryRecord::Login) << "~ª\t" << true;
        QTest::newRow("description: the field separator") << int(EntryRecord::Description) << "a§b" << false;
        QTest::newRow("description: the line-break mark") << int(EntryRecord::Description) << "a¥b" << false;
        QTest::newRow("password: beyond Windows-1252") << int(EntryRecord::Password) << "Ωő" << false;
    }

    // What a field can keep, whichever way it arrives (a CSV, a KeePass file): what the data file can hold.
    void stored()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QTEST(EntryFieldRule::of(EntryRecord::Field(field)).storesAll(text), "stored");
    }
};

QTEST_MAIN(TestFieldRules)
#include "tst_fieldrules.moc"
