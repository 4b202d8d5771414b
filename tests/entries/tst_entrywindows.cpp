#include "support/input.h"
#include "support/recordingplatform.h"
#include "support/vaultfixture.h"

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
    Update
};
enum class Meanwhile
{
    Nothing,
    TitleOfSpaces,
    AnotherProgramAddsAnEntry,
    AnEntrySortingFirstIsAdded,
    DetailWindowReopened,
    ExpiryClearedByItsLabel,
    CalendarClosedByEscape,
    DiskFails
};

const QByteArray banco =
    entryRecord("Banco", "15/12/26", "26.12.01.09.08.07", "joao", "s3nha", "https://banco.example", "conta¥agência");
const QByteArray correio = entryRecord("Correio", "----/----/----", "07.01.31.23.59.59", "maria", "x", "mail.example");
const QByteArray loja = entryRecord("Loja", "01/01/30", "20.02.29.00.00.00", "ana", "pw", "", "cliente");
const QByteArray other = entryRecord("Outra", "----/----/----", "01.01.01.01.01.01");
const QString blankTitle = QStringLiteral("O título não pode ficar vazio!");

// The new-entry window, or the side windows showing Loja beside a main window at 3000, 1995 twips, 4500 by 5400.
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
    }
    QWidget* window(Window which)
    {
        return QList<QWidget*>{newEntry ? &*newEntry : nullptr, sides.detailWindow(), sides.updateWindow()}[int(which)];
    }
    QWidget* in(Window which, const char* name) { return child(window(which), name); }
    void letMeanwhile(Meanwhile meanwhile)
    {
        if (meanwhile == Meanwhile::AnotherProgramAddsAnEntry) {
            Vault outside(folder.path());
            QVERIFY(outside.open().ok() && outside.addEntry(other).ok());
        } else if (meanwhile == Meanwhile::AnEntrySortingFirstIsAdded) {
            addRecords({entryRecord("Aaa", "----/----/----", "01.01.01.01.01.01")});
        } else if (meanwhile == Meanwhile::DetailWindowReopened) {
            click(in(Window::Detail, "btnFechar"));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            sides.setShown(true);
            QCOMPARE(sides.detailWindow()->geometry(), Twips::rect(300, 2845, 2670, 3420));
        } else if (meanwhile == Meanwhile::ExpiryClearedByItsLabel) {
            click(in(Window::NewEntry, "lblVencimento"));
        } else if (meanwhile == Meanwhile::CalendarClosedByEscape) {
            click(in(Window::NewEntry, "btnCalendario"));
            QTest::keyClick(in(Window::NewEntry, "txtTitulo"), Qt::Key_Escape);
            QVERIFY(newEntry->isVisible());
        } else if (meanwhile == Meanwhile::DiskFails) {
            noWrites.emplace(0);
        }
    }

    RecordingPlatform platform;
    std::optional<NewEntryWindow> newEntry;
    SideWindows sides{vault, platform};
    QStringList notices;
    std::optional<FileSizeLimit> noWrites;
};

} // namespace

class TestEntryWindows : public QObject
{
    Q_OBJECT

private slots:
    void shownTexts_data();
    void shownTexts();
    void boxes_data();
    void boxes();
    void changes_data();
    void changes();
    void closingAsksBeforeLosingWhatIsTyped_data();
    void closingAsksBeforeLosingWhatIsTyped();
    void calendarMarksTheDateHeld();
    void tabNeverReachesWhatTheCalendarCovers_data();
    void tabNeverReachesWhatTheCalendarCovers();
    void opensTheAddress_data();
    void opensTheAddress();
};

