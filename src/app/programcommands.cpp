#include "app/programcommands.h"

#include "app/commandline.h"
#include "app/datalocation.h"
#include "app/transfercommands.h"

#include <QDateTime>
#include <QDir>

void addProgramCommands(CommandLine& commandLine)
{
    commandLine.addCommand(
        QCommandLineOption(QStringLiteral("data-folder"),
                           QStringLiteral("Mostra a pasta dos arquivos de dados e termina.")),
        [](const QString&) {
            return CommandOutput{0, QDir::toNativeSeparators(DataLocation::ofThisProgram()) + QLatin1Char('\n'), {}};
        });
    commandLine.addCommand(
        QCommandLineOption(
            QStringLiteral("export"),
            QStringLiteral("Grava todas as entradas num novo arquivo e termina: um banco de dados cifrado do "
                           "KeePass quando o nome termina em .kdbx (a senha dele é pedida), senão um CSV que o "
                           "KeePassXC importa, com as senhas sem cifra."),
            QStringLiteral("arquivo")),
        [](const QString& file) {
            return TransferCommands::exportTo(DataLocation::ofThisProgram(), file, QDateTime::currentDateTime());
        });
    commandLine.addCommand(
        QCommandLineOption(QStringLiteral("import"),
                           QStringLiteral("Adiciona as entradas de um banco de dados do KeePass (.kdbx) ou de um "
                                          "arquivo CSV, exportado pelo KeyHound ou pelo KeePassXC, e termina."),
                           QStringLiteral("arquivo")),
        [](const QString& file) {
            return TransferCommands::importFrom(DataLocation::ofThisProgram(), file, QDateTime::currentDateTime());
        });
    commandLine.addCommand(
        QCommandLineOption(QStringLiteral("merge"),
                           QStringLiteral("Junta as entradas de outro arquivo pswd.tab (lido com a chave do cnfg.tab "
                                          "ao lado dele, ou com a deste cofre) e termina."),
                           QStringLiteral("pswd.tab")),
        [](const QString& file) {
            return TransferCommands::mergeFrom(DataLocation::ofThisProgram(), file, QDateTime::currentDateTime());
        });
}
