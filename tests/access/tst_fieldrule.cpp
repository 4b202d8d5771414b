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

    const QString senha = QStringLiteral("A senha");
    const QString z20(20, QLatin1Char('z'));
    const QString stored25(25, QLatin1Char('s'));
    const QString password = QStringLiteral("A senha aceita no máximo 20 caracteres.");
    const auto refused = [](const char* character) {
        return QStringLiteral("O caractere %1 não é aceito neste campo.").arg(QString::fromUtf8(character));
    };
    const Characters entry = Characters::EntryWindow;
    const Characters settings = Characters::Settings;
    const Characters storable = Characters::Storable;

    QTest::newRow("24 pasted into 20") << senha << 20 << entry << ""
                                       << "Xk9mQ2vL7pR4sT8wZ3nB6yH1" << password;
    QTest::newRow("20 taken") << senha << 20 << entry << "" << z20 << "";
    QTest::newRow("21st typed") << senha << 20 << entry << z20 << z20 + "z" << password;
    QTest::newRow("stored 25 shortened") << senha << 20 << entry << stored25 << stored25.chopped(1) << "";
    QTest::newRow("stored 25 overtyped") << senha << 20 << entry << stored25 << "S" + stored25.mid(1) << "";
    QTest::newRow("stored 25 grows") << senha << 20 << entry << stored25 << stored25 + "s" << password;
    QTest::newRow("tilde") << senha << 20 << entry << "S3nha"
                           << "S3nha~" << refused("~");
    QTest::newRow("pasted with three refused") << senha << 20 << entry << ""
                                               << "S3nha~Forte^`!" << refused("~");
    QTest::newRow("grave") << senha << 20 << entry << ""
                           << "a`" << refused("`");
    QTest::newRow("caret") << senha << 20 << entry << ""
                           << "a^" << refused("^");
    QTest::newRow("degree") << senha << 20 << entry << ""
                            << "a°" << refused("°");
    QTest::newRow("accents, ¿, quote, space") << senha << 20 << entry << ""
                                              << "éÇ¿\" x"
                                              << "";
    QTest::newRow("stored tilde kept while typing") << senha << 20 << entry << "user~1"
                                                    << "user~1x"
                                                    << "";
    QTest::newRow("stored tilde deleted") << senha << 20 << entry << "user~1"
                                          << "user1"
                                          << "";
    QTest::newRow("second tilde") << senha << 20 << entry << "user~1"
                                  << "user~~1" << refused("~");
    QTest::newRow("line break in login") << "O login" << 45 << entry << ""
                                         << "joao\r\nsilva"
                                         << "Quebras de linha não são aceitas neste campo.";
    QTest::newRow("tab") << "O login" << 45 << entry << ""
                         << "a\tb"
                         << "Caracteres de controle não são aceitos neste campo.";
    QTest::newRow("character before length") << senha << 20 << entry << "" << z20 + "~" << refused("~");
    QTest::newRow("settings: space") << senha << 12 << settings << ""
                                     << "minha senha"
                                     << "O espaço não é aceito neste campo.";
    QTest::newRow("settings: dot") << senha << 12 << settings << ""
                                   << "a.b" << refused(".");
    QTest::newRow("settings: 13") << senha << 12 << settings << ""
                                  << "Açaí@26abcdef"
                                  << "A senha aceita no máximo 12 caracteres.";
    QTest::newRow("settings: 12 of the set") << senha << 12 << settings << ""
                                             << "1Ação@&*#$_Ñ"
                                             << "";
    QTest::newRow("title: what a login refuses") << "O título" << 45 << storable << ""
                                                 << "a~b`c^ªº°€\t"
                                                 << "";
    QTest::newRow("title: separator") << "O título" << 45 << storable << ""
                                      << "a§b" << refused("§");
    QTest::newRow("title: line mark") << "O título" << 45 << storable << ""
                                      << "a¥b" << refused("¥");
    QTest::newRow("title: beyond 1252") << "O título" << 45 << storable << ""
                                        << "Ωmega" << refused("Ω");
    QTest::newRow("title: emoji whole") << "O título" << 45 << storable << "a"
                                        << "a😀" << refused("😀");
    QTest::newRow("title: broken surrogate") << "O título" << 45 << storable << "" << QString(QChar(0xD83D))
                                             << "Caracteres de controle não são aceitos neste campo.";
    QTest::newRow("title: 46") << "O título" << 45 << storable << "" << QString(46, QLatin1Char('t'))
                               << "O título aceita no máximo 45 caracteres.";
    QTest::newRow("address: 256") << "A URL" << 255 << storable << "" << QString(256, QLatin1Char('u'))
                                  << "A URL aceita no máximo 255 caracteres.";
    QTest::newRow("address: line break") << "A URL" << 255 << storable << ""
                                         << "https://a\n"
                                         << "Quebras de linha não são aceitas neste campo.";
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
