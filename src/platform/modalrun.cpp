#include "platform/modalrun.h"

#include <QDialog>
#include <QEventLoop>

namespace {

int running = 0;

} // namespace

void runModal(QDialog& dialog)
{
    QEventLoop loop;
    bool answered = false;
    const QMetaObject::Connection answer = QObject::connect(&dialog, &QDialog::finished, &loop, [&] {
        answered = true;
        loop.quit();
    });
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    if (!answered) {
        ++running;
        loop.exec(QEventLoop::DialogExec);
        --running;
    }
    QObject::disconnect(answer);
}

int runningModalDialogs()
{
    return running;
}
