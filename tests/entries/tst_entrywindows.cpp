#include "support/input.h"
#include "support/vaultfixture.h"

#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "entries/detailwindow.h"
#include "entries/newentrywindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "platform/twips.h"

#include <QDir>
#include <QTimer>

namespace {

enum class Window
{
    NewEntry,
    Detail,
    Update,
};

enum class Action
{
    Insert,
    Save,
    Delete,
};

// What else happens before the entry is stored.
enum class Meanwhile
{
    Nothing,
    AnotherProgramAddsAnEntry,
    AnEntrySortingFirstIsAdded,
    TheDetailWindowIsClosedAndReopened,
    TheDiskRefusesToWrite,
};

const QByteArray banco =
    entryRecord("Banco", "15/12/26", "26.12.01.09.08.07", "joao", "s3nha", "https://banco.example", "conta¥agência");
const QByteArray correio = entryRecord("Correio", "----/----/----", "07.01.31.23.59.59", "maria", "x", "mail.example");
const QByteArray loja = entryRecord("Loja", "01/01/30", "20.02.29.00.00.00", "ana", "pw", "", "cliente");
const QByteArray other = entryRecord("Outra", "----/----/----", "01.01.01.01.01.01");
const QString blankTitle = QStringLiteral("O título não pode ficar vazio!");
// Where the side windows stand beside a main window at 3000, 1995 twips, 4500 wide.
const QRect detailPlace = Twips::rect(300, 2845, 2670, 3420);

// Over a vault of Banco, Correio and Loja, with the clock fixed at 15 March 2008, 10:22:41: the new-entry window, or
// the side windows showing Loja beside that main window.
struct EntryHost : VaultFixture
{
    explicit EntryHost(Window shown)
    {
        addRecords({banco, correio, loja});
        const auto clock = [] { return QDateTime(QDate(2008, 3, 15), QTime(10, 22, 41)); };
        const auto note = [this](const QString& text) { notices.append(text); };
        if (shown == Window::NewEntry) {
            newEntry.emplace(vault, platform);
            newEntry->setClock(clock);
            newEntry->show();
            QObject::connect(&*newEntry, &NewEntryWindow::noticeRequested, note);
            return;
        }
        QObject::connect(&sides, &SideWindows::noticeRequested, note);
        sides.setClock(clock);
        sides.placeBeside(QRect(Twips::point(3000, 1995), Twips::size(4500, 5400)));
        sides.showEntry(2);
        sides.setShown(true);
        QCOMPARE(sides.detailWindow()->geometry(), detailPlace);
        QCOMPARE(sides.updateWindow()->geometry(), Twips::rect(7530, 2845, 2685, 3420));
    }
    QWidget* window(Window which)
    {
        return which == Window::NewEntry ? static_cast<QWidget*>(&*newEntry)
               : which == Window::Detail ? static_cast<QWidget*>(sides.detailWindow())
                                         : sides.updateWindow();
    }
    QWidget* in(Window which, const char* name) { return child(window(which), name); }
    // Picks the day of March 2008 in the window's calendar.
    void pickDay(Window which, int day)
    {
        click(in(which, "btnCalendario"));
        auto* calendar = window(which)->findChild<MonthCalendar*>();
        QTest::mouseClick(calendar->cell(calendar->grid().cellOfDay(day)), Qt::LeftButton);
    }
    void letMeanwhile(Meanwhile meanwhile)
    {
        if (meanwhile == Meanwhile::AnotherProgramAddsAnEntry) {
            Vault outside(folder.path());
            QVERIFY(outside.open().ok() && outside.addEntry(other).ok());
        } else if (meanwhile == Meanwhile::AnEntrySortingFirstIsAdded) {
            addRecords({entryRecord("Aaa", "----/----/----", "01.01.01.01.01.01")});
        } else if (meanwhile == Meanwhile::TheDetailWindowIsClosedAndReopened) {
            click(in(Window::Detail, "btnFechar"));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            sides.setShown(true);
            QCOMPARE(sides.detailWindow()->geometry(), detailPlace);
        } else if (meanwhile == Meanwhile::TheDiskRefusesToWrite) {
            noWrites.emplace(0);
        }
    }
    // The refusal was told in the window's notice, standing until its timer runs out, or by a message.
    void checkRefusalTold(Window noticeWindow, const QString& refusal)
    {
        QWidget* notice = in(noticeWindow, "lblMensagem");
        const bool blank = refusal == blankTitle;
        QCOMPARE(platform.beeps, blank ? 1 : 0);
        QCOMPARE(notices, blank ? QStringList{refusal} : QStringList{});
        QCOMPARE(platform.messages.size(), blank ? 0 : 1);
        QCOMPARE(blank ? textOf(notice) : platform.messages.first().text, refusal);
        QCOMPARE(notice->isVisible(), blank);
        auto* timer = notice->findChild<QTimer*>();
        QCOMPARE(timer->isActive(), blank);
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QVERIFY(!notice->isVisible());
    }
    // The entry was stored: a beep, the notice for the main window, and a message when the file had changed.
    void checkStoredTold(const QString& notice, Meanwhile meanwhile) const
    {
        QCOMPARE(platform.beeps, 1);
        QCOMPARE(notices, QStringList{notice});
        const bool changed = meanwhile == Meanwhile::AnotherProgramAddsAnEntry;
        QCOMPARE(platform.messages.size(), changed ? 1 : 0);
        if (changed) {
            QCOMPARE(platform.messages[0].icon, Platform::MessageIcon::Exclamation);
            QVERIFY(platform.messages[0].text.startsWith(
                QStringLiteral("O arquivo pswd.tab foi alterado fora do programa depois que o programa o leu.")));
        }
    }

