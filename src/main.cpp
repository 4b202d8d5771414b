#include "app/commandline.h"
#include "app/desktoprun.h"
#include "app/programcommands.h"
#include "app/programidentity.h"
#include "app/qtplatformchoice.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    nameProgram();
    chooseQtPlatform();
    CommandLine commandLine(QStringLiteral("Repositório de senhas. Sem opções, abre a janela do programa."));
    addProgramCommands(commandLine);

    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    commandLine.parse(arguments);
    // A job needs no display.
    if (commandLine.namesCommand()) {
        QCoreApplication application(argc, argv);
        return commandLine.runAndPrint();
    }
    // Qt takes its own options, such as -platform, out of the arguments first.
    QApplication application(argc, argv);
    if (commandLine.parse(QCoreApplication::arguments())) {
        return commandLine.runAndPrint();
    }
    return runDesktop();
}
