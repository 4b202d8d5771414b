#include "mainwindow/program.h"
#include "platform/qtplatform.h"

#include <QApplication>

#include <csignal>

int main(int argc, char* argv[])
{
    // Under a file size limit a save then fails with a reason the user is told, instead of the system ending the
    // program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setApplicationName(Platform::programTitle());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/icon.svg")));
    // The main window may hide in the notification area with no window shown.
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform platform;
    // The data files live beside the executable.
    Program program(QCoreApplication::applicationDirPath(), platform);
    QObject::connect(&program, &Program::finished, &application, &QApplication::quit, Qt::QueuedConnection);
    QObject::connect(&application, &QApplication::aboutToQuit, &platform, &QtPlatform::forgetCopiedSecret);
    if (!program.start()) {
        return 1;
    }
    return QApplication::exec();
}
