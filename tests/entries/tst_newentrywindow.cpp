#include "vaultfixture.h"

#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "entries/newentrywindow.h"
#include "platform/picturebutton.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTimer>

namespace {

const QDateTime savedAt(QDate(2008, 3, 15), QTime(10, 22, 41));

// The real window over a vault, with the clock fixed at 15 March 2008, 10:22:41.
struct NewEntryHost : VaultFixture
{
    NewEntryHost()
    {
        window.setClock([] { return savedAt; });
        window.show();
    }

    template <typename T = QWidget>
    T* child(const char* name) const
    {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* box(const char* name) const { return child<QLineEdit>(name); }
    QPlainTextEdit* description() const { return child<QPlainTextEdit>("txtDescricao"); }
    QString date() const { return child<QLabel>("lblData")->text(); }
    MonthCalendar* calendar() const { return window.findChild<MonthCalendar*>(); }
    void click(const char* name) const { QTest::mouseClick(child(name), Qt::LeftButton); }
    void pickDay(int day) const
    {
        click("btnCalendario");
        QTest::mouseClick(calendar()->cell(calendar()->grid().cellOfDay(day)), Qt::LeftButton);
    }
    void typeDescription(const QStringList& lines) const
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                QTest::keyClick(description(), Qt::Key_Return);
            }
            typeText(description(), lines[i]);
        }
    }

    NewEntryWindow window{vault, platform};
};

void paste(QWidget* box, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

} // namespace

class TestNewEntryWindow : public QObject
{
    Q_OBJECT

private slots:
    void storesTheEntryTyped_data();
    void storesTheEntryTyped();
    void newEntryGoesLastInTheFile();
    void sixteenthEntry();
    void blankTitleKeepsEverythingTyped_data();
    void blankTitleKeepsEverythingTyped();
    void failedWriteKeepsTheWindowAndTheFile_data();
    void failedWriteKeepsTheWindowAndTheFile();
    void closingStoresNothing();
    void expiryLabelClearsTheDate();
    void startsEmpty();
    void boxesFilterTypedText_data();
    void boxesFilterTypedText();
    void boxesFilterPastedText_data();
    void boxesFilterPastedText();
    void descriptionHoldsFiveHundredCharacters_data();
    void descriptionHoldsFiveHundredCharacters();
};

void TestNewEntryWindow::storesTheEntryTyped_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("descriptionLines");
    QTest::addColumn<int>("pickedDay");
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("no date picked") << "Banco"
                                    << "joao"
                                    << "s3nha"
                                    << "https://banco.example" << QStringList{"conta"} << 0
                                    << entryRecord("Banco", "----/----/----", "08.03.15.10.22.41", "joao", "s3nha",
                                                   "https://banco.example", "conta");
    QTest::newRow("title with leading and trailing spaces")
        << "  Banco  "
        << ""
        << ""
        << "" << QStringList{} << 0 << entryRecord("  Banco  ", "----/----/----", "08.03.15.10.22.41", "", "", "", "");
    QTest::newRow("description of several lines")
        << "Correio"
        << "maria"
        << "x"
        << "" << QStringList{"linha um", "linha dois", "", "fim"} << 0
        << entryRecord("Correio", "----/----/----", "08.03.15.10.22.41", "maria", "x", "", "linha um¥linha dois¥¥fim");
    QTest::newRow("picked date") << "Loja"
                                 << ""
                                 << ""
                                 << "" << QStringList{} << 5
                                 << entryRecord("Loja", "05/03/08", "08.03.15.10.22.41", "", "", "", "");
    QTest::newRow("accented letters and symbols")
        << "Pão & Café"
        << "João Ção"
        << "é\"¿ ç"
        << "ftp://sítio" << QStringList{"€ 10,00 ½"} << 31
        << entryRecord("Pão & Café", "31/03/08", "08.03.15.10.22.41", "João Ção", "é\"¿ ç", "ftp://sítio", "€ 10,00 ½");
}

