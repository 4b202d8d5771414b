#pragma once

#include "platform/platform.h"

#include <QPointer>

class QSystemTrayIcon;

// The real desktop, through Qt.
class QtPlatform : public Platform
{
    Q_OBJECT

public:
    explicit QtPlatform(QObject* parent = nullptr);
    ~QtPlatform() override;

    void showMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) override;
    void beep() override;
    void copySecret(const QString& text) override;
    void forgetCopiedSecret() override;
    void openAddress(const QUrl& address) override;
    bool isTrayAvailable() const override;
    void showTrayIcon(const QIcon& icon, const QString& tip) override;
    void removeTrayIcon() override;
    bool isTrayIconShown() const override;

private:
    QPointer<QSystemTrayIcon> m_trayIcon;
    QString m_copiedSecret;
};
