#include "support/input.h"
#include "support/programwindows.h"

#include <QTest>

// What the boxes of the entry windows take, typed key by key or pasted, and how they refuse the rest.
class TestEntryBoxes : public QObject
{
    Q_OBJECT

private slots:
    void typedAndPasted_data();
    void typedAndPasted();
};

void TestEntryBoxes::typedAndPasted_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    // What the window says of the last refusal; the description refuses silently.
    QTest::addColumn<QString>("notice");
    const auto row = [](const char* name, const char* window, const char* box, const QString& typed,
                        const QString& kept, const QString& notice) {
        QTest::newRow(name) << QString::fromLatin1(window) << QByteArray(box) << typed << kept << notice;
    };
    const auto longest = [](int limit) { return QString(limit, QLatin1Char('a')); };
    const auto tooLong = [](const char* subject, int limit) {
        return QStringLiteral("%1 aceita no máximo %2 caracteres.").arg(QString::fromUtf8(subject)).arg(limit);
    };
    const auto refused = [](const char* character) {
        return QStringLiteral("O caractere %1 não é aceito neste campo.").arg(QString::fromUtf8(character));
    };
    const char* newEntry = "frm1_Escrever";
    const char* detail = "frm2_Esquerda";
    const char* update = "frm3_Direita";
    row("new entry: the 45th character of the title kept, the 46th refused", newEntry, "txtTitulo", longest(46),
        longest(45), tooLong("O título", 45));
    row("new entry: login up to 45", newEntry, "txtLogin", longest(46), longest(45), tooLong("O login", 45));
    row("new entry: password up to 20", newEntry, "txtSenha", longest(21), longest(20), tooLong("A senha", 20));
    row("new entry: address up to 255", newEntry, "txtUrl", longest(256), longest(255), tooLong("A URL", 255));
    row("new entry: description up to 500", newEntry, "txtDescricao", longest(501), longest(500), "");
    row("detail: title up to 45", detail, "txtTitulo", longest(46), longest(45), tooLong("O título", 45));
    row("detail: login up to 45", detail, "txtLogin", longest(46), longest(45), tooLong("O login", 45));
    row("detail: password up to 20", detail, "txtSenha", longest(21), longest(20), tooLong("A senha", 20));
    row("detail: address up to 255", detail, "txtUrl", longest(256), longest(255), tooLong("A URL", 255));
    row("update: description up to 500", update, "txtDescricao", longest(501), longest(500), "");
    // "§" and "¥" mark the fields and the line breaks of a record: stored, they would split it on the next read.
    row("new entry: title takes anything storable but the markers", newEntry, "txtTitulo",
        QStringLiteral("a~`^ªº°€§b¥"), QStringLiteral("a~`^ªº°€b"), refused("¥"));
    row("new entry: login takes its own set", newEntry, "txtLogin", QStringLiteral("joão@x~1^"),
        QStringLiteral("joão@x1"), refused("^"));
    row("new entry: password takes its own set", newEntry, "txtSenha", QStringLiteral("S3nha`Forte!"),
        QStringLiteral("S3nhaForte!"), refused("`"));
    row("new entry: address takes only what Windows-1252 has", newEntry, "txtUrl", QStringLiteral("sítio/Ω"),
        QStringLiteral("sítio/"), refused("Ω"));
    row("new entry: description refuses the markers, keeps lines", newEntry, "txtDescricao",
        QStringLiteral("um§\ndois¥ €"), QStringLiteral("um\ndois €"), "");
    row("detail: title refuses the markers", detail, "txtTitulo", QStringLiteral("a§b~"), QStringLiteral("ab~"),
        refused("§"));
    row("detail: login", detail, "txtLogin", QStringLiteral("ana~x"), QStringLiteral("anax"), refused("~"));
    row("detail: password", detail, "txtSenha", QStringLiteral("pw^"), QStringLiteral("pw"), refused("^"));
    row("detail: address", detail, "txtUrl", QStringLiteral("x¥y"), QStringLiteral("xy"), refused("¥"));
    row("update: description refuses the markers", update, "txtDescricao", QStringLiteral("a¥b§c\nd"),
        QStringLiteral("abc\nd"), "");
}

// Every refused key beeps and says why (the description stays silent); a paste that cannot be taken whole is refused
// whole, but the description takes what fits of a paste too long.
void TestEntryBoxes::typedAndPasted()
{
    QFETCH(QString, window);
    QFETCH(QByteArray, box);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(QString, notice);
    ProgramWindows windows;
    QWidget* shown = windows.window(window);
    QWidget* edit = child(shown, box.constData());
    QWidget* label = child(shown, "lblMensagem");
    retype(edit, typed);
    QCOMPARE(textOf(edit), kept);
    const int refusals = notice.isEmpty() ? 0 : int(typed.size() - kept.size());
    QCOMPARE(windows.platform.beeps, refusals);
    QCOMPARE(label->isVisible() ? textOf(label) : QString(), notice);

    // Ctrl+A with the control character a keyboard sends along, then the same text pasted over everything.
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
    paste(edit, typed);
    QCOMPARE(textOf(edit), kept);
    QCOMPARE(windows.platform.beeps, notice.isEmpty() ? 0 : refusals + 1);
}

QTEST_MAIN(TestEntryBoxes)
#include "tst_entryboxes.moc"