void TestEntryWindows::shownTexts_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QStringList>("texts"); // of every control of the name, in the window's order
    using enum Window;
    QTest::newRow("new entry: title limit")
        << NewEntry << QByteArray("Label1") << QStringList{"(Máximo 45 caracteres)"};
    QTest::newRow("new entry: login, address and description limits")
        << NewEntry << QByteArray("Label7") << QStringList{"(Máx 45 chars)", "(Máx 255 chars)", "(Máx 500 chars)"};
    QTest::newRow("new entry: password limit") << NewEntry << QByteArray("Label8") << QStringList{"(Máx 20 chars)"};
    QTest::newRow("new entry: calendar title, full month")
        << NewEntry << QByteArray("TitMesAno2") << QStringList{"Março  2008"};
    QTest::newRow("update: description limit") << Update << QByteArray("Label7") << QStringList{"(Máx 500 chars)"};
    // Loja was saved on 29 February 2020: day first, so no month could take the place of the day.
    QTest::newRow("update: saved on, day first") << Update << QByteArray("txtPostado") << QStringList{"29/02/20"};
    QTest::newRow("update: expires on") << Update << QByteArray("txtVencimento") << QStringList{"01/01/30"};
    QTest::newRow("update: calendar title, short month")
        << Update << QByteArray("TitMesAno2") << QStringList{"Mar  2008"};
}

void TestEntryWindows::shownTexts()
{
    QFETCH(Window, window);
    QFETCH(QByteArray, name);
    EntryHost host(window);
    QStringList shown;
    for (QWidget* control : host.window(window)->findChildren<QWidget*>(QString::fromLatin1(name))) {
        shown.append(textOf(control));
    }
    QTEST(shown, "texts");
}

void TestEntryWindows::boxes_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("notice"); // of the last refusal; the description refuses silently
    const auto limit = [](const QByteArray& name, Window window, const char* box, const char* subject, int limit) {
        const QString notice = QStringLiteral("%1 aceita no máximo %2 caracteres.").arg(QString::fromUtf8(subject));
        QTest::newRow(name) << window << QByteArray(box) << QString(limit + 1, QLatin1Char('a'))
                            << QString(limit, QLatin1Char('a')) << (*subject ? notice.arg(limit) : QString());
    };
    using enum Window;
    for (const auto& [window, place] : {std::pair{NewEntry, "new entry"}, {Detail, "detail"}}) {
        limit(place + QByteArray(": title up to 45"), window, "txtTitulo", "O título", 45);
        limit(place + QByteArray(": login up to 45"), window, "txtLogin", "O login", 45);
        limit(place + QByteArray(": password up to 20"), window, "txtSenha", "A senha", 20);
        limit(place + QByteArray(": address up to 255"), window, "txtUrl", "A URL", 255);
    }
    limit("new entry: description up to 500", NewEntry, "txtDescricao", "", 500);
    limit("update: description up to 500", Update, "txtDescricao", "", 500);
    // "§" and "¥" mark a record's fields and line breaks: stored, they would split it on the next read.
    QTest::newRow("new entry: description refuses the markers")
        << NewEntry << QByteArray("txtDescricao") << QString("um§\ndois¥ €") << QString("um\ndois €") << QString();
}

// Every refused key beeps and says why, but in the description; a paste is refused whole, but what fits of a long one.
void TestEntryWindows::boxes()
{
    QFETCH(Window, window);
    QFETCH(QByteArray, box);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(QString, notice);
    EntryHost host(window);
    QWidget* edit = host.in(window, box.constData());
    retype(edit, typed);
    QCOMPARE(textOf(edit), kept);
    const int refusals = notice.isEmpty() ? 0 : int(typed.size() - kept.size());
    QCOMPARE(host.platform.beeps, refusals);
    QWidget* label = host.in(window, "lblMensagem");
    QCOMPARE(label->isVisible() ? textOf(label) : QString(), notice);
    // Ctrl+A with the control character a keyboard sends along, then the same text pasted over everything.
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
    paste(edit, typed);
    QCOMPARE(textOf(edit), kept);
    QCOMPARE(host.platform.beeps, notice.isEmpty() ? 0 : refusals + 1);
}

