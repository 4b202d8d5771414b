#include "access/keyfilter.h"

#include <QTest>

#include <algorithm>

using KeyFilter::CharacterSet;

class TestKeyFilter : public QObject
{
    Q_OBJECT

private slots:
    void setsHoldExactlyTheListedCharacters();
};

// Every key code from 1 to 0xFFFF: the listed ones and Backspace pass unchanged, all others become 0.
void TestKeyFilter::setsHoldExactlyTheListedCharacters()
{
    const auto passed = [](const QString& keys, CharacterSet set) {
        QString result;
        for (const QChar key : keys) {
            if (const char16_t code = KeyFilter::LimitaChars(key.unicode(), set)) {
                result += QChar(code);
            }
        }
        return result;
    };
    QString everyCode;
    for (char16_t key = 1; key != 0; ++key) {
        everyCode += QChar(key);
    }
    const QString letters = QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                           "ÀÁÂÃÄÈÉÊËÌÍÎÏÒÓÔÕÖÙÚÛÜàáâãäèéêëìíîïòóôõöùúûüÑñÇç\b");
    // Each set, its characters, and what it lets through of the telling keys (ending in Ctrl+A, C, V, X, Z).
    const QString telling = QStringLiteral("éÇ¿ \"\r~`^°ªº\b\x01\x03\x16\x18\x1A");
    const QList<std::tuple<CharacterSet, QString, QString>> sets = {
        {CharacterSet::EntryWindow, letters + QStringLiteral(".,:;<>=(){}[]'\"-+/\\@&*!¿?|%#$_ \r\n"), "éÇ¿ \"\r\b"},
        {CharacterSet::Settings, letters + QStringLiteral("@&*#$_"), "éÇ\b"}};
    for (auto [set, listed, tellingPassed] : sets) {
        std::sort(listed.begin(), listed.end());
        QCOMPARE(passed(everyCode, set), listed);
        QCOMPARE(passed(telling, set), tellingPassed);
    }
}

QTEST_MAIN(TestKeyFilter)
#include "tst_keyfilter.moc"