void TestNewEntryWindow::storesTheEntryTyped()
{
    QFETCH(QString, title);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(QString, address);
    QFETCH(QStringList, descriptionLines);
    QFETCH(int, pickedDay);
    QFETCH(QByteArray, record);

    NewEntryHost host;
    QSignalSpy notices(&host.window, &NewEntryWindow::noticeRequested);
    typeText(host.box("txtTitulo"), title);
    typeText(host.box("txtLogin"), login);
    typeText(host.box("txtSenha"), password);
    typeText(host.box("txtUrl"), address);
    host.typeDescription(descriptionLines);
    if (pickedDay > 0) {
        host.pickDay(pickedDay);
        QVERIFY(!host.calendar()->isShownInWindow());
    }
    host.click("btnOk");

    // An empty vault: the body is the new line alone, without a line break after it.
    const QList<QByteArray> lines = host.bodyLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY(isEncodedLineOf(lines[0], record));
    QCOMPARE(host.recordOfLine(lines[0]), record);
    QCOMPARE(host.vault.entries().size(), 1);
    QCOMPARE(host.vault.entries().at(0), record);

    QCOMPARE(host.window.result(), int(QDialog::Accepted));
    QVERIFY(!host.window.isVisible());
    QCOMPARE(host.platform.beeps, 1);
    QVERIFY(host.platform.messages.isEmpty());
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().first().toString(), QStringLiteral("Entrada inserida com sucesso!"));
}

void TestNewEntryWindow::newEntryGoesLastInTheFile()
{
    NewEntryHost host;
    const QByteArray zulu = entryRecord("Zulu", "----/----/----", "01.01.01.01.01.01", "", "", "", "");
    const QByteArray alfa = entryRecord("Alfa", "----/----/----", "01.01.01.01.01.01", "", "", "", "");
    host.addRecords({zulu, alfa});
    typeText(host.box("txtTitulo"), QStringLiteral("Mike"));
    host.click("btnOk");

    // Existing entries keep their sorted order, each line ended; the new one comes last, unended.
    const QByteArray mike = entryRecord("Mike", "----/----/----", "08.03.15.10.22.41", "", "", "", "");
    const QList<QByteArray> lines = host.bodyLines();
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].endsWith('\r') && lines[1].endsWith('\r'));
    QCOMPARE(host.recordOfLine(lines[0]), alfa);
    QCOMPARE(host.recordOfLine(lines[1]), zulu);
    QCOMPARE(host.recordOfLine(lines[2]), mike);
    // Read back and sorted by title.
    QCOMPARE(host.vault.entries().at(1), mike);
}

void TestNewEntryWindow::sixteenthEntry()
{
    NewEntryHost host;
    QList<QByteArray> fifteen;
    for (int i = 0; i < 15; ++i) {
        fifteen.append(entryRecord(qPrintable(QStringLiteral("Entrada %1").arg(i, 2, 10, QLatin1Char('0'))),
                                   "----/----/----", "01.01.01.01.01.01", "", "", "", ""));
    }
    host.addRecords(fifteen);
    QCOMPARE(host.vault.entries().size(), 15);
    typeText(host.box("txtTitulo"), QStringLiteral("Entrada 16"));
    host.click("btnOk");
    QCOMPARE(host.vault.entries().size(), 16);
    QCOMPARE(host.records().size(), 16);
    QCOMPARE(host.recordOfLine(host.bodyLines().last()),
             entryRecord("Entrada 16", "----/----/----", "08.03.15.10.22.41", "", "", "", ""));
}

void TestNewEntryWindow::blankTitleKeepsEverythingTyped_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("empty") << "";
    QTest::newRow("one space") << " ";
    QTest::newRow("only spaces") << "      ";
}

