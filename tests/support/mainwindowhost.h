#pragma once

#include "mainwindow/entrylistmodel.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/pagelist.h"
#include "support/input.h"
#include "support/recordingplatform.h"
#include "support/vaultfixture.h"

#include <QLabel>

// A main window shown over a vault holding the records, with today's date fixed.
struct MainWindowHost : VaultFixture
{
    explicit MainWindowHost(const QList<QByteArray>& records, QDate today = QDate(2026, 3, 15))
    {
        addRecords(records);
        window = std::make_unique<MainWindow>(vault, platform);
        window->setClock([today] { return QDateTime(today, QTime(10, 22, 41)); });
        // As the program does, which sends a click on the icon to its login window instead while it is locked.
        QObject::connect(&platform, &Platform::trayIconClicked, window.get(), &MainWindow::bringToFront);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    QWidget* child(const char* name) const { return ::child(window.get(), name); }
    QString label(const char* name) const { return window->findChild<QLabel*>(QLatin1String(name))->text(); }
    PageList* list() const { return window->findChild<PageList*>(QStringLiteral("lstLembretes")); }
    QModelIndex row(int row) const { return list()->model()->index(row, 0); }
    QPoint rowCentre(int row) const { return list()->visualRect(this->row(row)).center(); }
    void clickRow(int row) const { QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(row)); }
    void doubleClickRow(int row) const
    {
        clickRow(row);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(row));
    }
    // The titles of the rows shown, as the list draws them after the expiry date.
    QStringList titles() const
    {
        QStringList shown;
        for (int row = 0; row < list()->count(); ++row) {
            shown.append(this->row(row).data(EntryListModel::TitleRole).toString());
        }
        return shown;
    }

    RecordingPlatform platform;
    std::unique_ptr<MainWindow> window;
};