void TestEntryWindows::changes_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<Meanwhile>("meanwhile");
    QTest::addColumn<QList<QByteArray>>("lines"); // of the file after the change; none when refused
    QTest::addColumn<QString>("told");
    const auto row = [](const char* name, Window window, const char* button, Meanwhile meanwhile,
                        const QList<QByteArray>& lines, const QString& told) {
        QTest::newRow(name) << window << QByteArray(button) << meanwhile << lines << told;
    };
    // The title keeps its leading spaces; the record markers typed into the description never reach the file.
    const auto edited = [](const char* expiry) {
        return entryRecord("  Pão & Café", expiry, "08.03.15.10.22.41", "João", "é\"¿ ç", "ftp://sítio", "¥€ 10,00 ½");
    };
    const QByteArray saved = edited("09/03/08");
    const QString stored = QStringLiteral("Entrada inserida com sucesso!");
    const QString updated = QStringLiteral("Entrada atualizada com sucesso!");
    const QString stale = SideWindows::staleEntryMessage();
    const QString failed =
        QStringLiteral("Não foi possível gravar o arquivo pswd.tab:\nO arquivo ultrapassa o tamanho "
                       "máximo permitido.\n\nO arquivo anterior foi preservado e nada foi alterado.");
    using enum Window;
    using enum Meanwhile;
    row("insert: added at the end of the file", NewEntry, "btnOk", Nothing, {banco, correio, loja, saved}, stored);
    row("insert after another program added an entry: both kept, the user told", NewEntry, "btnOk",
        AnotherProgramAddsAnEntry, {banco, correio, loja, other, saved}, stored);
    row("insert after the date was cleared by its label", NewEntry, "btnOk", ExpiryClearedByItsLabel,
        {banco, correio, loja, edited("----/----/----")}, stored);
    row("insert after Escape closed the calendar alone", NewEntry, "btnOk", CalendarClosedByEscape,
        {banco, correio, loja, saved}, stored);
    row("insert with a title of spaces: refused", NewEntry, "btnOk", TitleOfSpaces, {}, blankTitle);
    row("insert, write failed: refused", NewEntry, "btnOk", DiskFails, {}, failed);
    row("save: the edits in the place of the old entry", Update, "btnOk", Nothing, {banco, correio, saved, ""},
        updated);
    row("delete: an empty line in the place of the entry", Update, "btnDel", Nothing, {banco, correio, "", ""},
        QStringLiteral("Entrada excluída com sucesso!"));
    row("save after another program added an entry: both kept, the user told", Update, "btnOk",
        AnotherProgramAddsAnEntry, {banco, correio, saved, other, ""}, updated);
    row("save with a title of spaces: refused", Update, "btnOk", TitleOfSpaces, {}, blankTitle);
    row("save after the entry moved in the list: refused", Update, "btnOk", AnEntrySortingFirstIsAdded, {}, stale);
    row("delete after the entry moved in the list: refused", Update, "btnDel", AnEntrySortingFirstIsAdded, {}, stale);
    row("save from a detail window reopened empty: refused", Update, "btnOk", DetailWindowReopened, {}, stale);
    row("save, write failed: refused", Update, "btnOk", DiskFails, {}, failed);
}

