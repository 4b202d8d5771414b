#include "generator/passwordgenerator.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

int kindOf(QChar c)
{
    return c.isLower() ? 0 : c.isUpper() ? 1 : c.isDigit() ? 2 : 3;
}

} // namespace

// Passwords drawn from a set, without a window: a thousand draws from a seeded generator each.
class TestPasswordGenerator : public QObject
{
    Q_OBJECT

private slots:
    void draws_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("length");
        // The characters that may be drawn; the password is empty when none.
        QTest::addColumn<QString>("drawn");
        QTest::addColumn<int>("kinds");
        QTest::newRow("the four kinds, twenty long") << "aZ0.bY1," << 20 << "aZ0.bY1," << 4;
        QTest::newRow("the space, accents, a tab and DEL never drawn")
            << QStringLiteral("a B\tçÇ1\x7f#é") << 12 << "aB1#" << 4;
        QTest::newRow("repeated characters count once") << "aaaaab" << 8 << "ab" << 1;
        QTest::newRow("as long as there are kinds") << "a1" << 2 << "a1" << 2;
        QTest::newRow("shorter than the kinds: nothing") << "aA1!" << 3 << "" << 4;
        QTest::newRow("nothing drawable: nothing") << QStringLiteral(" çé\n") << 20 << "" << 0;
        QTest::newRow("an empty set: nothing") << "" << 20 << "" << 0;
    }

    // The length asked, only drawable characters of the set, every kind in every password, every character and every
    // kind in the first place drawn sometime.
    void draws()
    {
        QFETCH(QString, set);
        QFETCH(int, length);
        QFETCH(QString, drawn);
        QFETCH(int, kinds);
        const PasswordGenerator generator(set);
        QCOMPARE(generator.kinds().size(), kinds);
        QRandomGenerator random(20261207);
        QString unseen = drawn;
        QSet<int> firstKinds;
        for (int draw = 0; draw < 1000; ++draw) {
            const QString password = generator.generate(length, random);
            QCOMPARE(password.size(), drawn.isEmpty() ? 0 : length);
            QSet<int> kindsIn;
            for (const QChar c : password) {
                QVERIFY2(drawn.contains(c), qPrintable(password));
                kindsIn.insert(kindOf(c));
                unseen.remove(c);
            }
            QVERIFY2(password.isEmpty() || kindsIn.size() == kinds, qPrintable(password));
            if (!password.isEmpty()) {
                firstKinds.insert(kindOf(password.front()));
            }
        }
        QCOMPARE(unseen, QString());
        QCOMPARE(firstKinds.size(), drawn.isEmpty() ? 0 : kinds);
    }
};

QTEST_MAIN(TestPasswordGenerator)
#include "tst_passwordgenerator.moc"
