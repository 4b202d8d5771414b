#include "access/fieldrule.h"

#include <QTest>

using Characters = FieldRule::Characters;

class TestFieldRule : public QObject
{
    Q_OBJECT

private slots:
    void refusal_data();
    void refusal();
};

void TestFieldRule::refusal_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("limit");
    QTest::addColumn<Characters>("characters");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("notice");

    struct Case
    {
        const char* name;
        QString subject;
        int limit;
        Characters characters;
        QString before;
        QString after;
        QString notice;
    };
    const QString senha = QStringLiteral("A senha");
    const QString titulo = QStringLiteral("O título");
    const QString stored(25, QLatin1Char('s'));
    const QString tooLong = QStringLiteral("A senha aceita no máximo 20 caracteres.");
    const QString control = QStringLiteral("Caracteres de controle não são aceitos neste campo.");
    const auto refused = [](const QString& character) {
        return QStringLiteral("O caractere %1 não é aceito neste campo.").arg(character);
    };
    const Characters entry = Characters::EntryWindow;
    const Characters storable = Characters::Storable;
    const QList<Case> cases = {
        {"24 pasted into 20", senha, 20, entry, "", "Xk9mQ2vL7pR4sT8wZ3nB6yH1", tooLong},
        {"stored 25 shortened", senha, 20, entry, stored, stored.chopped(1), ""},
        {"stored 25 grows", senha, 20, entry, stored, stored + "s", tooLong},
        {"tilde", senha, 20, entry, "S3nha", "S3nha~", refused("~")},
        {"grave", senha, 20, entry, "", "a`", refused("`")},
        {"accents, ¿, quote, space", senha, 20, entry, "", "éÇ¿\" x", ""},
        {"stored tilde kept while typing", senha, 20, entry, "user~1", "user~1x", ""},
        {"second tilde", senha, 20, entry, "user~1", "user~~1", refused("~")},
        {"character told before length", senha, 20, entry, "", QString(20, 'z') + "~", refused("~")},
        {"line break", "O login", 45, entry, "", "joao\r\nsilva", "Quebras de linha não são aceitas neste campo."},
        {"tab", "O login", 45, entry, "", "a\tb", control},
        {"settings: space", senha, 12, Characters::Settings, "", "minha senha", "O espaço não é aceito neste campo."},
        {"settings: dot", senha, 12, Characters::Settings, "", "a.b", refused(".")},
        {"title: what a login refuses", titulo, 45, storable, "", "a~b`c^ªº°€\t", ""},
        {"title: separator", titulo, 45, storable, "", "a§b", refused("§")},
        {"title: beyond 1252", titulo, 45, storable, "", "Ωmega", refused("Ω")},
        {"title: emoji whole", titulo, 45, storable, "a", "a😀", refused("😀")},
        {"title: broken surrogate", titulo, 45, storable, "", QString(QChar(0xD83D)), control},
    };
    for (const Case& c : cases) {
        QTest::newRow(c.name) << c.subject << c.limit << c.characters << c.before << c.after << c.notice;
    }
}

// An edit is refused whole with the reason, never cut; what was there before may stay.
void TestFieldRule::refusal()
{
    QFETCH(QString, subject);
    QFETCH(int, limit);
    QFETCH(Characters, characters);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, notice);
    QCOMPARE(FieldRule(subject, limit, characters).refusal(before, after), notice);
}

QTEST_APPLESS_MAIN(TestFieldRule)
#include "tst_fieldrule.moc"
