#include "app/desktoprun.h"

#include "app/datafolderlock.h"
#include "app/datalocation.h"
#include "app/wakechannel.h"
#include "lock/awaywatch.h"
#include "mainwindow/program.h"
#include "platform/qtplatform.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

namespace {

int refuse(Platform& platform, const QString& message)
{
    // Also for whoever started the program from a terminal.
    QTextStream(stderr) << message << '\n';
    platform.showMessage(nullptr, message, Platform::programTitle(), Platform::MessageIcon::Critical);
    return 1;
}

QString unansweredMessage(const QString& dataFolder, const DataFolderLock& lock)
{
    return QStringLiteral("O programa já está aberto com os dados da pasta %1, mas não respondeu.\nNenhum arquivo "
                          "foi alterado. Se o programa não estiver aberto, apague o arquivo %2 e tente de novo.")
        .arg(QDir::toNativeSeparators(dataFolder), QDir::toNativeSeparators(lock.path()));
}

} // namespace

int runDesktop()
{
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/icon.svg")));
    // The main window may hide in the notification area with no window shown.
    QApplication::setQuitOnLastWindowClosed(false);
    QtPlatform platform;

    const QString dataFolder = DataLocation::ofThisProgram();
    if (const QString problem = DataLocation::prepare(dataFolder); !problem.isEmpty()) {
        return refuse(platform, problem);
    }
    DataFolderLock lock(dataFolder);
    WakeChannel wakeChannel(dataFolder);
    switch (lock.take()) {
    case DataFolderLock::Outcome::Taken:
        wakeChannel.listen();
        break;
    case DataFolderLock::Outcome::HeldByAnotherCopy:
        return WakeChannel::wake(dataFolder) ? 0 : refuse(platform, unansweredMessage(dataFolder, lock));
    case DataFolderLock::Outcome::ReadOnlyFolder:
        // Nothing there can be changed by any copy: the entries are shown, and every change reports its failure.
        break;
    case DataFolderLock::Outcome::Failed:
        return refuse(platform, lock.failureMessage());
    }

    Program program(dataFolder, platform);
    QObject::connect(&wakeChannel, &WakeChannel::wakeRequested, &program, &Program::bringToFront);
    QObject::connect(&program, &Program::finished, qApp, &QApplication::quit, Qt::QueuedConnection);
    if (!program.start()) {
        return 1;
    }
    AwayWatch awayWatch;
    QObject::connect(&awayWatch, &AwayWatch::userAway, &program, &Program::lock);
    return QApplication::exec();
}
