#include "support/input.h"
#include "support/vaultfixture.h"

#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "entries/newentrywindow.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTimer>

namespace {

const char* const boxNames[] = {"txtTitulo", "txtLogin", "txtSenha", "txtUrl"};

// The real window over a vault, with the clock fixed at 15 March 2008, 10:22:41.
struct NewEntryHost : VaultFixture
{
    NewEntryHost()
    {
        window.setClock([] { return QDateTime(QDate(2008, 3, 15), QTime(10, 22, 41)); });
        window.show();
    }

    QWidget* child(const char* name) const { return ::child(&window, name); }
    void pickDay(int day) const
    {
        click(child("btnCalendario"));
        auto* calendar = window.findChild<MonthCalendar*>();
        QTest::mouseClick(calendar->cell(calendar->grid().cellOfDay(day)), Qt::LeftButton);
        QVERIFY(!calendar->isShownInWindow());
    }
    // Types into the four boxes and the description.
    void typeEntry(const QStringList& boxes, const QString& description) const
    {
        for (int i = 0; i < 4; ++i) {
            typeText(child(boxNames[i]), boxes.value(i));
        }
        typeText(child("txtDescricao"), description);
    }

    NewEntryWindow window{vault, platform};
    QSignalSpy notices{&window, &NewEntryWindow::noticeRequested};
};

} // namespace

class TestNewEntryWindow : public QObject
{
    Q_OBJECT

private slots:
    void storesTheEntryTyped_data();
    void storesTheEntryTyped();
    void sixteenthEntry();
    void refusedEntryKeepsEverythingTyped_data();
    void refusedEntryKeepsEverythingTyped();
    void addedAfterOutsideChange();
    void boxesFilterTypedAndPastedText_data();
    void boxesFilterTypedAndPastedText();
};

void TestNewEntryWindow::storesTheEntryTyped_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("pickedDay");
    QTest::addColumn<QByteArray>("record");
    QTest::newRow("leading spaces, several lines, picked date")
        << QStringList{"  Banco", "joao", "s3nha", "https://banco.example"} << "linha um\n\nfim" << 5
        << entryRecord("  Banco", "05/03/08", "08.03.15.10.22.41", "joao", "s3nha", "https://banco.example",
                       "linha um¥¥fim");
    QTest::newRow("no date, accents and symbols")
        << QStringList{"Pão & Café", "João", "é\"¿ ç", "ftp://sítio"} << "€ 10,00 ½" << 0
        << entryRecord("Pão & Café", "----/----/----", "08.03.15.10.22.41", "João", "é\"¿ ç", "ftp://sítio",
                       "€ 10,00 ½");
}

void TestNewEntryWindow::storesTheEntryTyped()
{
    QFETCH(QStringList, boxes);
    QFETCH(QString, description);
    QFETCH(int, pickedDay);
    QFETCH(QByteArray, record);
    NewEntryHost host;
    host.typeEntry(boxes, description);
    if (pickedDay > 0) {
        host.pickDay(pickedDay);
    }
    click(host.child("btnOk"));

    // An empty vault: the body is the new line alone, without a line break after it.
    QCOMPARE(host.fileLines(), QList<QByteArray>{record});
    QCOMPARE(host.entries(), QList<QByteArray>{record});
    QCOMPARE(host.window.result(), int(QDialog::Accepted));
    QVERIFY(!host.window.isVisible());
    QCOMPARE(host.platform.beeps, 1);
    QVERIFY(host.platform.messages.isEmpty());
    QCOMPARE(host.notices.first().first().toString(), QStringLiteral("Entrada inserida com sucesso!"));
}