void TestNewEntryWindow::blankTitleKeepsEverythingTyped()
{
    QFETCH(QString, title);
    NewEntryHost host;
    const QByteArray before = host.file();
    QSignalSpy notices(&host.window, &NewEntryWindow::noticeRequested);
    typeText(host.box("txtTitulo"), title);
    typeText(host.box("txtLogin"), QStringLiteral("login"));
    typeText(host.box("txtSenha"), QStringLiteral("senha"));
    typeText(host.box("txtUrl"), QStringLiteral("url"));
    host.typeDescription({QStringLiteral("a"), QStringLiteral("b")});
    host.pickDay(9);
    host.click("btnOk");

    QCOMPARE(host.file(), before);
    QVERIFY(host.vault.entries().isEmpty());
    QVERIFY(host.window.isVisible());
    QCOMPARE(host.box("txtTitulo")->text(), title);
    QCOMPARE(host.box("txtLogin")->text(), QStringLiteral("login"));
    QCOMPARE(host.box("txtSenha")->text(), QStringLiteral("senha"));
    QCOMPARE(host.box("txtUrl")->text(), QStringLiteral("url"));
    QCOMPARE(host.description()->toPlainText(), QStringLiteral("a\nb"));
    QCOMPARE(host.date(), QStringLiteral("09/03/08"));
    QCOMPARE(host.platform.beeps, 1);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().first().toString(), QStringLiteral("O título não pode ficar vazio!"));

    // The window's own message stands for two seconds.
    auto* message = host.child<QLabel>("lblMensagem");
    QVERIFY(message->isVisible());
    QCOMPARE(message->text(), QStringLiteral("O título não pode ficar vazio!"));
    auto* timer = host.window.findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 2000);
    timer->setInterval(0);
    timer->start();
    QTRY_VERIFY(!message->isVisible());

    // Once a title is typed, the same entry is stored.
    typeText(host.box("txtTitulo"), QStringLiteral("X"));
    host.click("btnOk");
    QCOMPARE(host.vault.entries().size(), 1);
    QCOMPARE(host.vault.entries().at(0), EntryRecord::join({title.toLatin1() + "X", "09/03/08", "08.03.15.10.22.41",
                                                            "login", "senha", "url", "a\r\nb"}));
}

void TestNewEntryWindow::failedWriteKeepsTheWindowAndTheFile_data()
{
    QTest::addColumn<bool>("pathIsADirectory");
    QTest::newRow("vault path taken by a folder") << true;
    QTest::newRow("disk full while writing") << false;
}

void TestNewEntryWindow::failedWriteKeepsTheWindowAndTheFile()
{
    QFETCH(bool, pathIsADirectory);
    NewEntryHost host;
    const QByteArray kept = entryRecord("Guardada", "----/----/----", "01.01.01.01.01.01", "", "", "", "");
    host.addRecords({kept});
    const QByteArray before = host.file();
    if (pathIsADirectory) {
        host.makeVaultPathADirectory();
    } else {
        VaultFixture::failEveryWrite();
    }
    QSignalSpy notices(&host.window, &NewEntryWindow::noticeRequested);
    typeText(host.box("txtTitulo"), QStringLiteral("Nova"));
    typeText(host.box("txtSenha"), QStringLiteral("segredo"));
    host.click("btnOk");

    QCOMPARE(host.platform.messages.size(), 1);
    QCOMPARE(host.platform.messages.first().icon, Platform::MessageIcon::Critical);
    QVERIFY(host.platform.messages.first().text.contains(QStringLiteral("pswd.tab")));
    QVERIFY(notices.isEmpty());
    QVERIFY(host.window.isVisible());
    QCOMPARE(host.box("txtTitulo")->text(), QStringLiteral("Nova"));
    QCOMPARE(host.box("txtSenha")->text(), QStringLiteral("segredo"));
    QCOMPARE(host.vault.entries().size(), 1);
    QCOMPARE(host.vault.entries().at(0), kept);
    if (!pathIsADirectory) {
        QCOMPARE(host.file(), before);
        // Once the disk has room again, the same click stores the entry.
        AtomicFile::setChunkCheckForTesting({});
        host.click("btnOk");
        QCOMPARE(host.vault.entries().size(), 2);
    }
}

void TestNewEntryWindow::closingStoresNothing()
{
    NewEntryHost host;
    const QByteArray before = host.file();
    typeText(host.box("txtTitulo"), QStringLiteral("Rascunho"));
    host.pickDay(20);
    QCOMPARE(host.date(), QStringLiteral("20/03/08"));
    host.click("btnFechar");
    QCOMPARE(host.window.result(), int(QDialog::Rejected));
    QVERIFY(!host.window.isVisible());
    QCOMPARE(host.file(), before);
    QCOMPARE(host.platform.beeps, 0);
}

