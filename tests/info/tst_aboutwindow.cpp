#include "info/aboutwindow.h"
#include "info/authorsite.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/recordingplatform.h"
#include "platform/twips.h"

#include <QLabel>
#include <QTest>
#include <QUrl>

namespace {

const QString securityNote = QStringLiteral(
    "Todas as passwords processadas pelo programa são encriptadas através de um algoritmo com chave única, tornando a "
    "desencriptação quase impossível. Mas, lembre-se: nenhum sistema é 100% seguro!");

} // namespace

class TestAboutWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void labelsHaveTheirTexts_data();
    void labelsHaveTheirTexts();
    void descriptionPresentsTheProgramThenTheSecurityNote();
    void windowHasItsFrame();
    void pictureIsFiftyPixelsSquare();
    void authorLinkNamesTheSite();
    void authorLinkOpensTheSite_data();
    void authorLinkOpensTheSite();
    void closeButtonCloses();
    void keepsItsLookUnderTheOpenersStyleSheet_data();
    void keepsItsLookUnderTheOpenersStyleSheet();

private:
    RecordingPlatform m_platform;
};

void TestAboutWindow::init()
{
    m_platform.openedAddresses.clear();
    m_platform.messages.clear();
}

void TestAboutWindow::labelsHaveTheirTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("heading") << "Label6"
                             << "Sobre o Programa";
    QTest::newRow("name, with its leading space") << "Label4"
                                                  << " Corvelo KeyHound";
    QTest::newRow("version") << "Label1"
                             << "v 1.0";
    QTest::newRow("author caption") << "Label2"
                                    << "Autor:";
    QTest::newRow("author") << "Label3"
                            << "Equipe Corvelo";
    QTest::newRow("site") << "lblSitedoautor" << AuthorSite::hostName();
    QTest::newRow("free") << "lblFree"
                          << "Corvelo KeyHound é totalmente FREE!";
}

void TestAboutWindow::labelsHaveTheirTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    AboutWindow window(m_platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* label = window.findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QVERIFY(label->isVisible());
    QVERIFY(window.rect().contains(label->geometry()));
}

void TestAboutWindow::descriptionPresentsTheProgramThenTheSecurityNote()
{
    AboutWindow window(m_platform);
    auto* label = window.findChild<QLabel*>(QStringLiteral("Label5"));
    QVERIFY(label);
    QCOMPARE(label->text(), AboutWindow::description());
    QVERIFY(label->wordWrap());

    const QString text = label->text();
    QVERIFY(text.endsWith(QLatin1Char(' ') + securityNote));
    const QString first = text.left(text.size() - securityNote.size() - 1);
    QVERIFY(first.contains(QStringLiteral("Corvelo KeyHound")));
    QVERIFY(first.contains(QStringLiteral("programa")));
    QVERIFY(first.endsWith(QLatin1Char('.')));
    QVERIFY(!first.endsWith(QLatin1Char(' ')));
    QCOMPARE(first.count(QLatin1Char('.')), 1);
}

void TestAboutWindow::windowHasItsFrame()
{
    AboutWindow window(m_platform);
    QCOMPARE(window.objectName(), QStringLiteral("frm5_Sobre"));
    QVERIFY(window.isModal());
    QCOMPARE(window.size(), Twips::size(3420, 3915));
    auto* close = window.findChild<PictureButton*>(QStringLiteral("btnFechar"));
    QVERIFY(close);
    QCOMPARE(close->toolTip(), QStringLiteral(" Fechar "));
}

void TestAboutWindow::pictureIsFiftyPixelsSquare()
{
    AboutWindow window(m_platform);
    auto* picture = window.findChild<QLabel*>(QStringLiteral("Image2"));
    QVERIFY(picture);
    QCOMPARE(picture->size(), QSize(50, 50));
    const QImage image = picture->pixmap().toImage();
    QCOMPARE(image.size(), QSize(50, 50));
    // Drawn, not left empty: the centre of the picture is opaque.
    QCOMPARE(qAlpha(image.pixel(25, 25)), 255);
}

