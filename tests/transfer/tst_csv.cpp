#include "transfer/csv.h"

#include <QBuffer>
#include <QTest>

namespace {

using Rows = QList<QStringList>;

struct ReadBack
{
    Rows rows;
    QList<int> lines;
    QString error;
};

ReadBack readAll(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    Csv::Reader reader(buffer);
    ReadBack read;
    while (const std::optional<Csv::Row> row = reader.next()) {
        read.rows.append(row->fields);
        read.lines.append(row->line);
    }
    read.error = reader.error();
    return read;
}

} // namespace

// Comma-separated values as bytes, read and written without a window or a vault.
class TestCsv : public QObject
{
    Q_OBJECT

private slots:
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Rows>("rows");
        // The line on which each row begins.
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, const QByteArray& bytes, const Rows& rows, const QList<int>& lines,
                            const char* error = "") {
            QTest::newRow(name) << bytes << rows << lines << QString::fromUtf8(error);
        };
        row("plain fields", "a,b,c\n", {{"a", "b", "c"}}, {1});
        row("empty fields, plain and quoted", ",\"\",\n", {{"", "", ""}}, {1});
        row("no line end after the last row", "a\nb,c", {{"a"}, {"b", "c"}}, {1, 2});
        row("a comma in quotes", "\"a,b\",c\n", {{"a,b", "c"}}, {1});
        row("doubled quotes inside quotes", "\"diz \"\"oi\"\"\",\"\"\"\"\n", {{"diz \"oi\"", "\""}}, {1});
        row("a quote inside a plain field is kept", "a\"b,c\n", {{"a\"b", "c"}}, {1});
        row("line breaks in quotes kept as they are", "\"a\r\nb\nc\",d\r\ne\r\n", {{"a\r\nb\nc", "d"}, {"e"}}, {1, 4});
        row("CR LF rows", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}, {1, 2});
        row("CR alone", "a\rb\r", {{"a"}, {"b"}}, {1, 2});
        row("a byte order mark at the start is left out", "\xEF\xBB\xBFTitle,b\n", {{"Title", "b"}}, {1});
        row("a byte order mark inside a field is kept",
            "a,\xEF\xBB\xBF"
            "b\n",
            {{"a", QChar(0xFEFF) + QStringLiteral("b")}}, {1});
        row("blank lines left out, still counted", "a\n\r\n\nb\n", {{"a"}, {"b"}}, {1, 4});
        row("UTF-8 letters", "João,€\n", {{"João", "€"}}, {1});
        row("a letter cut by the end of a piece read", QByteArray(65535, 'a') + "ã\n",
            {{QString(65535, QLatin1Char('a')) + "ã"}}, {1});
        row("nothing", "", {}, {});
        row("an open quote", "a\n\"b,c\nd\n", {{"a"}}, {1}, "as aspas abertas na linha 2 não se fecham");
        row("text after a closing quote", "\"a\"b,c\n", {}, {},
            "a linha 1 tem texto depois das aspas que fecham um campo");
        row("not UTF-8", "Jo\xE3o\n", {}, {}, "o arquivo não está em UTF-8");
        row("UTF-8 cut at the end", "a\n\xC3", {{"a"}}, {1}, "o arquivo não está em UTF-8");
    }

    void reading()
    {
        QFETCH(QByteArray, bytes);
        const ReadBack read = readAll(bytes);
        QTEST(read.rows, "rows");
        QTEST(read.lines, "lines");
        QTEST(read.error, "error");
    }

    // Every field quoted, quotes doubled, every row ended by a line feed; read back, the same fields.
    void writing()
    {
        const Rows rows = {{"a\"b", "c,d", ""}, {"linha 1\r\nlinha 2\n", "ção €"}};
        const QByteArray written = Csv::write(rows);
        QCOMPARE(written, QByteArray("\"a\"\"b\",\"c,d\",\"\"\n\"linha 1\r\nlinha 2\n\",\"ção €\"\n"));
        QCOMPARE(readAll(written).rows, rows);
    }
};

QTEST_MAIN(TestCsv)
#include "tst_csv.moc"