void TestNewEntryWindow::sixteenthEntry()
{
    NewEntryHost host;
    // Added in reverse, stored sorted: Entrada 02, 04, ... 30.
    QList<QByteArray> sorted;
    for (int i = 15; i >= 1; --i) {
        sorted.prepend(entryRecord(qPrintable(QStringLiteral("Entrada %1").arg(2 * i, 2, 10, QLatin1Char('0'))),
                                   "----/----/----", "01.01.01.01.01.01"));
        host.addRecords({sorted.first()});
    }
    host.typeEntry({QStringLiteral("Entrada 17")}, {});
    click(host.child("btnOk"));

    // The stored entries keep their order, each line ended; the new one comes last, unended.
    const QByteArray added = entryRecord("Entrada 17", "----/----/----", "08.03.15.10.22.41");
    QCOMPARE(host.fileLines(), sorted + QList<QByteArray>{added});
    // Read back, it takes its place by its title.
    QCOMPARE(host.entries().indexOf(added), 8);
}

void TestNewEntryWindow::refusedEntryKeepsEverythingTyped_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("writeFails");
    QTest::newRow("empty title") << "" << false;
    QTest::newRow("title of spaces") << "      " << false;
    QTest::newRow("write failed") << "Nova" << true;
}

void TestNewEntryWindow::refusedEntryKeepsEverythingTyped()
{
    QFETCH(QString, title);
    QFETCH(bool, writeFails);
    NewEntryHost host;
    const QByteArray kept = entryRecord("Guardada", "----/----/----", "01.01.01.01.01.01");
    host.addRecords({kept});
    const QByteArray before = host.file();
    std::optional<FileSizeLimit> noWrites;
    if (writeFails) {
        noWrites.emplace(0);
    }
    const QStringList boxes{title, "login", "senha", "url"};
    host.typeEntry(boxes, QStringLiteral("a\nb"));
    host.pickDay(9);
    click(host.child("btnOk"));

    QCOMPARE(host.file(), before);
    QCOMPARE(host.entries(), QList<QByteArray>{kept});
    QVERIFY(host.window.isVisible());
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(textOf(host.child(boxNames[i])), boxes[i]);
    }
    QCOMPARE(textOf(host.child("txtDescricao")), QStringLiteral("a\nb"));
    QCOMPARE(textOf(host.child("lblData")), QStringLiteral("09/03/08"));
    if (writeFails) {
        QCOMPARE(host.platform.messages.size(), 1);
        QCOMPARE(host.platform.messages.first().text,
                 QStringLiteral("Não foi possível gravar o arquivo pswd.tab:\nO arquivo ultrapassa o tamanho máximo "
                                "permitido.\n\nO arquivo anterior foi preservado e nada foi alterado."));
        QVERIFY(host.notices.isEmpty());
        QCOMPARE(host.platform.beeps, 0);
        return;
    }
    QCOMPARE(host.platform.beeps, 1);
    QCOMPARE(host.notices.first().first().toString(), QStringLiteral("O título não pode ficar vazio!"));
    // The window's own message stands for two seconds.
    QWidget* message = host.child("lblMensagem");
    QVERIFY(message->isVisible());
    QCOMPARE(textOf(message), QStringLiteral("O título não pode ficar vazio!"));
    QCOMPARE(host.window.findChild<QTimer*>(QStringLiteral("Timer1"))->interval(), 2000);
}

// Another program added an entry to pswd.tab while the window was open: both entries are kept, and the user is told.
void TestNewEntryWindow::addedAfterOutsideChange()
{
    NewEntryHost host;
    const QByteArray outsideRecord = entryRecord("Fora", "----/----/----", "01.01.01.01.01.01");
    Vault outside(host.folder.path());
    QVERIFY(outside.open().ok() && outside.addEntry(outsideRecord).ok());
    host.typeEntry({QStringLiteral("Nova")}, {});
    click(host.child("btnOk"));

    const QList<QByteArray> both{outsideRecord, entryRecord("Nova", "----/----/----", "08.03.15.10.22.41")};
    QCOMPARE(host.entries(), both);
    QCOMPARE(host.fileLines(), both);
    QCOMPARE(host.platform.messages.size(), 1);
    QCOMPARE(host.platform.messages[0].icon, Platform::MessageIcon::Exclamation);
    QVERIFY(host.platform.messages[0].text.startsWith(
        QStringLiteral("O arquivo pswd.tab foi alterado fora do programa depois que o programa o leu.")));
    QCOMPARE(host.notices.first().first().toString(), QStringLiteral("Entrada inserida com sucesso!"));
    QVERIFY(!host.window.isVisible());
}

