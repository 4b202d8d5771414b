#include "accessibility/accessibility.h"
#include "app/commandline.h"
#include "app/desktoprun.h"
#include "app/programcommands.h"
#include "app/programidentity.h"
#include "app/qtplatformchoice.h"
#include "app/qttranslation.h"
#include "platform/fontpreload.h"
#include "platform/nocoredumps.h"

#include <QApplication>

#include <csignal>

int main(int argc, char* argv[])
{
    // Before anything secret is read, so that no core file can hold a password.
    if (!disableCoreDumps()) {
        qWarning("KeyHound: core dumps could not be turned off");
    }
    // Under a file size limit a save then fails with a reason the user is told, instead of the system ending the
    // program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
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
        loadQtTranslation(application);
        return commandLine.runAndPrint();
    }
    FontPreload fonts;
    // Qt takes its own options, such as -platform, out of the arguments first.
    QApplication application(argc, argv);
    if (!loadQtTranslation(application)) {
        qWarning("KeyHound: Qt's Portuguese translation (qtbase_pt_BR.qm) is not installed");
    }
    if (commandLine.parse(QCoreApplication::arguments())) {
        return commandLine.runAndPrint();
    }
    Accessibility::install();
    // The first window's text waits for the fonts rather than reading their configuration a second time.
    fonts.wait();
    return runDesktop();
}