    std::optional<NewEntryWindow> newEntry;
    SideWindows sides{vault, platform};
    QStringList notices;
    std::optional<FileSizeLimit> noWrites;
};

const QString writeFailed =
    QStringLiteral("Não foi possível gravar o arquivo pswd.tab:\nO arquivo ultrapassa o tamanho "
                   "máximo permitido.\n\nO arquivo anterior foi preservado e nada foi alterado.");

} // namespace

class TestEntryWindows : public QObject
{
    Q_OBJECT

private slots:
    void boxes_data();
    void boxes();
    void changes_data();
    void changes();
    void opensTheAddress_data();
    void opensTheAddress();
};

void TestEntryWindows::boxes_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    // What the window says of the last refusal; the description refuses silently.
    QTest::addColumn<QString>("notice");
    const auto row = [](const char* name, Window window, const char* box, const QString& typed, const QString& kept,
                        const QString& notice) {
        QTest::newRow(name) << window << QByteArray(box) << typed << kept << notice;
    };
    const auto longest = [](int limit) { return QString(limit, QLatin1Char('a')); };
    const auto tooLong = [](const char* subject, int limit) {
        return QStringLiteral("%1 aceita no máximo %2 caracteres.").arg(QString::fromUtf8(subject)).arg(limit);
    };
    const auto refused = [](const char* character) {
        return QStringLiteral("O caractere %1 não é aceito neste campo.").arg(QString::fromUtf8(character));
    };
    const Window newEntry = Window::NewEntry;
    const Window detail = Window::Detail;
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
    row("update: description up to 500", Window::Update, "txtDescricao", longest(501), longest(500), "");
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
    row("update: description refuses the markers", Window::Update, "txtDescricao", QStringLiteral("a¥b§c\nd"),
        QStringLiteral("abc\nd"), "");
}

// Every refused key beeps and says why (the description stays silent); a paste that cannot be taken whole is refused
// whole, but the description takes what fits of a paste too long.
void TestEntryWindows::boxes()
{
    QFETCH(Window, window);
    QFETCH(QByteArray, box);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(QString, notice);
    EntryHost host(window);
    QWidget* edit = host.in(window, box.constData());
    QWidget* label = host.in(window, "lblMensagem");
    retype(edit, typed);
    QCOMPARE(textOf(edit), kept);
    const int refusals = notice.isEmpty() ? 0 : int(typed.size() - kept.size());
    QCOMPARE(host.platform.beeps, refusals);
    QCOMPARE(label->isVisible() ? textOf(label) : QString(), notice);

    // Ctrl+A with the control character a keyboard sends along, then the same text pasted over everything.
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
    paste(edit, typed);
    QCOMPARE(textOf(edit), kept);
    QCOMPARE(host.platform.beeps, notice.isEmpty() ? 0 : refusals + 1);
}

