#include "app/commandline.h"
#include "app/programcommands.h"
#include "app/programidentity.h"

#include <QTest>

// The command line as a user types it: which job runs, what it prints and with which status it ends.
class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nameProgram(); }
    void arguments_data();
    void arguments();
};

void CommandLineTest::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("opensWindow");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");

    const QString dataFolder = QCoreApplication::applicationDirPath() + QLatin1Char('\n');
    const QString hint = QStringLiteral("\nUse keyhound --help para ver as opções.\n");
    QTest::newRow("no option opens the window") << QStringList() << true << 0 << QString() << QString();
    QTest::newRow("data folder beside a writable executable")
        << QStringList{QStringLiteral("--data-folder")} << false << 0 << dataFolder << QString();
    QTest::newRow("help lists every option")
        << QStringList{QStringLiteral("--help")} << false << 0 << QStringLiteral("  --data-folder  *") << QString();
    QTest::newRow("help answers alongside another job")
        << QStringList{QStringLiteral("--data-folder"), QStringLiteral("-h")} << false << 0
        << QStringLiteral("Uso: keyhound*") << QString();
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << false << 0 << QStringLiteral("KeyHound 1*")
                             << QString();
    QTest::newRow("value handed to its job") << QStringList{QStringLiteral("--ecoar"), QStringLiteral("contas;1.csv")}
                                             << false << 0 << QStringLiteral("eco contas;1.csv\n") << QString();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--data-folders")} << false << 2 << QString()
                                    << QStringLiteral("Opção desconhecida: --data-folders") + hint;
    QTest::newRow("missing value") << QStringList{QStringLiteral("--ecoar")} << false << 2 << QString()
                                   << QStringLiteral("Uma opção está sem o seu valor, ou recebeu um que não aceita.") +
                                          hint;
    QTest::newRow("value given to an option without one")
        << QStringList{QStringLiteral("--data-folder=/tmp")} << false << 2 << QString()
        << QStringLiteral("Uma opção está sem o seu valor, ou recebeu um que não aceita.") + hint;
    QTest::newRow("stray argument") << QStringList{QStringLiteral("pswd.tab")} << false << 2 << QString()
                                    << QStringLiteral("Argumento inesperado: pswd.tab") + hint;
    QTest::newRow("two jobs at once") << QStringList{QStringLiteral("--data-folder"), QStringLiteral("--version")}
                                      << false << 2 << QString() << QStringLiteral("Use uma opção de cada vez.") + hint;
}

void CommandLineTest::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, opensWindow);

    CommandLine commandLine(QStringLiteral("Repositório de senhas."));
    addProgramCommands(commandLine);
    commandLine.addCommand(
        QCommandLineOption(QStringLiteral("ecoar"), QStringLiteral("Repete o valor."), QStringLiteral("texto")),
        [](const QString& file) {
            return CommandOutput{0, QStringLiteral("eco %1\n").arg(file), {}};
        });

    QCOMPARE(commandLine.parse(QStringList{QStringLiteral("/usr/bin/keyhound")} + arguments), !opensWindow);
    if (opensWindow) {
        return;
    }
    const CommandOutput output = commandLine.run();
    QTEST(output.exitCode, "exitCode");
    // A text ending in "*" is the start of what is printed, the rest of it only has to be there.
    QFETCH(QString, text);
    if (text.endsWith(QLatin1Char('*'))) {
        QVERIFY2(output.text.contains(text.chopped(1)), qPrintable(output.text));
    } else {
        QCOMPARE(output.text, text);
    }
    QTEST(output.error, "error");
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
