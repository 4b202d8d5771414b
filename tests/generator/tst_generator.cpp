#include "support/input.h"
#include "support/vaultfixture.h"

#include "access/keyfilter.h"
#include "entries/detailwindow.h"
#include "entries/newentrywindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>

#include <set>

namespace {

// The kind of a character: lower case, upper case, digit or other.
QChar kindOf(QChar c)
{
    return c.isLower() ? 'l' : c.isUpper() ? 'u' : c.isDigit() ? 'd' : 'o';
}

} // namespace

class TestGenerator : public QObject
{
    Q_OBJECT

private slots:
    void contextActionFillsTheBox_data();
    void contextActionFillsTheBox();
};

void TestGenerator::contextActionFillsTheBox_data()
{
    QTest::addColumn<bool>("detailWindow");
    QTest::newRow("new-entry window") << false;
    QTest::newRow("detail window") << true;
}

// "Gerar senha", after the box's own actions, puts twenty characters the box takes over its text, with every kind of
// the set, each kind first now and then, every character of the set but the space coming up; the edit can be undone,
// and the entry stores exactly the password shown.
void TestGenerator::contextActionFillsTheBox()
{
    QFETCH(bool, detailWindow);
    VaultFixture fixture;
    fixture.addRecords({entryRecord("Banco", "----/----/----", "26.01.02.03.04.05", "joao", "antiga")});
    NewEntryWindow newEntry(fixture.vault, fixture.platform);
    SideWindows sides(fixture.vault, fixture.platform);
    sides.showEntry(0);
    sides.setShown(detailWindow);
    newEntry.setVisible(!detailWindow);
    QWidget* shown = detailWindow ? static_cast<QWidget*>(sides.detailWindow()) : &newEntry;
    typeText(child(shown, "txtTitulo"), QStringLiteral("Nova"));
    auto* box = child<QLineEdit>(shown, "txtSenha");
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, box->rect().center(),
                                 box->mapToGlobal(box->rect().center()));
    QCoreApplication::sendEvent(box, &rightClick);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu && menu->actions().size() > 2);
    QAction* generate = menu->actions().last();
    QCOMPARE(generate->text(), QStringLiteral("Gerar senha"));

    QString unseen = KeyFilter::allowedCharacters(KeyFilter::CharacterSet::EntryWindow);
    unseen.remove(QRegularExpression(QStringLiteral("\\s")));
    std::set<QChar> firstKinds;
    for (int draw = 0; draw < 300; ++draw) {
        generate->trigger();
        const QString password = box->text();
        QCOMPARE(password.size(), 20);
        QVERIFY2(!password.contains(QLatin1Char(' ')), qPrintable(password));
        std::set<QChar> kinds;
        for (const QChar c : password) {
            kinds.insert(kindOf(c));
            unseen.remove(c);
        }
        QCOMPARE(kinds.size(), size_t(4));
        firstKinds.insert(kindOf(password[0]));
    }
    menu->close();
    QCOMPARE(firstKinds.size(), size_t(4));
    QCOMPARE(unseen, QString());

    const QString password = box->text();
    box->undo();
    QVERIFY(box->text() != password);
    box->redo();
    click(child(detailWindow ? static_cast<QWidget*>(sides.updateWindow()) : &newEntry, "btnOk"));
    QStringList stored;
    for (const QByteArray& line : fixture.fileLines()) {
        stored.append(Windows1252::toUnicode(EntryRecord::field(line, EntryRecord::Password)));
    }
    QCOMPARE(stored.contains(QStringLiteral("antiga")), !detailWindow);
    QVERIFY2(stored.contains(password), qPrintable(stored.join(' ')));
}

QTEST_MAIN(TestGenerator)
#include "tst_generator.moc"
