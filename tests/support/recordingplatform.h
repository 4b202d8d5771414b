#pragma once

#include "platform/platform.h"

#include <QList>
#include <QUrl>

#include <functional>

// A platform that only writes down what it was asked to do. Tests run the real windows against it.
class RecordingPlatform : public Platform
{
    Q_OBJECT

public:
    struct Message
    {
        QString text;
        QString title;
        MessageIcon icon;
    };

    using Platform::Platform;

    void showMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& title) override;
    void beep() override { ++beeps; }
    void copySecret(const QString& text) override { clipboard = text; }
    void forgetCopiedSecret() override { clipboard.clear(); }
    void openAddress(const QUrl& address) override { openedAddresses.append(address); }
    bool isTrayAvailable() const override { return trayAvailable; }
    void showTrayIcon(const QIcon& icon, const QString& tip) override;
    void setTrayTip(const QString& tip) override
    {
        if (trayIconShown) {
            trayTip = tip;
        }
    }
    void removeTrayIcon() override { trayIconShown = false; }

    // Behaves as a press on the icon in the notification area.
    void clickTrayIcon() { emit trayIconClicked(); }

    QList<Message> messages;
    // The questions asked, and the answer every question gets.
    QStringList questions;
    bool answer = false;
    int beeps = 0;
    QString clipboard;
    QList<QUrl> openedAddresses;
    bool trayAvailable = true;
    bool trayIconShown = false;
    QString trayTip;
    // Runs while a message box would be open, before showMessage returns (to act inside a modal moment).
    std::function<void(const Message&)> onMessage;
};
