#include "info/aboutwindow.h"
#include "info/authorsite.h"
#include "info/helptext.h"
#include "info/helpwindow.h"
#include "platform/recordingplatform.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

class TestInfoWindows : public QObject
{
    Q_OBJECT

private slots:
    void helpShowsItsLines_data();
    void helpShowsItsLines();
    void authorLinkOpensTheSite_data();
    void authorLinkOpensTheSite();
};

void TestInfoWindows::helpShowsItsLines_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("line");
    const QStringList lines = {
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
    for (int index = 0; index < lines.size(); ++index) {
        QTest::addRow("line %d", index + 1) << index << lines.at(index);
    }
}

void TestInfoWindows::helpShowsItsLines()
{
    QFETCH(int, index);
    QFETCH(QString, line);
    const QStringList lines = HelpText::text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.at(index), line);

    HelpWindow window;
    auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("txtAjuda"));
    QTest::keyClicks(box, QStringLiteral("x\b\r"));
    QCOMPARE(box->document()->blockCount(), 7);
    QCOMPARE(box->document()->findBlockByNumber(index).text(), line);
    window.show();
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("btnFechar")), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void TestInfoWindows::authorLinkOpensTheSite_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QPoint>("releasedAt");
    QTest::addColumn<int>("opened");
    QTest::newRow("one click") << int(Qt::LeftButton) << 1 << QPoint(5, 5) << 1;
    QTest::newRow("two clicks open it twice") << int(Qt::LeftButton) << 2 << QPoint(5, 5) << 2;
    QTest::newRow("right button opens nothing") << int(Qt::RightButton) << 1 << QPoint(5, 5) << 0;
    QTest::newRow("released outside opens nothing") << int(Qt::LeftButton) << 1 << QPoint(5, 50) << 0;
}

void TestInfoWindows::authorLinkOpensTheSite()
{
    QFETCH(int, button);
    QFETCH(int, clicks);
    QFETCH(QPoint, releasedAt);
    QFETCH(int, opened);
    RecordingPlatform platform;
    AboutWindow window(platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* link = window.findChild<QLabel*>(QStringLiteral("lblSitedoautor"));
    QCOMPARE(link->toolTip(), QLatin1Char(' ') + AuthorSite::hostName() + QLatin1Char(' '));
    for (int click = 0; click < clicks; ++click) {
        QTest::mousePress(link, Qt::MouseButton(button), {}, QPoint(5, 5));
        QTest::mouseRelease(link, Qt::MouseButton(button), {}, releasedAt);
    }
    QCOMPARE(platform.openedAddresses, QList<QUrl>(opened, QUrl(AuthorSite::address())));
    QVERIFY(window.isVisible());
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("btnFechar")), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"
