#pragma once

#include "platform/platform.h"

#include <QPointer>

#include <chrono>

class QSystemTrayIcon;
class QTimer;

// The real desktop, through Qt.
class QtPlatform : public Platform
{
    Q_OBJECT

public:
    // How long a copied login or password stays on the clipboard; the timer counting it is the child
    // "clipboardTimer". The clipboard also forgets it when the application quits.
    static constexpr std::chrono::seconds secretLifetime{30};

    explicit QtPlatform(QObject* parent = nullptr);
    ~QtPlatform() override;

    void showMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& title) override;
    void beep() override;
    void copySecret(const QString& text) override;
    void forgetCopiedSecret() override;
    void openAddress(const QUrl& address) override;
    bool isTrayAvailable() const override;
    void showTrayIcon(const QIcon& icon, const QString& tip) override;
    void setTrayTip(const QString& tip) override;
    void removeTrayIcon() override;

private:
    QPointer<QSystemTrayIcon> m_trayIcon;
    QString m_copiedSecret;
    QTimer* m_clipboardTimer;
};
