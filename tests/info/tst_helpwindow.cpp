#include "info/helptext.h"
#include "info/helpwindow.h"
#include "platform/picturebutton.h"
#include "platform/twips.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

class TestHelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void textHasItsLines_data();
    void textHasItsLines();
    void textBreaksLinesWithCrLfOnly();
    void windowShowsTheLines_data();
    void windowShowsTheLines();
    void windowHasItsControls();
    void textCannotBeChanged_data();
    void textCannotBeChanged();
    void closes_data();
    void closes();
};

namespace {

QStringList expectedLines()
{
    return {
        QStringLiteral("As Passwords sempre são classificadas em ordem alfabética."),
        QString(),
        QStringLiteral("Para inserir nova Password, simplesmente clique no ícone do Lôbo e insira os dados. "),
        QString(),
        QStringLiteral("Duplo clique na lista, mostra os dados completos da Password e a habilita para atualização / "
                       "deleção."),
        QString(),
        QStringLiteral("Se deletar seu arquivo original de configuração, vai perder todas as Passwords salvas. "
                       "Portanto, seja cuidadoso!"),
    };
}

void addLineRows()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("line");
    const QStringList lines = expectedLines();
    for (int index = 0; index < lines.size(); ++index) {
        QTest::addRow("line %d", index + 1) << index << lines.at(index);
    }
}

QPlainTextEdit* helpBox(const HelpWindow& window)
{
    return window.findChild<QPlainTextEdit*>(QStringLiteral("txtAjuda"));
}

} // namespace

void TestHelpWindow::textHasItsLines_data()
{
    addLineRows();
}

void TestHelpWindow::textHasItsLines()
{
    QFETCH(int, index);
    QFETCH(QString, line);
    const QStringList lines = HelpText::text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.at(index), line);
}

void TestHelpWindow::textBreaksLinesWithCrLfOnly()
{
    const QString text = HelpText::text();
    QCOMPARE(text.count(QLatin1Char('\r')), 6);
    QCOMPARE(text.count(QLatin1Char('\n')), 6);
    QCOMPARE(text.count(QStringLiteral("\r\n")), 6);
    QVERIFY(text.endsWith(QStringLiteral("seja cuidadoso!")));
    QVERIFY(text.startsWith(QStringLiteral("As Passwords")));
}

void TestHelpWindow::windowShowsTheLines_data()
{
    addLineRows();
}

void TestHelpWindow::windowShowsTheLines()
{
    QFETCH(int, index);
    QFETCH(QString, line);
    HelpWindow window;
    const QTextDocument* document = helpBox(window)->document();
    QCOMPARE(document->blockCount(), 7);
    QCOMPARE(document->findBlockByNumber(index).text(), line);
}

void TestHelpWindow::windowHasItsControls()
{
    HelpWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("frm4_Ajuda"));
    QVERIFY(window.isModal());
    QCOMPARE(window.size(), Twips::size(3420, 3915));
    QCOMPARE(window.size(), QSize(228, 261));

    auto* heading = window.findChild<QLabel*>(QStringLiteral("Label6"));
    QVERIFY(heading);
    QCOMPARE(heading->text(), QStringLiteral("Ajuda"));

    QPlainTextEdit* box = helpBox(window);
    QVERIFY(box);
    QVERIFY(box->isReadOnly());
    QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(window.rect().contains(box->geometry()));

    auto* close = window.findChild<PictureButton*>(QStringLiteral("btnFechar"));
    QVERIFY(close);
    QCOMPARE(close->toolTip(), QStringLiteral(" Fechar "));
    QVERIFY(window.rect().contains(close->geometry()));
}

void TestHelpWindow::textCannotBeChanged_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("return") << QString() << int(Qt::Key_Return);
    QTest::newRow("backspace") << QString() << int(Qt::Key_Backspace);
    QTest::newRow("delete") << QString() << int(Qt::Key_Delete);
}

void TestHelpWindow::textCannotBeChanged()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    HelpWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPlainTextEdit* box = helpBox(window);
    const QString before = box->toPlainText();
    box->moveCursor(QTextCursor::End);
    if (!typed.isEmpty()) {
        QTest::keyClicks(box, typed);
    } else {
        QTest::keyClick(box, Qt::Key(key));
    }
    QCOMPARE(box->toPlainText(), before);
}

void TestHelpWindow::closes_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("close button") << true;
    QTest::newRow("escape key") << false;
}

void TestHelpWindow::closes()
{
    QFETCH(bool, byButton);
    HelpWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (byButton) {
        QTest::mouseClick(window.findChild<PictureButton*>(QStringLiteral("btnFechar")), Qt::LeftButton);
    } else {
        QTest::keyClick(&window, Qt::Key_Escape);
    }
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
