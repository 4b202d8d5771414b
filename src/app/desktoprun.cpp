#include "app/desktoprun.h"

#include "app/datafolderlock.h"
#include "app/datalocation.h"
#include "app/wakechannel.h"
#include "lock/awaywatch.h"
#include "mainwindow/program.h"
#include "platform/firstpaint.h"
#include "platform/qtplatform.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <memory>

namespace {

int refuse(Platform& platform, const QString& message)
{
    // Also for whoever started the program from a terminal.
    QTextStream(stderr) << message << '\n';
    platform.showMessage(nullptr, message, Platform::programTitle(), Platform::MessageIcon::Critical);
    return 1;
}

void warn(Platform& platform, const QString& message)
{
    QTextStream(stderr) << message << '\n';
    platform.showMessage(nullptr, message, Platform::programTitle(), Platform::MessageIcon::Exclamation);
}

QString unansweredMessage(const QString& dataFolder, const QString& why)
{
    const qint64 holder = DataFolderLock::holderOf(dataFolder);
    return QStringLiteral("O programa já está aberto com os dados da pasta %1%2, mas não respondeu.\nNenhum arquivo "
                          "foi alterado. Feche a cópia aberta e tente de novo.%3")
        .arg(QDir::toNativeSeparators(dataFolder),
             holder > 0 ? QStringLiteral(" (processo %1)").arg(holder) : QString(),
             why.isEmpty() ? QString() : QStringLiteral("\n\n") + why);
}

QString readOnlyNotice(const DataFolderLock& lock)
{
    return lock.failureMessage() +
           QStringLiteral("\n\nO programa abre só para leitura: as entradas podem ser vistas e copiadas, mas nenhuma "
                          "alteração será gravada. Libere espaço ou permita gravação na pasta e abra o programa de "
                          "novo para fazer alterações.");
}

} // namespace

int runDesktop()
{
    // Drawn from its picture for every size the desktop may show, which the first window need not wait for.
    FirstPaint::then([] { QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/icon.svg"))); });
    // The main window may hide in the notification area with no window shown.
    QApplication::setQuitOnLastWindowClosed(false);
    QtPlatform platform;

    const QString dataFolder = DataLocation::ofThisProgram();
    if (const QString problem = DataLocation::prepare(dataFolder); !problem.isEmpty()) {
        return refuse(platform, problem);
    }
    DataFolderLock lock(dataFolder);
    WakeChannel wakeChannel(dataFolder);
    Program program(dataFolder, platform);
    switch (lock.take()) {
    case DataFolderLock::Outcome::Taken:
        if (!wakeChannel.listen()) {
            warn(platform, wakeChannel.failureMessage());
        }
        break;
    case DataFolderLock::Outcome::HeldByAnotherCopy: {
        const WakeChannel::Answer answer = WakeChannel::wake(dataFolder);
        return answer.woken ? 0 : refuse(platform, unansweredMessage(dataFolder, answer.problem));
    }
    case DataFolderLock::Outcome::Unavailable:
        // No copy holds the folder: this one may show the entries, and changes none.
        program.vault().setReadOnly(lock.failureMessage());
        warn(platform, readOnlyNotice(lock));
        break;
    }

    QObject::connect(&wakeChannel, &WakeChannel::wakeRequested, &program, &Program::bringToFront);
    QObject::connect(&program, &Program::finished, qApp, &QApplication::quit, Qt::QueuedConnection);
    if (!program.start()) {
        return 1;
    }
    // Its desktop bus connections wait for answers, which the first window need not wait for.
    std::unique_ptr<AwayWatch> awayWatch;
    FirstPaint::then([&awayWatch, &program] {
        awayWatch = std::make_unique<AwayWatch>();
        QObject::connect(awayWatch.get(), &AwayWatch::userAway, &program, &Program::lock);
    });
    return QApplication::exec();
}