void TestNewEntryWindow::expiryLabelClearsTheDate()
{
    NewEntryHost host;
    host.pickDay(5);
    QCOMPARE(host.date(), QStringLiteral("05/03/08"));
    host.click("btnCalendario");
    QVERIFY(host.calendar()->isShownInWindow());
    QCOMPARE(host.calendar()->y(), 91);
    // Showing the calendar again does not change the date.
    QCOMPARE(host.date(), QStringLiteral("05/03/08"));
    host.click("lblVencimento");
    QCOMPARE(host.date(), QStringLiteral("----/----/----"));
    QVERIFY(!host.calendar()->isShownInWindow());
    QCOMPARE(host.calendar()->y(), 300);
    // A blank cell clears a date picked before.
    host.pickDay(5);
    host.click("btnCalendario");
    QTest::mouseClick(host.calendar()->cell(41), Qt::LeftButton);
    QCOMPARE(host.date(), QStringLiteral("----/----/----"));
}

void TestNewEntryWindow::startsEmpty()
{
    NewEntryHost host;
    QCOMPARE(host.window.objectName(), QStringLiteral("frm1_Escrever"));
    QVERIFY(host.window.isModal());
    QCOMPARE(host.window.size(), QSize(228, 264));
    for (const char* name : {"txtTitulo", "txtLogin", "txtSenha", "txtUrl"}) {
        QVERIFY(host.box(name)->text().isEmpty());
    }
    QCOMPARE(host.date(), QStringLiteral("----/----/----"));
    QVERIFY(!host.calendar()->isShownInWindow());
    QCOMPARE(host.calendar()->grid().month(), 3);
    QCOMPARE(host.calendar()->grid().year(), 2008);
    QCOMPARE(host.child("btnOk")->toolTip(), QStringLiteral(" Inserir "));
    QCOMPARE(host.child("btnCalendario")->toolTip(), QStringLiteral(" Calendário "));
    QCOMPARE(host.child("btnFechar")->toolTip(), QStringLiteral(" Fechar "));
    QCOMPARE(host.child("lblVencimento")->toolTip(), QStringLiteral(" ----/----/---- "));
}

void TestNewEntryWindow::boxesFilterTypedText_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("password takes 20 characters, not 21")
        << QByteArray("txtSenha") << QString(21, QLatin1Char('a')) << QString(20, QLatin1Char('a'));
    QTest::newRow("login takes 45 characters")
        << QByteArray("txtLogin") << QString(46, QLatin1Char('b')) << QString(45, QLatin1Char('b'));
    QTest::newRow("title takes 45 characters")
        << QByteArray("txtTitulo") << QString(46, QLatin1Char('c')) << QString(45, QLatin1Char('c'));
    QTest::newRow("address takes 255 characters")
        << QByteArray("txtUrl") << QString(256, QLatin1Char('d')) << QString(255, QLatin1Char('d'));
    QTest::newRow("login drops tilde, grave, caret, degree, ordinals") << QByteArray("txtLogin") << "a~b`c^d°eªfºg"
                                                                       << "abcdefg";
    QTest::newRow("password keeps accents, space, quote, inverted question mark") << QByteArray("txtSenha") << "é Ç¿\"ñ"
                                                                                  << "é Ç¿\"ñ";
    QTest::newRow("password drops the record marks") << QByteArray("txtSenha") << "a§b¥c"
                                                     << "abc";
    QTest::newRow("title keeps what the login refuses") << QByteArray("txtTitulo") << "a~b`c^ªº°€"
                                                        << "a~b`c^ªº°€";
    QTest::newRow("title drops the record marks") << QByteArray("txtTitulo") << "a§b¥c"
                                                  << "abc";
    QTest::newRow("title drops what Windows-1252 cannot hold") << QByteArray("txtTitulo") << "aΩbčc"
                                                               << "abc";
    QTest::newRow("address drops the record marks") << QByteArray("txtUrl") << "a§b¥c"
                                                    << "abc";
}