void TestEntryWindows::changes_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("title");
    QTest::addColumn<Meanwhile>("meanwhile");
    // Every line of the file after the change; empty when nothing may change.
    QTest::addColumn<QList<QByteArray>>("lines");
    // The notice of the change, or the refusal.
    QTest::addColumn<QString>("told");
    // The title keeps its leading spaces; the record markers typed into the description never reach the file.
    const auto edited = [](const char* description) {
        return entryRecord("  Pão & Café", "09/03/08", "08.03.15.10.22.41", "João", "é\"¿ ç", "ftp://sítio",
                           description);
    };
    const QByteArray inserted = edited("¥€ 10,00 ½");
    const QByteArray saved = edited("cliente¥€ 10,00 ½");
    const QString stored = QStringLiteral("Entrada inserida com sucesso!");
    const QString stale = SideWindows::staleEntryMessage();
    const QString title = QStringLiteral("  Pão & Café");
    const QList<QByteArray> none;
    QTest::newRow("insert: added at the end of the file")
        << Action::Insert << title << Meanwhile::Nothing << QList{banco, correio, loja, inserted} << stored;
    QTest::newRow("insert after another program added an entry: both kept, the user told")
        << Action::Insert << title << Meanwhile::AnotherProgramAddsAnEntry
        << QList{banco, correio, loja, other, inserted} << stored;
    QTest::newRow("insert with an empty title: refused")
        << Action::Insert << "" << Meanwhile::Nothing << none << blankTitle;
    QTest::newRow("insert with a title of spaces: refused")
        << Action::Insert << "   " << Meanwhile::Nothing << none << blankTitle;
    QTest::newRow("insert, write failed: refused")
        << Action::Insert << title << Meanwhile::TheDiskRefusesToWrite << none << writeFailed;
    QTest::newRow("save: the edits in the place of the old entry")
        << Action::Save << title << Meanwhile::Nothing << QList<QByteArray>{banco, correio, saved, ""} << stored;
    QTest::newRow("delete: an empty line in the place of the entry")
        << Action::Delete << title << Meanwhile::Nothing << QList<QByteArray>{banco, correio, "", ""}
        << QStringLiteral("Entrada excluída com sucesso!");
    QTest::newRow("save after another program added an entry: both kept, the user told")
        << Action::Save << title << Meanwhile::AnotherProgramAddsAnEntry
        << QList<QByteArray>{banco, correio, saved, other, ""} << stored;
    QTest::newRow("save with an empty title: refused")
        << Action::Save << "" << Meanwhile::Nothing << none << blankTitle;
    QTest::newRow("delete with a title of spaces: refused")
        << Action::Delete << "   " << Meanwhile::Nothing << none << blankTitle;
    QTest::newRow("save after the entry moved in the list: refused")
        << Action::Save << title << Meanwhile::AnEntrySortingFirstIsAdded << none << stale;
    QTest::newRow("delete after the entry moved in the list: refused")
        << Action::Delete << title << Meanwhile::AnEntrySortingFirstIsAdded << none << stale;
    QTest::newRow("save from a detail window reopened empty: refused")
        << Action::Save << title << Meanwhile::TheDetailWindowIsClosedAndReopened << none << stale;
    QTest::newRow("save, write failed: refused")
        << Action::Save << title << Meanwhile::TheDiskRefusesToWrite << none << writeFailed;
}