// A stored change closes the windows; a refused one leaves them open with everything typed.
void TestEntryWindows::changes()
{
    QFETCH(Window, window);
    QFETCH(QByteArray, button);
    QFETCH(Meanwhile, meanwhile);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QString, told);
    const bool insert = window == Window::NewEntry;
    const Window boxes = insert ? Window::NewEntry : Window::Detail;
    EntryHost host(window);
    click(host.in(window, "btnCalendario"));
    click(host.in(window, insert ? "Casa2_14" : "Casa_14")); // 9 March 2008
    host.letMeanwhile(meanwhile);
    const QByteArray before = host.file();
    const QList<std::pair<QWidget*, QString>> typed = {
        {host.in(boxes, "txtTitulo"), meanwhile == Meanwhile::TitleOfSpaces ? "   " : "  Pão & Café"},
        {host.in(boxes, "txtLogin"), "João"},
        {host.in(boxes, "txtSenha"), "é\"¿ ç"},
        {host.in(boxes, "txtUrl"), "ftp://sítio"},
        {host.in(window, "txtDescricao"), "\n€ 10,00 ½"}};
    for (const auto& [box, text] : typed) {
        retype(box, box->inherits("QPlainTextEdit") ? text + "§¥" : text);
    }
    click(host.in(window, button.constData()));

    const bool refused = lines.isEmpty();
    const bool blank = told == blankTitle; // refused with a notice in the window, not a message box
    const bool changedOutside = meanwhile == Meanwhile::AnotherProgramAddsAnEntry;
    QCOMPARE(host.platform.beeps, refused && !blank ? 0 : 1);
    QCOMPARE(host.notices, refused && !blank ? QStringList() : QStringList{told});
    QCOMPARE(host.platform.messages.size(), (refused && !blank) || changedOutside ? 1 : 0);
    if (!refused) {
        QCOMPARE(host.fileLines(), lines);
        QVERIFY(!changedOutside || host.platform.messages[0].text.contains("alterado fora do programa"));
        QVERIFY(insert ? !host.newEntry->isVisible() && host.newEntry->result() == QDialog::Accepted
                       : !host.sides.isShown() && !host.sides.detailWindow());
        return;
    }
    QCOMPARE(host.file(), before);
    QVERIFY(host.window(boxes)->isVisible() && host.window(window)->isVisible());
    for (const auto& [box, text] : typed) {
        QCOMPARE(textOf(box), text);
    }
    QCOMPARE(textOf(host.in(window, insert ? "lblData" : "txtVencimento")), "09/03/08");
    QWidget* notice = host.in(window, "lblMensagem");
    QCOMPARE(blank ? textOf(notice) : host.platform.messages.first().text, told);
    using enum Platform::MessageIcon;
    QVERIFY(blank || host.platform.messages[0].icon == (meanwhile == Meanwhile::DiskFails ? Critical : Exclamation));
    QCOMPARE(notice->isVisible(), blank);
    auto* timer = notice->findChild<QTimer*>();
    QCOMPARE(timer->isActive(), blank);
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
    QVERIFY(!notice->isVisible());
}

void TestEntryWindows::closingAsksBeforeLosingWhatIsTyped_data()
{
    QTest::addColumn<QByteArray>("box");      // typed into, or the calendar day picked; none for nothing
    QTest::addColumn<QByteArray>("closedBy"); // Escape in the box, or the button clicked
    QTest::addColumn<bool>("discard");        // the answer to the question
    QTest::addColumn<bool>("asked");
    QTest::newRow("nothing typed: Escape closes at once") << QByteArray() << QByteArray("Esc") << false << false;
    QTest::newRow("a title typed, kept") << QByteArray("txtTitulo") << QByteArray("Esc") << false << true;
    QTest::newRow("a title typed, discarded") << QByteArray("txtTitulo") << QByteArray("Esc") << true << true;
    QTest::newRow("a password typed, kept") << QByteArray("txtSenha") << QByteArray("Esc") << false << true;
    QTest::newRow("a description typed, kept") << QByteArray("txtDescricao") << QByteArray("Esc") << false << true;
    QTest::newRow("only a date picked, kept") << QByteArray("Casa2_14") << QByteArray("Esc") << false << true;
    QTest::newRow("the close button, kept") << QByteArray("txtUrl") << QByteArray("btnFechar") << false << true;
    QTest::newRow("the close button, nothing typed") << QByteArray() << QByteArray("btnFechar") << false << false;
}

void TestEntryWindows::closingAsksBeforeLosingWhatIsTyped()
{
    QFETCH(QByteArray, box);
    QFETCH(QByteArray, closedBy);
    QFETCH(bool, discard);
    QFETCH(bool, asked);
    EntryHost host(Window::NewEntry);
    host.platform.answer = discard;
    QWidget* typedInto =
        box.isEmpty() ? host.in(Window::NewEntry, "txtTitulo") : host.in(Window::NewEntry, box.constData());
    if (box.startsWith("Casa")) {
        click(host.in(Window::NewEntry, "btnCalendario"));
        click(typedInto);
        typedInto = host.in(Window::NewEntry, "txtTitulo");
    } else if (!box.isEmpty()) {
        typeText(typedInto, QStringLiteral("x"));
    }
    closedBy == "Esc" ? QTest::keyClick(typedInto, Qt::Key_Escape)
                      : click(host.in(Window::NewEntry, closedBy.constData()));

    QCOMPARE(host.platform.questions, asked ? QStringList{NewEntryWindow::discardQuestion()} : QStringList());
    const bool closed = !asked || discard;
    QCOMPARE(host.newEntry->isVisible(), !closed);
    if (!closed && !box.startsWith("Casa")) {
        QCOMPARE(textOf(typedInto), QStringLiteral("x"));
    }
}

