#include "support/input.h"
#include "support/vaultfixture.h"

#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "entries/newentrywindow.h"

#include <QSignalSpy>
#include <QTimer>

namespace {

const char* const boxNames[] = {"txtTitulo", "txtLogin", "txtSenha", "txtUrl", "txtDescricao"};
const QByteArray stored = entryRecord("Guardada", "----/----/----", "01.01.01.01.01.01");

// The real window over a vault holding one entry, with the clock fixed at 15 March 2008, 10:22:41.
struct NewEntryHost : VaultFixture
{
    NewEntryHost()
    {
        addRecords({stored});
        window.setClock([] { return QDateTime(QDate(2008, 3, 15), QTime(10, 22, 41)); });
        window.show();
    }
    QWidget* child(const char* name) const { return ::child(&window, name); }
    // Types the title, login, password, address and description, picks the day of March 2008 (0: none) and inserts.
    void insert(const QStringList& boxes, int day) const
    {
        for (int i = 0; i < boxes.size(); ++i) {
            typeText(child(boxNames[i]), boxes[i]);
        }
        if (day > 0) {
            click(child("btnCalendario"));
            auto* calendar = window.findChild<MonthCalendar*>();
            QTest::mouseClick(calendar->cell(calendar->grid().cellOfDay(day)), Qt::LeftButton);
        }
        click(child("btnOk"));
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
    void refusedEntryKeepsEverythingTyped_data();
    void refusedEntryKeepsEverythingTyped();
};

void TestNewEntryWindow::storesTheEntryTyped_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("changedOutside");
    QTest::addColumn<QByteArray>("record");
    // The record markers typed into the description never reach the file.
    QTest::newRow("leading spaces, several lines, picked date")
        << QStringList{"  Banco", "joao", "s3nha", "https://banco.example", "linha§ um\n\nfim¥"} << 5 << false
        << entryRecord("  Banco", "05/03/08", "08.03.15.10.22.41", "joao", "s3nha", "https://banco.example",
                       "linha um¥¥fim");
    QTest::newRow("no date, accents and symbols")
        << QStringList{"Pão & Café", "João", "é\"¿ ç", "ftp://sítio", "€ 10,00 ½"} << 0 << false
        << entryRecord("Pão & Café", "----/----/----", "08.03.15.10.22.41", "João", "é\"¿ ç", "ftp://sítio",
                       "€ 10,00 ½");
    QTest::newRow("another program added an entry meanwhile: both kept, the user told")
        << QStringList{"Nova"} << 0 << true << entryRecord("Nova", "----/----/----", "08.03.15.10.22.41");
}

void TestNewEntryWindow::storesTheEntryTyped()
{
    QFETCH(QStringList, boxes);
    QFETCH(int, day);
    QFETCH(bool, changedOutside);
    QFETCH(QByteArray, record);
    NewEntryHost host;
    QList<QByteArray> lines{stored};
    if (changedOutside) {
        Vault outside(host.folder.path());
        // Written in the sorted order, before the added entry.
        lines.prepend(entryRecord("Fora", "----/----/----", "01.01.01.01.01.01"));
        QVERIFY(outside.open().ok() && outside.addEntry(lines.first()).ok());
    }
    host.insert(boxes, day);

    QCOMPARE(host.fileLines(), lines << record);
    QVERIFY(host.entries().contains(record));
    QCOMPARE(host.window.result(), int(QDialog::Accepted));
    QVERIFY(!host.window.isVisible());
    QCOMPARE(host.platform.beeps, 1);
    QCOMPARE(host.platform.messages.size(), changedOutside ? 1 : 0);
    if (changedOutside) {
        QCOMPARE(host.platform.messages[0].icon, Platform::MessageIcon::Exclamation);
        QVERIFY(host.platform.messages[0].text.startsWith(
            QStringLiteral("O arquivo pswd.tab foi alterado fora do programa depois que o programa o leu.")));
    }
    QCOMPARE(host.notices.first().first().toString(), QStringLiteral("Entrada inserida com sucesso!"));
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
    const QByteArray before = host.file();
    std::optional<FileSizeLimit> noWrites;
    if (writeFails) {
        noWrites.emplace(0);
    }
    const QStringList boxes{title, "login", "senha", "url", "a\nb"};
    host.insert(boxes, 9);

    QCOMPARE(host.file(), before);
    QCOMPARE(host.entries(), QList<QByteArray>{stored});
    QVERIFY(host.window.isVisible());
    for (int i = 0; i < boxes.size(); ++i) {
        QCOMPARE(textOf(host.child(boxNames[i])), boxes[i]);
    }
    QCOMPARE(textOf(host.child("lblData")), QStringLiteral("09/03/08"));
    QWidget* notice = host.child("lblMensagem");
    QCOMPARE(host.platform.beeps, writeFails ? 0 : 1);
    if (writeFails) {
        QCOMPARE(host.platform.messages.size(), 1);
        QCOMPARE(host.platform.messages.first().text,
                 QStringLiteral("Não foi possível gravar o arquivo pswd.tab:\nO arquivo ultrapassa o tamanho máximo "
                                "permitido.\n\nO arquivo anterior foi preservado e nada foi alterado."));
        QVERIFY(host.notices.isEmpty() && !notice->isVisible());
        return;
    }
    QCOMPARE(host.notices.first().first().toString(), QStringLiteral("O título não pode ficar vazio!"));
    QVERIFY(notice->isVisible());
    QCOMPARE(textOf(notice), QStringLiteral("O título não pode ficar vazio!"));
    // The notice stands until its timer runs out.
    auto* timer = notice->findChild<QTimer*>();
    QVERIFY(timer->isActive());
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
    QVERIFY(!notice->isVisible());
}

QTEST_MAIN(TestNewEntryWindow)
#include "tst_newentrywindow.moc"