// The new-entry window, or the detail window's four boxes with the update window's description and expiry date,
// make the entry. A stored change closes the windows; a refused one leaves them open with everything typed.
void TestEntryWindows::changes()
{
    QFETCH(Action, action);
    QFETCH(QString, title);
    QFETCH(Meanwhile, meanwhile);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QString, told);
    const Window boxes = action == Action::Insert ? Window::NewEntry : Window::Detail;
    const Window dates = action == Action::Insert ? Window::NewEntry : Window::Update;
    EntryHost host(dates);
    host.letMeanwhile(meanwhile);
    const QByteArray before = host.file();
    const QStringList typed{title, "João", "é\"¿ ç", "ftp://sítio"};
    const char* const names[] = {"txtTitulo", "txtLogin", "txtSenha", "txtUrl"};
    for (int i = 0; i < typed.size(); ++i) {
        retype(host.in(boxes, names[i]), typed[i]);
    }
    host.pickDay(dates, 9);
    QWidget* description = host.in(dates, "txtDescricao");
    QTest::keyClick(description, Qt::Key_End, Qt::ControlModifier);
    typeText(description, QStringLiteral("\n€ 10,00§ ½¥"));
    click(host.in(dates, action == Action::Delete ? "btnDel" : "btnOk"));

    if (lines.isEmpty()) {
        QCOMPARE(host.file(), before);
        QVERIFY(host.window(boxes)->isVisible() && host.window(dates)->isVisible());
        for (int i = 0; i < typed.size(); ++i) {
            QCOMPARE(textOf(host.in(boxes, names[i])), typed[i]);
        }
        QVERIFY(textOf(description).endsWith(QStringLiteral("\n€ 10,00 ½")));
        QCOMPARE(textOf(host.in(dates, action == Action::Insert ? "lblData" : "txtVencimento")),
                 QStringLiteral("09/03/08"));
        host.checkRefusalTold(dates, told);
        return;
    }
    QCOMPARE(host.fileLines(), lines);
    host.checkStoredTold(told, meanwhile);
    if (action == Action::Insert) {
        QVERIFY(!host.newEntry->isVisible() && host.newEntry->result() == QDialog::Accepted);
    } else {
        QVERIFY(!host.sides.isShown() && !host.sides.detailWindow() && !host.sides.updateWindow());
    }
}

void TestEntryWindows::opensTheAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opened");
    // <data> and <home> stand for the file URLs of the data folder, which holds notas.txt, and of the home folder.
    QTest::newRow("web address as written") << "https://banco.example/a b?x=ç"
                                            << "https://banco.example/a%20b?x=%C3%A7";
    QTest::newRow("mailto as written") << "mailto:ana@corvelo.example"
                                       << "mailto:ana@corvelo.example";
    QTest::newRow("a scheme, though named like a file") << "ftp://notas.txt"
                                                        << "ftp://notas.txt";
    QTest::newRow("file beside the vault, spaces round it") << "  notas.txt\t"
                                                            << "<data>/notas.txt";
    QTest::newRow("missing file: a site") << "nao-existe.txt"
                                          << "http://nao-existe.txt";
    QTest::newRow("site with a port") << "localhost:8080/x"
                                      << "http://localhost:8080/x";
    QTest::newRow("home folder") << "~"
                                 << "<home>";
    QTest::newRow("under the home folder, even missing") << "~/Documentos/y.pdf"
                                                         << "<home>/Documentos/y.pdf";
    QTest::newRow("absolute path, even missing") << "/nao/existe.txt"
                                                 << "file:///nao/existe.txt";
    QTest::newRow("blank: nothing, a beep") << "   "
                                            << "";
}

void TestEntryWindows::opensTheAddress()
{
    QFETCH(QString, address);
    QFETCH(QString, opened);
    EntryHost host(Window::Detail);
    host.folder.write(QStringLiteral("notas.txt"), {});
    retype(host.in(Window::Detail, "txtUrl"), address);
    click(host.in(Window::Detail, "btnUrl"));
    opened.replace(QStringLiteral("<data>"), QUrl::fromLocalFile(host.folder.path()).toString())
        .replace(QStringLiteral("<home>"), QUrl::fromLocalFile(QDir::homePath()).toString());
    QCOMPARE(host.platform.openedAddresses, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
    QCOMPARE(host.platform.beeps, opened.isEmpty() ? 1 : 0);
}

QTEST_MAIN(TestEntryWindows)
#include "tst_entrywindows.moc"