void TestNewEntryWindow::boxesFilterTypedText()
{
    QFETCH(QByteArray, box);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    NewEntryHost host;
    QLineEdit* edit = host.box(box.constData());
    typeText(edit, typed);
    QCOMPARE(edit->text(), kept);
    // Backspace always deletes.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), kept.chopped(1));
}

void TestNewEntryWindow::boxesFilterPastedText_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::newRow("login takes allowed characters") << QByteArray("txtLogin") << "nome@site.com"
                                                    << "xnome@site.com";
    QTest::newRow("login refuses a paste with a tilde") << QByteArray("txtLogin") << "nome~x"
                                                        << "x";
    QTest::newRow("password refuses a line break") << QByteArray("txtSenha") << "ab\ncd"
                                                   << "x";
    QTest::newRow("password paste cut at 20")
        << QByteArray("txtSenha") << QString(25, QLatin1Char('z')) << "x" + QString(19, QLatin1Char('z'));
    QTest::newRow("title refuses the separator") << QByteArray("txtTitulo") << "a§b"
                                                 << "x";
    QTest::newRow("title refuses the line-break mark") << QByteArray("txtTitulo") << "a¥b"
                                                       << "x";
    QTest::newRow("title refuses a line break") << QByteArray("txtTitulo") << "a\r\nb"
                                                << "x";
    QTest::newRow("title refuses what Windows-1252 cannot hold") << QByteArray("txtTitulo") << "日本"
                                                                 << "x";
    QTest::newRow("address takes any storable text") << QByteArray("txtUrl") << "https://a.b/~c?d=ª"
                                                     << "xhttps://a.b/~c?d=ª";
    QTest::newRow("description refuses the line-break mark") << QByteArray("txtDescricao") << "um¥dois"
                                                             << "x";
    QTest::newRow("description refuses the separator") << QByteArray("txtDescricao") << "um§dois"
                                                       << "x";
    QTest::newRow("description refuses what Windows-1252 cannot hold") << QByteArray("txtDescricao") << "Ωmega"
                                                                       << "x";
    QTest::newRow("description takes lines") << QByteArray("txtDescricao") << "um\r\ndois\nfim"
                                             << "xum\ndois\nfim";
}

void TestNewEntryWindow::boxesFilterPastedText()
{
    QFETCH(QByteArray, box);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    NewEntryHost host;
    QWidget* edit = host.child(box.constData());
    typeText(edit, QStringLiteral("x"));
    paste(edit, pasted);
    const QString text = box == "txtDescricao" ? host.description()->toPlainText() : host.box(box.constData())->text();
    QCOMPARE(text, kept);
}

void TestNewEntryWindow::descriptionHoldsFiveHundredCharacters_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("length");
    QTest::newRow("499 plus two typed") << 499 << "ab" << 500;
    QTest::newRow("full: a typed letter is dropped") << 500 << "a" << 500;
    QTest::newRow("full: Enter is dropped") << 500 << "\r" << 500;
    QTest::newRow("refused character typed") << 10 << "§¥Ω" << 10;
}

void TestNewEntryWindow::descriptionHoldsFiveHundredCharacters()
{
    QFETCH(int, present);
    QFETCH(QString, typed);
    QFETCH(int, length);
    NewEntryHost host;
    host.description()->setPlainText(QString(present, QLatin1Char('d')));
    host.description()->moveCursor(QTextCursor::End);
    for (QChar c : typed) {
        if (c == QLatin1Char('\r')) {
            QTest::keyClick(host.description(), Qt::Key_Return);
        } else {
            typeText(host.description(), QString(c));
        }
    }
    QCOMPARE(host.description()->toPlainText().size(), length);
    // A paste is cut to the room left.
    QTest::keyClick(host.description(), Qt::Key_Backspace);
    paste(host.description(), QStringLiteral("0123456789"));
    QCOMPARE(host.description()->toPlainText().size(), std::min(length - 1 + 10, 500));
}

QTEST_MAIN(TestNewEntryWindow)
#include "tst_newentrywindow.moc"
