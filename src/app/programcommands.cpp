#include "app/programcommands.h"

#include "app/commandline.h"
#include "app/datalocation.h"

#include <QDir>

void addProgramCommands(CommandLine& commandLine)
{
    commandLine.addCommand(
        QCommandLineOption(QStringLiteral("data-folder"),
                           QStringLiteral("Mostra a pasta dos arquivos de dados e termina.")),
        [](const QString&) {
            return CommandOutput{0, QDir::toNativeSeparators(DataLocation::ofThisProgram()) + QLatin1Char('\n'), {}};
        });
}