void TestAboutWindow::authorLinkNamesTheSite()
{
    AboutWindow window(m_platform);
    auto* link = window.findChild<QLabel*>(QStringLiteral("lblSitedoautor"));
    QVERIFY(link);
    QCOMPARE(link->toolTip(), QLatin1Char(' ') + AuthorSite::hostName() + QLatin1Char(' '));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);

    const QUrl address(AuthorSite::address());
    QVERIFY(address.isValid());
    QCOMPARE(address.scheme(), QStringLiteral("http"));
    QCOMPARE(address.host(), AuthorSite::hostName());
}

void TestAboutWindow::authorLinkOpensTheSite_data()
{
    QTest::addColumn<int>("leftClicks");
    QTest::addColumn<int>("rightClicks");
    QTest::addColumn<bool>("releasedOutside");
    QTest::addColumn<int>("opened");

    QTest::newRow("one click") << 1 << 0 << false << 1;
    QTest::newRow("two clicks open it twice") << 2 << 0 << false << 2;
    QTest::newRow("right button opens nothing") << 0 << 1 << false << 0;
    QTest::newRow("press then release elsewhere") << 0 << 0 << true << 0;
}

void TestAboutWindow::authorLinkOpensTheSite()
{
    QFETCH(int, leftClicks);
    QFETCH(int, rightClicks);
    QFETCH(bool, releasedOutside);
    QFETCH(int, opened);

    AboutWindow window(m_platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* link = window.findChild<QLabel*>(QStringLiteral("lblSitedoautor"));
    for (int click = 0; click < leftClicks; ++click) {
        QTest::mouseClick(link, Qt::LeftButton);
    }
    for (int click = 0; click < rightClicks; ++click) {
        QTest::mouseClick(link, Qt::RightButton);
    }
    if (releasedOutside) {
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, link->height() / 2));
    }
    QCOMPARE(m_platform.openedAddresses, QStringList(opened, AuthorSite::address()));
    QVERIFY(window.isVisible());
    QVERIFY(m_platform.messages.isEmpty());
}

void TestAboutWindow::closeButtonCloses()
{
    AboutWindow window(m_platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.findChild<PictureButton*>(QStringLiteral("btnFechar")), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QVERIFY(m_platform.openedAddresses.isEmpty());
}

void TestAboutWindow::keepsItsLookUnderTheOpenersStyleSheet_data()
{
    QTest::addColumn<QString>("openerStyle");
    QTest::newRow("none") << QString();
    QTest::newRow("a background for everything") << "background: #34506f;";
    QTest::newRow("label rules") << "QLabel { font: 20pt; color: white; background: red; }";
}

void TestAboutWindow::keepsItsLookUnderTheOpenersStyleSheet()
{
    QFETCH(QString, openerStyle);
    QWidget opener;
    opener.setStyleSheet(openerStyle);
    AboutWindow window(m_platform, &opener);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const auto fontOf = [&window](const char* name) { return window.findChild<QLabel*>(QLatin1String(name))->font(); };
    QCOMPARE(fontOf("Label6").pointSize(), 10);
    QVERIFY(fontOf("Label6").bold());
    QCOMPARE(fontOf("Label4").pointSize(), 10);
    QVERIFY(fontOf("Label4").bold());
    QCOMPARE(fontOf("Label5").pointSize(), 7);
    QCOMPARE(fontOf("Label3").pointSize(), 8);
    QVERIFY(!fontOf("Label3").bold());
    QVERIFY(fontOf("lblSitedoautor").underline());

    // The labels leave the window's own picture visible behind them.
    const QImage shown = window.grab().toImage();
    const QImage picture = Picture::pixmap(QStringLiteral("about-background"), window.size()).toImage();
    const QLabel* author = window.findChild<QLabel*>(QStringLiteral("Label3"));
    const QPoint corner = author->geometry().bottomRight() - QPoint(1, 1);
    QCOMPARE(QColor(shown.pixel(corner)), QColor(picture.pixel(corner)));
}

QTEST_MAIN(TestAboutWindow)
#include "tst_aboutwindow.moc"
