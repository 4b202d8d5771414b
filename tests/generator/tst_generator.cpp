#include "support/input.h"
#include "support/programwindows.h"

#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "storage/entryrecord.h"
#include "storage/windows1252.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>

class TestGenerator : public QObject
{
    Q_OBJECT

private slots:
    void contextActionFillsTheBox_data()
    {
        QTest::addColumn<bool>("detailWindow");
        QTest::newRow("new-entry window") << false;
        QTest::newRow("detail window") << true;
    }

    // Twenty characters of the ASCII letters, digits and symbols the box takes, of every kind, every one of them
    // drawn in a thousand; undoable, and stored as shown. How the draws are made is the generator's own table.
    void contextActionFillsTheBox()
    {
        QFETCH(bool, detailWindow);
        ProgramWindows windows(1);
        QWidget* shown = windows.window(detailWindow ? "frm2_Esquerda" : "frm1_Escrever");
        typeText(child(shown, "txtTitulo"), QStringLiteral("Nova"));
        auto* box = child<QLineEdit>(shown, "txtSenha");
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, box->rect().center(), box->mapToGlobal(QPoint()));
        QCoreApplication::sendEvent(box, &rightClick);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu && menu->actions().size() > 2);
        QAction* generate = menu->actions().last();
        QCOMPARE(generate->text(), QStringLiteral("Gerar senha"));

        const QString symbols = QStringLiteral(".,:;<>=(){}[]'\"-+/\\@&*!?|%#$_");
        QString unseen = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789") + symbols;
        const QRegularExpression everyKind(
            QStringLiteral("^(?=.*[a-z])(?=.*[A-Z])(?=.*[0-9])(?=.*[%1])[A-Za-z0-9%1]{20}$")
                .arg(QRegularExpression::escape(symbols)));
        for (int draw = 0; draw < 1000; ++draw) {
            generate->trigger();
            const QString password = box->text();
            QVERIFY2(everyKind.match(password).hasMatch(), qPrintable(password));
            for (const QChar c : password) {
                unseen.remove(c);
            }
        }
        menu->close();
        QCOMPARE(unseen, QString());

        const QString password = box->text();
        box->undo();
        QVERIFY(box->text() != password);
        box->redo();
        click(child(detailWindow ? static_cast<QWidget*>(windows.main()->sideWindows()->updateWindow()) : shown,
                    "btnOk"));
        Vault saved(windows.folder.path());
        QVERIFY(saved.open().ok() && saved.entries().size() == (detailWindow ? 1 : 2)); // "Nova" after "Conta 00"
        QCOMPARE(
            Windows1252::toUnicode(EntryRecord::field(saved.entries().at(detailWindow ? 0 : 1), EntryRecord::Password)),
            password);
    }
};

QTEST_MAIN(TestGenerator)
#include "tst_generator.moc"
