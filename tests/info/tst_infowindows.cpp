#include "support/input.h"
#include "support/programwindows.h"

#include "info/authorsite.h"

#include <QPlainTextEdit>
#include <QScrollBar>

class TestInfoWindows : public QObject
{
    Q_OBJECT

private slots:
    void helpShowsItsTextScrollsAndCloses();
    void authorLinkOpensTheSite_data();
    void authorLinkOpensTheSite();
};

// The help opens with its four paragraphs to read, not to edit; the keys scroll it, and the close button closes it.
void TestInfoWindows::helpShowsItsTextScrollsAndCloses()
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

void TestInfoWindows::authorLinkOpensTheSite_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("releasedOutside");
    QTest::addColumn<int>("opened");
    const QString login = QStringLiteral("frm0_Logar"), about = QStringLiteral("frm5_Sobre");
    QTest::newRow("login window: a click opens the site") << login << Qt::LeftButton << false << 1;
    QTest::newRow("about window: a click opens the site") << about << Qt::LeftButton << false << 1;
    QTest::newRow("login window: the right button opens nothing") << login << Qt::RightButton << false << 0;
    QTest::newRow("about window: released off the link, nothing opens") << about << Qt::LeftButton << true << 0;
}

// The site opens at its full address, of which the link shows the host; the window stays open.
void TestInfoWindows::authorLinkOpensTheSite()
{
    QFETCH(QString, window);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, releasedOutside);
    QFETCH(int, opened);
    ProgramWindows windows;
    QWidget* shown = windows.window(window);
    QWidget* link = child(shown, "lblSitedoautor");
    QTest::mousePress(link, button, {}, QPoint(5, 5));
    QTest::mouseRelease(link, button, {}, releasedOutside ? QPoint(5, link->height() + 5) : QPoint(5, 5));

    QCOMPARE(windows.platform.openedAddresses.size(), opened);
    for (const QUrl& address : windows.platform.openedAddresses) {
        QCOMPARE(address, QUrl(AuthorSite::address()));
        QCOMPARE(address.scheme(), QStringLiteral("http"));
        QCOMPARE(address.host(), textOf(link));
    }
    QVERIFY(shown->isVisible());
}

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"
