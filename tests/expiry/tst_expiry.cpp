#include "support/mainwindowhost.h"

#include "expiry/expirystatus.h"

#include <QHelpEvent>
#include <QToolTip>

namespace {

const QDate today(2026, 3, 15);

QByteArray expiring(const char* title, const char* expiry)
{
    return entryRecord(title, expiry, "26.01.02.03.04.05", "login", "senha");
}

// How many pixels of the row are drawn close to the colour.
int pixelsNear(const QImage& image, const QRect& row, QColor colour)
{
    int count = 0;
    for (int y = row.top(); y <= row.bottom(); ++y) {
        for (int x = row.left(); x <= row.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qAbs(pixel.red() - colour.red()) + qAbs(pixel.green() - colour.green()) +
                    qAbs(pixel.blue() - colour.blue()) <
                36) {
                ++count;
            }
        }
    }
    return count;
}

} // namespace

class TestExpiry : public QObject
{
    Q_OBJECT

private slots:
    void status_data();
    void status();
    void rowsShowIt_data();
    void rowsShowIt();
    void startUpNotice_data();
    void startUpNotice();
};

void TestExpiry::status_data()
{
    QTest::addColumn<QString>("expiry");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("description");

    QTest::newRow("yesterday") << "14/03/26" << today << "Vencida há 1 dia";
    QTest::newRow("today") << "15/03/26" << today << "Vence hoje";
    QTest::newRow("tomorrow") << "16/03/26" << today << "Vence em 1 dia";
    QTest::newRow("in 30 days") << "14/04/26" << today << "Vence em 30 dias";
    QTest::newRow("in 31 days") << "15/04/26" << today << "";
    QTest::newRow("over the new year") << "05/01/27" << QDate(2026, 12, 20) << "Vence em 16 dias";
    QTest::newRow("29 February") << "29/02/28" << QDate(2028, 2, 1) << "Vence em 28 dias";
    QTest::newRow("no date") << "----/----/----" << today << "";
    QTest::newRow("no such day") << "31/02/26" << today << "";
    QTest::newRow("four-digit year") << "01/03/2026" << today << "";
    QTest::newRow("letters") << "ab/cd/ef" << today << "";
    QTest::newRow("99 is the last century") << "31/12/99" << today << "Vencida há 9571 dias";
    QTest::newRow("76 is still this one") << "01/01/76" << today << "";
    QTest::newRow("77 is the last century") << "01/01/77" << today << "Vencida há 17970 dias";
}

void TestExpiry::status()
{
    QFETCH(QString, expiry);
    QFETCH(QDate, today);
    QFETCH(QString, description);
    const ExpiryStatus status(expiry, today);
    QCOMPARE(status.description(), description);
    const QString kind = status.kind() == ExpiryStatus::Kind::Expired ? QStringLiteral("Vencida")
                         : status.kind() == ExpiryStatus::Kind::Soon  ? QStringLiteral("Vence")
                                                                      : QString();
    QCOMPARE(kind, description.section(QLatin1Char(' '), 0, 0));
}

void TestExpiry::rowsShowIt_data()
{
    QTest::addColumn<QByteArray>("expiry");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QColor>("colour");

    const QColor warning(0xa3, 0x30, 0x1c);
    const QColor soft(0xb0, 0x62, 0x10);
    QTest::newRow("yesterday") << QByteArray("14/03/26") << "Vencida há 1 dia" << warning;
    QTest::newRow("today") << QByteArray("15/03/26") << "Vence hoje" << soft;
    QTest::newRow("in 30 days") << QByteArray("14/04/26") << "Vence em 30 dias" << soft;
    QTest::newRow("in 31 days") << QByteArray("15/04/26") << "" << QColor();
    QTest::newRow("no date") << QByteArray("----/----/----") << "" << QColor();
    QTest::newRow("bad date") << QByteArray("31/02/26") << "" << QColor();
}

void TestExpiry::rowsShowIt()
{
    QFETCH(QByteArray, expiry);
    QFETCH(QString, toolTip);
    QFETCH(QColor, colour);

    MainWindowHost host({expiring("Alvo", expiry.constData()), expiring("Outra", "----/----/----")});
    QListWidget* list = host.list();
    // The expiry text itself is shown as stored.
    QVERIFY(list->item(0)->text().startsWith(QString::fromLatin1(expiry) + QStringLiteral("    Alvo")));

    const QRect row = list->visualItemRect(list->item(0));
    QHelpEvent help(QEvent::ToolTip, row.center(), list->viewport()->mapToGlobal(row.center()));
    QCoreApplication::sendEvent(list->viewport(), &help);
    QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), toolTip);
    QToolTip::hideText();

    const QImage image = list->viewport()->grab().toImage();
    const QRect other = list->visualItemRect(list->item(1));
    for (const QColor& mark : {QColor(0xa3, 0x30, 0x1c), QColor(0xb0, 0x62, 0x10)}) {
        QVERIFY2(pixelsNear(image, other, mark) == 0, "an entry without a date is drawn as always");
        const int marked = pixelsNear(image, row, mark);
        QVERIFY2(mark == colour ? marked > 5 : marked == 0, qPrintable(QString::number(marked)));
    }
}

void TestExpiry::startUpNotice_data()
{
    QTest::addColumn<QList<QByteArray>>("records");
    QTest::addColumn<QString>("notice");

    const QByteArray yesterday = expiring("A", "14/03/26");
    QTest::newRow("none expired") << QList<QByteArray>{expiring("B", "15/03/26"), expiring("C", "----/----/----")}
                                  << QString();
    QTest::newRow("one") << QList<QByteArray>{yesterday, expiring("B", "15/03/26")} << "1 senha vencida";
    QTest::newRow("three") << QList<QByteArray>{yesterday, expiring("B", "01/01/20"), expiring("C", "31/12/99"),
                                                expiring("D", "31/02/26")}
                           << "3 senhas vencidas";
}

void TestExpiry::startUpNotice()
{
    QFETCH(QList<QByteArray>, records);
    QFETCH(QString, notice);
    MainWindowHost host(records);
    const auto* label = qobject_cast<QLabel*>(host.child("lblAviso"));
    QCOMPARE(label->isVisible() ? label->text() : QString(), notice);
}

QTEST_MAIN(TestExpiry)
#include "tst_expiry.moc"
