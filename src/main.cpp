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
    // A command-line job needs no display.
    if (commandLine.parse(arguments)) {
        QCoreApplication application(argc, argv);
        return commandLine.runAndPrint();
    }
    QApplication application(argc, argv);
    return runDesktop();
}