// The calendar marks the date the window holds: the entry's stored one, then the day picked, then none.
void TestEntryWindows::calendarMarksTheDateHeld()
{
    EntryHost host(Window::Update);
    auto* calendar = child<MonthCalendar>(host.window(Window::Update), "frameCalendario");
    QCOMPARE(calendar->chosenDate(), QDate(2030, 1, 1));
    click(host.in(Window::Update, "btnCalendario"));
    click(host.in(Window::Update, "Casa_14"));
    QCOMPARE(calendar->chosenDate(), QDate(2008, 3, 9));
    click(host.in(Window::Update, "btnCalendario"));
    QTest::keyClick(calendar->focusWidget(), Qt::Key_Delete);
    QCOMPARE(calendar->chosenDate(), QDate());
    QCOMPARE(textOf(host.in(Window::Update, "txtVencimento")), "----/----/----");
}

void TestEntryWindows::tabNeverReachesWhatTheCalendarCovers_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QByteArray>("start"); // the control Tab starts from, once the calendar is open
    QTest::newRow("new entry, from the title box") << Window::NewEntry << QByteArray("txtTitulo");
    QTest::newRow("new entry, from the close button") << Window::NewEntry << QByteArray("btnFechar");
    QTest::newRow("update, from the calendar button") << Window::Update << QByteArray("btnCalendario");
    QTest::newRow("update, from the close button") << Window::Update << QByteArray("btnFechar");
}

// Wherever the focus was when the calendar opened, Tab and Shift+Tab never land on a box under it.
void TestEntryWindows::tabNeverReachesWhatTheCalendarCovers()
{
    QFETCH(Window, window);
    QFETCH(QByteArray, start);
    EntryHost host(window);
    QWidget* shown = host.window(window);
    QApplication::setActiveWindow(shown);
    click(host.in(window, "btnCalendario"));
    const QWidget* calendar = host.in(window, "frameCalendario");
    host.in(window, start.constData())->setFocus();
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        for (int step = 0; step < 12; ++step) {
            QTest::keyClick(QApplication::focusWidget(), key);
            const QWidget* focus = QApplication::focusWidget();
            const QRect place(focus->mapTo(shown, QPoint()), focus->size());
            QVERIFY2(calendar->isAncestorOf(focus) || !calendar->geometry().intersects(place),
                     qPrintable(focus->objectName()));
        }
    }
    QVERIFY(calendar->isVisible());
}

void TestEntryWindows::opensTheAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opened");
    // <data> and <home> stand for the file URLs of the data folder, which holds notas.txt, and of the home folder.
    const QList<std::array<const char*, 3>> rows = {
        {"web address as written", "https://banco.example/a b?x=ç", "https://banco.example/a%20b?x=%C3%A7"},
        {"a scheme, though named like a file", "ftp://notas.txt", "ftp://notas.txt"},
        {"file beside the vault, spaces round it", "  notas.txt\t", "<data>/notas.txt"},
        {"site with a port", "localhost:8080/x", "http://localhost:8080/x"},
        {"under the home folder, even missing", "~/Documentos/y.pdf", "<home>/Documentos/y.pdf"},
        {"absolute path, even missing", "/nao/existe.txt", "file:///nao/existe.txt"},
        {"blank: nothing, a beep", "   ", ""},
    };
    for (const auto& [name, address, opened] : rows) {
        QTest::newRow(name) << QString::fromUtf8(address) << QString::fromUtf8(opened);
    }
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
