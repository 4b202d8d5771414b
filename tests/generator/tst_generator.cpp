#include "support/input.h"
#include "support/vaultfixture.h"

#include "access/keyfilter.h"
#include "entries/detailwindow.h"
#include "entries/newentrywindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "generator/passwordgenerator.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

#include <set>

namespace {

// The kinds a password holds: l lower case, u upper case, d digit, o other.
QString kindsIn(const QString& text)
{
    std::set<QChar> kinds;
    for (const QChar c : text) {
        kinds.insert(c.isLower() ? 'l' : c.isUpper() ? 'u' : c.isDigit() ? 'd' : 'o');
    }
    QString result;
    for (const QChar kind : kinds) {
        result += kind;
    }
    return result;
}

// Opens the box's context menu as a right click would and returns it.
QMenu* openContextMenu(QLineEdit* box)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, box->rect().center(), box->mapToGlobal(box->rect().center()));
    QCoreApplication::sendEvent(box, &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

} // namespace

class TestGenerator : public QObject
{
    Q_OBJECT

private slots:
    void draws_data();
    void draws();
    void contextActionFillsTheBox_data();
    void contextActionFillsTheBox();
};

void TestGenerator::draws_data()
{
    QTest::addColumn<QString>("characters");
    QTest::addColumn<int>("length");
    // The characters that may be drawn, and the kinds every password holds; no password when both are empty.
    QTest::addColumn<QString>("drawable");
    QTest::addColumn<QString>("kinds");

    const QString entrySet = KeyFilter::allowedCharacters(KeyFilter::CharacterSet::EntryWindow);
    QString entryDrawable = entrySet;
    entryDrawable.remove(QLatin1Char(' ')).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    QTest::newRow("entry windows' set") << entrySet << 20 << entryDrawable << "dlou";
    QTest::newRow("settings set") << KeyFilter::allowedCharacters(KeyFilter::CharacterSet::Settings) << 20
                                  << KeyFilter::allowedCharacters(KeyFilter::CharacterSet::Settings) << "dlou";
    QTest::newRow("one of each kind exactly") << "aB3%" << 4 << "aB3%"
                                              << "dlou";
    QTest::newRow("digits only") << "0123456789" << 20 << "0123456789"
                                 << "d";
    QTest::newRow("two kinds") << "xy 7" << 20 << "xy7"
                               << "dl";
    QTest::newRow("shorter than its kinds") << "aB3%" << 3 << ""
                                            << "";
    QTest::newRow("only spaces and line breaks") << " \r\n"
                                                 << 20 << ""
                                                 << "";
    QTest::newRow("nothing") << "" << 20 << ""
                             << "";
}

void TestGenerator::draws()
{
    QFETCH(QString, characters);
    QFETCH(int, length);
    QFETCH(QString, drawable);
    QFETCH(QString, kinds);

    const PasswordGenerator generator(characters);
    QString seen;
    std::set<QString> firstKinds;
    for (int draw = 0; draw < 3000; ++draw) {
        const QString password = generator.generate(length);
        if (drawable.isEmpty()) {
            QCOMPARE(password, QString());
            return;
        }
        QCOMPARE(password.size(), length);
        QCOMPARE(kindsIn(password), kinds);
        firstKinds.insert(kindsIn(password.left(1)));
        for (const QChar c : password) {
            QVERIFY2(drawable.contains(c), qPrintable(password));
            if (!seen.contains(c)) {
                seen += c;
            }
        }
    }
    // No kind keeps a place of its own: each may come first.
    QCOMPARE(firstKinds.size(), size_t(kinds.size()));
    // Every character can come up, the first and the last of the set as well.
    for (const QChar c : drawable) {
        QVERIFY2(seen.contains(c), qPrintable(QString(c)));
    }
}

void TestGenerator::contextActionFillsTheBox_data()
{
    QTest::addColumn<bool>("detailWindow");
    QTest::newRow("new-entry window") << false;
    QTest::newRow("detail window") << true;
}

void TestGenerator::contextActionFillsTheBox()
{
    QFETCH(bool, detailWindow);
    VaultFixture fixture;
    fixture.addRecords({entryRecord("Banco", "----/----/----", "26.01.02.03.04.05", "joao", "antiga")});
    NewEntryWindow newEntry(fixture.vault, fixture.platform);
    SideWindows sides(fixture.vault, fixture.platform);
    QWidget* window = &newEntry;
    if (detailWindow) {
        sides.showEntry(0);
        sides.setShown(true);
        window = sides.detailWindow();
    } else {
        newEntry.show();
        typeText(child(window, "txtTitulo"), QStringLiteral("Nova"));
        typeText(child(window, "txtSenha"), QStringLiteral("antiga"));
    }
    auto* box = qobject_cast<QLineEdit*>(child(window, "txtSenha"));

    // The box's own actions, then "Gerar senha".
    QMenu* menu = openContextMenu(box);
    QVERIFY(menu && menu->actions().size() > 2);
    QCOMPARE(menu->actions().last()->text(), QStringLiteral("Gerar senha"));
    menu->actions().last()->trigger();
    menu->close();

    const QString password = box->text();
    QCOMPARE(password.size(), 20);
    QCOMPARE(kindsIn(password), QStringLiteral("dlou"));
    // An edit like typing: it marks the box changed and can be undone.
    QVERIFY(box->isModified());
    box->undo();
    QCOMPARE(box->text(), QStringLiteral("antiga"));
    box->redo();

    // What is stored is exactly the password drawn.
    if (detailWindow) {
        click(child(sides.updateWindow(), "btnOk"));
    } else {
        click(child(window, "btnOk"));
    }
    const QByteArray title = detailWindow ? "Banco" : "Nova";
    QStringList stored;
    for (const QByteArray& line : fixture.fileLines()) {
        if (EntryRecord::field(line, EntryRecord::Title) == title) {
            stored.append(Windows1252::toUnicode(EntryRecord::field(line, EntryRecord::Password)));
        }
    }
    QCOMPARE(stored, QStringList{password});
}

QTEST_MAIN(TestGenerator)
#include "tst_generator.moc"
