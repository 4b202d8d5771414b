#include "support/input.h"
#include "support/programwindows.h"

#include "info/authorsite.h"

#include <QPlainTextEdit>
#include <QScrollBar>

class TestInfoWindows : public QObject
{
    Q_OBJECT

private slots:
    // The help opens with its four paragraphs to read, not to edit; the keys scroll it, and the close button closes it.
    void helpShowsItsTextScrollsAndCloses()
    {
        ProgramWindows windows;
        QWidget* help = windows.window(QStringLiteral("frm4_Ajuda"));
        auto* text = child<QPlainTextEdit>(help, "txtAjuda");
        const QString shown = text->toPlainText();
        QCOMPARE(shown.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts).size(), 4);
        typeText(text, QStringLiteral("x\b\n"));
        QCOMPARE(text->toPlainText(), shown);

        QScrollBar* scroll = text->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        QCOMPARE(scroll->value(), 0);
        QTest::keyClick(text, Qt::Key_PageDown);
        QCOMPARE(scroll->value(), scroll->maximum());

        click(child(help, "btnFechar"));
        QVERIFY(!help->isVisible());
    }

    void aboutShows_data()
    {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("heading") << QByteArray("Label6") << "Sobre o Programa";
        QTest::newRow("name, a space before it") << QByteArray("Label4") << " Corvelo KeyHound";
        QTest::newRow("version") << QByteArray("Label1") << "v 1.0";
        QTest::newRow("author caption") << QByteArray("Label2") << "Autor:";
        QTest::newRow("author") << QByteArray("Label3") << "Equipe Corvelo";
        QTest::newRow("free") << QByteArray("lblFree") << "Corvelo KeyHound é totalmente FREE!";
    }

    void aboutShows()
    {
        QFETCH(QByteArray, label);
        ProgramWindows windows;
        QTEST(textOf(child(windows.window(QStringLiteral("frm5_Sobre")), label.constData())), "text");
    }

    // The about text says what the file cipher is: no claim that the passwords are safe from whoever has the files.
    void aboutSaysTheCipherOnlyScrambles()
    {
        ProgramWindows windows;
        const QString text = textOf(child(windows.window(QStringLiteral("frm5_Sobre")), "Label5"));
        QVERIFY2(text.contains(QStringLiteral("não encriptadas")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("impossível")), qPrintable(text));
    }

    void authorLinkOpensTheSite_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("releasedOn");
        QTest::newRow("login window: a click opens the site") << "frm0_Logar" << Qt::LeftButton << true;
        QTest::newRow("about window: a click opens the site") << "frm5_Sobre" << Qt::LeftButton << true;
        QTest::newRow("login window: the right button opens nothing") << "frm0_Logar" << Qt::RightButton << true;
        QTest::newRow("about window: released off the link, nothing opens") << "frm5_Sobre" << Qt::LeftButton << false;
    }

    // The site opens at its full address, of which the link shows the host; the window stays open.
    void authorLinkOpensTheSite()
    {
        QFETCH(QString, window);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, releasedOn);
        ProgramWindows windows;
        QWidget* link = child(windows.window(window), "lblSitedoautor");
        QTest::mousePress(link, button, {}, QPoint(5, 5));
        QTest::mouseRelease(link, button, {}, QPoint(5, releasedOn ? 5 : link->height() + 5));

        const QUrl site(AuthorSite::address());
        QCOMPARE(site.host(), textOf(link));
        const bool opens = button == Qt::LeftButton && releasedOn;
        QCOMPARE(windows.platform.openedAddresses, opens ? QList<QUrl>{site} : QList<QUrl>{});
        QVERIFY(link->window()->isVisible());
    }
};

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"
