#include "search/entrymatcher.h"
#include "storage/entrylist.h"
#include "storage/entryrecord.h"
#include "storage/windows1252.h"

#include <QTest>

namespace {

// Title, login, address and description of each entry searched.
const QList<QStringList> searched = {
    {"João Banco", "jsilva", "", ""},
    {"Loja", "Maria.Souza", "", ""},
    {"ab", "cd", "", ""},
    {"Correio", "", "https://ÉLAN.example", ""},
    {"Diário", "", "", "joao elan"},
    {"Joao Neto", "", "", ""},
    {"Serviço", "", "", ""},
    {"Škoda", "", "", ""},
    {"1ª via", "", "", ""},
    {"Banco do Brasil", "", "", ""},
};

EntryList entries()
{
    QList<QByteArray> records;
    for (const QStringList& entry : searched) {
        QList<QByteArray> fields;
        for (const QString& field : {entry[0], QStringLiteral("----/----/----"), QStringLiteral("26.01.02.03.04.05"),
                                     entry[1], QStringLiteral("senha"), entry[2], entry[3]}) {
            fields.append(Windows1252::fromUnicode(field));
        }
        records.append(EntryRecord::join(fields));
    }
    return EntryList(records);
}

} // namespace

// Which entries a search finds, without a window: letter case and accents disregarded, title, login and address
// searched, each field alone.
class TestEntryMatcher : public QObject
{
    Q_OBJECT

private slots:
    void matching_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        const auto add = [](const char* name, const char* text, const QStringList& found) {
            QTest::newRow(name) << QString::fromUtf8(text) << found;
        };
        add("an accent typed without, not in the description", "joao", {"João Banco", "Joao Neto"});
        add("an accent and capitals typed", "JOÃO", {"João Banco", "Joao Neto"});
        add("a cedilla", "servico", {"Serviço"});
        add("a letter beyond Latin-1", "SKODA", {"Škoda"});
        add("an ordinal", "1a via", {"1ª via"});
        add("in the login", "souza", {"Loja"});
        add("in the address, an accented capital", "elan", {"Correio"});
        add("never across two fields", "bc", {});
        add("more than is there", "bancos", {});
        add("in the middle of a title", "anco", {"João Banco", "Banco do Brasil"});
        QStringList everyTitle;
        for (const QStringList& entry : searched) {
            everyTitle.append(entry[0]);
        }
        add("an empty text: every entry", "", everyTitle);
    }

    void matching()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        const EntryList list = entries();
        QStringList titles;
        for (const qsizetype index : EntryMatcher(list).matching(text)) {
            titles.append(Windows1252::toUnicode(EntryRecord::field(list.at(index), EntryRecord::Title)));
        }
        titles.sort();
        found.sort();
        QCOMPARE(titles, found);
    }
};

QTEST_MAIN(TestEntryMatcher)
#include "tst_entrymatcher.moc"