void TestNewEntryWindow::boxesFilterTypedAndPastedText_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<int>("beeps");
    // A paste goes after an "x" typed first.
    const QString z21(21, QLatin1Char('z'));
    const QString z20(20, QLatin1Char('z'));
    const QString tilde = QStringLiteral("O caractere ~ não é aceito neste campo.");
    QTest::newRow("password: 20th typed, 21st refused")
        << QByteArray("txtSenha") << z21 << false << z20 << "A senha aceita no máximo 20 caracteres." << 1;
    QTest::newRow("password: paste of 24 refused whole")
        << QByteArray("txtSenha") << "Xk9mQ2vL7pR4sT8wZ3nB6yH1" << true << "x"
        << "A senha aceita no máximo 20 caracteres." << 1;
    QTest::newRow("password: paste of 19 after x taken")
        << QByteArray("txtSenha") << "Xk9mQ2vL7pR4sT8wZ3n" << true << "xXk9mQ2vL7pR4sT8wZ3n"
        << "" << 0;
    QTest::newRow("password: typed refused ones beep")
        << QByteArray("txtSenha") << "S3nha~Forte^`!" << false << "S3nhaForte!"
        << "O caractere ` não é aceito neste campo." << 3;
    QTest::newRow("login: paste with a tilde") << QByteArray("txtLogin") << "nome~x" << true << "x" << tilde << 1;
    QTest::newRow("login: 46 pasted") << QByteArray("txtLogin") << QString(45, QLatin1Char('l')) << true << "x"
                                      << "O login aceita no máximo 45 caracteres." << 1;
    QTest::newRow("title: what the login refuses") << QByteArray("txtTitulo") << "a~b`c^ªº°€" << false << "a~b`c^ªº°€"
                                                   << "" << 0;
    QTest::newRow("title: paste with the separator") << QByteArray("txtTitulo") << "a§b" << true << "x"
                                                     << "O caractere § não é aceito neste campo." << 1;
    QTest::newRow("title: 46 pasted") << QByteArray("txtTitulo") << QString(45, QLatin1Char('t')) << true << "x"
                                      << "O título aceita no máximo 45 caracteres." << 1;
    QTest::newRow("address: 256 pasted") << QByteArray("txtUrl") << QString(255, QLatin1Char('u')) << true << "x"
                                         << "A URL aceita no máximo 255 caracteres." << 1;
    QTest::newRow("address: 255 taken") << QByteArray("txtUrl") << QString(254, QLatin1Char('u')) << true
                                        << "x" + QString(254, QLatin1Char('u')) << "" << 0;
    QTest::newRow("description: paste with the line mark") << QByteArray("txtDescricao") << "um¥dois" << true << "x"
                                                           << "" << 0;
    QTest::newRow("description: paste cut at 500") << QByteArray("txtDescricao") << QString(600, QLatin1Char('d'))
                                                   << true << "x" + QString(499, QLatin1Char('d')) << "" << 0;
}

// Nothing typed or pasted is silently changed: a refused edit leaves the box as it was, beeps and says why in the
// window.
void TestNewEntryWindow::boxesFilterTypedAndPastedText()
{
    QFETCH(QByteArray, box);
    QFETCH(QString, text);
    QFETCH(bool, pasted);
    QFETCH(QString, kept);
    QFETCH(QString, notice);
    QFETCH(int, beeps);
    NewEntryHost host;
    QWidget* edit = host.child(box.constData());
    if (pasted) {
        QTest::keyClicks(edit, QStringLiteral("x"));
        QApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else {
        typeText(edit, text);
    }
    QCOMPARE(textOf(edit), kept);
    QCOMPARE(host.platform.beeps, beeps);
    QWidget* message = host.child("lblMensagem");
    QCOMPARE(message->isVisible(), !notice.isEmpty());
    if (!notice.isEmpty()) {
        QCOMPARE(textOf(message), notice);
    }
    // Backspace always deletes.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(textOf(edit), kept.chopped(1));
}

QTEST_MAIN(TestNewEntryWindow)
#include "tst_newentrywindow.moc"
