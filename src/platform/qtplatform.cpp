#include "platform/qtplatform.h"

#include "platform/modalrun.h"
#include "platform/secretmimedata.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>

QtPlatform::QtPlatform(QObject* parent) : Platform(parent), m_clipboardTimer(new QTimer(this))
{
    m_clipboardTimer->setObjectName(QStringLiteral("clipboardTimer"));
    m_clipboardTimer->setSingleShot(true);
    m_clipboardTimer->setInterval(secretLifetime);
    connect(m_clipboardTimer, &QTimer::timeout, this, &QtPlatform::forgetCopiedSecret);
    // Also before the clipboard is handed to a clipboard manager at exit.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QtPlatform::forgetCopiedSecret);
}

QtPlatform::~QtPlatform()
{
    removeTrayIcon();
}

void QtPlatform::showMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    switch (icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    runModal(box);
}

bool QtPlatform::askYesNo(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    QPushButton* yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    runModal(box);
    return box.clickedButton() == yes;
}

void QtPlatform::beep()
{
    QApplication::beep();
}

void QtPlatform::copySecret(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setMimeData(makeSecretMimeData(text));
    m_copiedSecret = text;
    m_clipboardTimer->start();
}

void QtPlatform::forgetCopiedSecret()
{
    m_clipboardTimer->stop();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!m_copiedSecret.isNull() && clipboard->text() == m_copiedSecret) {
        clipboard->clear();
    }
    m_copiedSecret.clear();
}

void QtPlatform::openAddress(const QUrl& address)
{
    if (!QDesktopServices::openUrl(address)) {
        showMessage(QApplication::activeWindow(),
                    QStringLiteral("Não foi possível abrir o endereço %1.\nNenhum programa do sistema o abriu.")
                        .arg(address.toDisplayString()),
                    programTitle(), MessageIcon::Exclamation);
    }
}

bool QtPlatform::isTrayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtPlatform::showTrayIcon(const QIcon& icon, const QString& tip)
{
    if (m_trayIcon) {
        return;
    }
    m_trayIcon = new QSystemTrayIcon(icon, this);
    m_trayIcon->setToolTip(tip);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context) {
            emit trayIconClicked();
        }
    });
    m_trayIcon->show();
}

void QtPlatform::setTrayTip(const QString& tip)
{
    if (m_trayIcon) {
        m_trayIcon->setToolTip(tip);
    }
}

void QtPlatform::removeTrayIcon()
{
    delete m_trayIcon;
}
