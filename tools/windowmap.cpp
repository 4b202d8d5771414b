// keyhound-window-map DATAFOLDER
// Builds the program's windows against the data folder, off screen, and prints where their named controls sit, one
// line each: "window control left top width height", in pixels from the window's top-left corner. The first rows of
// every list come as "control:row". Scripts that drive the program from outside (scripts/screenshots) use it to find
// the controls without knowing the layout.
#include "access/loginwindow.h"
#include "access/settingswindow.h"
#include "entries/newentrywindow.h"
#include "info/aboutwindow.h"
#include "info/helpwindow.h"
#include "mainwindow/mainwindow.h"
#include "storage/vault.h"
#include "support/recordingplatform.h"
#include "wording/storagewording.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTextStream>

#include <memory>

namespace {

void printRect(QTextStream& out, const QString& window, const QString& control, const QRect& rect)
{
    out << window << ' ' << control << ' ' << rect.x() << ' ' << rect.y() << ' ' << rect.width() << ' ' << rect.height()
        << '\n';
}

void printRows(QTextStream& out, QWidget* window, QAbstractItemView* view)
{
    if (!view->model()) {
        return;
    }
    const int rows = std::min(view->model()->rowCount(view->rootIndex()), 3);
    for (int row = 0; row < rows; ++row) {
        const QRect rect = view->visualRect(view->model()->index(row, 0, view->rootIndex()));
        const QPoint topLeft = view->viewport()->mapTo(window, rect.topLeft());
        printRect(out, window->objectName(), view->objectName() + QLatin1Char(':') + QString::number(row),
                  QRect(topLeft, rect.size()));
    }
}

void printWindow(QTextStream& out, QWidget* window)
{
    window->show();
    QApplication::processEvents();
    printRect(out, window->objectName(), QStringLiteral("."), QRect(QPoint(0, 0), window->size()));
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (control->objectName().isEmpty() || control->objectName().startsWith(QLatin1String("qt_")) ||
            !control->isVisibleTo(window)) {
            continue;
        }
        printRect(out, window->objectName(), control->objectName(),
                  QRect(control->mapTo(window, QPoint(0, 0)), control->size()));
        if (auto* view = qobject_cast<QAbstractItemView*>(control)) {
            printRows(out, window, view);
        }
    }
    window->hide();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (arguments.size() != 2) {
        err << "Uso: keyhound-window-map PASTA\n";
        return 1;
    }
    Vault vault(arguments.at(1));
    const StorageResult opened = vault.open();
    if (!opened.ok()) {
        err << StorageWording::message(opened) << '\n';
        return 1;
    }
    RecordingPlatform platform;
    QTextStream out(stdout);
    const std::unique_ptr<QWidget> windows[] = {
        std::make_unique<MainWindow>(vault, platform),
        std::make_unique<NewEntryWindow>(vault, platform),
        std::make_unique<SettingsWindow>(vault, platform),
        std::make_unique<LoginWindow>(vault, platform),
        std::make_unique<HelpWindow>(),
        std::make_unique<AboutWindow>(platform),
    };
    for (const auto& window : windows) {
        printWindow(out, window.get());
    }
    return 0;
}
