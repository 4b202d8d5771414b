#include "platform/qtplatform.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTimer>

namespace {

QString clipboardText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? data->text() : QString();
}

} // namespace

class TestQtPlatform : public QObject
{
    Q_OBJECT

private slots:
    void copiedSecretIsForgotten_data();
    void copiedSecretIsForgotten();
    void copyIsMarkedSecret();
};

void TestQtPlatform::copiedSecretIsForgotten_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("left");
    // Each step: "copy:<secret>", "user:<text>" (the user copies elsewhere), "timer" (thirty seconds pass) or "exit".
    QTest::newRow("thirty seconds pass") << QStringList{"copy:s3nha~Forte", "timer"} << QString();
    QTest::newRow("program ends first") << QStringList{"copy:s3nha", "exit"} << QString();
    QTest::newRow("user copied since") << QStringList{"copy:s3nha", "user:meu texto", "timer"} << "meu texto";
    QTest::newRow("user copied since, then exit") << QStringList{"copy:s3nha", "user:meu texto", "exit"} << "meu texto";
    QTest::newRow("second copy restarts the count") << QStringList{"copy:login", "copy:senha", "timer"} << QString();
    QTest::newRow("nothing copied") << QStringList{"user:meu texto", "exit"} << "meu texto";
}

// The clipboard forgets a copied secret after thirty seconds or at exit, but never what the user copied since.
void TestQtPlatform::copiedSecretIsForgotten()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, left);
    QGuiApplication::clipboard()->clear();
    QtPlatform platform;
    auto* timer = platform.findChild<QTimer*>(QStringLiteral("clipboardTimer"));
    QVERIFY(timer);
    for (const QString& step : steps) {
        const QString text = step.section(QLatin1Char(':'), 1);
        if (step.startsWith(QLatin1String("copy:"))) {
            platform.copySecret(text);
            QCOMPARE(clipboardText(), text);
            QVERIFY(timer->isActive());
            QCOMPARE(timer->intervalAsDuration(), std::chrono::milliseconds(30000));
        } else if (step.startsWith(QLatin1String("user:"))) {
            QGuiApplication::clipboard()->setText(text);
        } else if (step == QLatin1String("timer")) {
            QVERIFY(timer->isActive());
            QMetaObject::invokeMethod(timer, "timeout");
        } else {
            platform.forgetCopiedSecret();
        }
    }
    QCOMPARE(clipboardText(), left);
    QVERIFY(!timer->isActive());
}

// Clipboard managers are told not to keep it, and pasting gives exactly the text.
void TestQtPlatform::copyIsMarkedSecret()
{
    QtPlatform platform;
    const QString secret = QStringLiteral("Xk9mQ2vL7pR4sT8wZ3nB6yH1 é\"");
    platform.copySecret(secret);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->text(), secret);
    QCOMPARE(data->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
}

QTEST_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"
