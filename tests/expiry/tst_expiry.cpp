#include "support/drawntext.h"
#include "support/mainwindowhost.h"

namespace {

QByteArray expiring(const char* title, const char* expiry)
{
    return entryRecord(title, expiry, "26.01.02.03.04.05", "login", "senha");
}

// How the user sees a colour: a strong red, a strong amber, or anything plainer.
QString tint(const QColor& colour)
{
    const int hue = colour.hsvHue();
    return colour.hsvSaturation() < 100 ? "plain" : hue < 20 || hue > 340 ? "red" : hue < 50 ? "amber" : "plain";
}

} // namespace

class TestExpiry : public QObject
{
    Q_OBJECT

private slots:
    void rowsShowIt_data();
    void rowsShowIt();
    void startUpNoticeCountsTheExpired();
};

void TestExpiry::rowsShowIt_data()
{
    QTest::addColumn<QString>("expiry");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("toolTip");
    const QDate today(2026, 3, 15);
    const auto add = [](const char* name, const char* expiry, QDate today, const char* toolTip) {
        QTest::newRow(name) << QString::fromUtf8(expiry) << today << QString::fromUtf8(toolTip);
    };
    add("yesterday: expired", "14/03/26", today, "Vencida há 1 dia");
    add("today: still valid", "15/03/26", today, "Vence hoje");
    add("in 30 days: soon", "14/04/26", today, "Vence em 30 dias");
    add("in 31 days: not yet", "15/04/26", today, "");
    add("over the new year", "05/01/27", QDate(2026, 12, 20), "Vence em 16 dias");
    add("29 February", "29/02/28", QDate(2028, 2, 1), "Vence em 28 dias");
    add("99 is the last century", "31/12/99", today, "Vencida há 9571 dias");
    add("76 is still this one", "01/01/76", today, "");
    add("in 2090, 40 is the next century", "01/01/40", QDate(2090, 1, 1), "");
    add("77 is the last century", "01/01/77", today, "Vencida há 17970 dias");
    add("no date", "----/----/----", today, "");
    add("no such day", "31/02/26", today, "");
    add("a four-digit year", "01/03/2026", today, "");
    add("letters", "ab/cd/ef", today, "");
}

void TestExpiry::rowsShowIt()
{
    QFETCH(QString, expiry);
    QFETCH(QDate, today);
    QFETCH(QString, toolTip);
    const bool expired = toolTip.startsWith("Vencida");
    MainWindowHost host({expiring("Alvo", qPrintable(expiry)), expiring("Outra", "----/----/----")}, today);
    QCOMPARE(host.row(0).data(Qt::ToolTipRole).toString(), toolTip);

    // The date as stored, cut when too long for its column, and the title; then the other row, drawn as always.
    const QList<DrawnText> drawn = drawnText(host.list()->viewport());
    QCOMPARE(drawn.size(), 4);
    QVERIFY(expiry.startsWith(QString(drawn[0].text).remove(QChar(0x2026))));
    QCOMPARE(drawn[1].text, QStringLiteral("Alvo"));
    QCOMPARE(tint(drawn[1].colour), expired ? "red" : toolTip.isEmpty() ? "plain" : "amber");
    QCOMPARE(tint(drawn[3].colour), "plain");
    QWidget* notice = host.child("lblAviso");
    QCOMPARE(notice->isVisible() ? textOf(notice) : QString(), expired ? "1 senha vencida" : "");
}

void TestExpiry::startUpNoticeCountsTheExpired()
{
    MainWindowHost host({expiring("A", "14/03/26"), expiring("B", "01/01/20"), expiring("C", "31/12/99"),
                         expiring("D", "15/03/26"), expiring("E", "31/02/26")});
    QCOMPARE(textOf(host.child("lblAviso")), QStringLiteral("3 senhas vencidas"));
}

QTEST_MAIN(TestExpiry)
#include "tst_expiry.moc"
