#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QUrl;
class QWidget;

// Everything the windows ask of the desktop: message boxes, the beep, the clipboard, opening an address and the
// notification-area icon. Windows never call Qt for these directly, so that tests can run them against a
// RecordingPlatform and see what the user would have seen.
class Platform : public QObject
{
    Q_OBJECT

public:
    enum class MessageIcon
    {
        None,
        Exclamation,
        Critical,
    };

    using QObject::QObject;

    // A message box with an OK button only; returns when the user has closed it.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& title = programTitle(),
                             MessageIcon icon = MessageIcon::None) = 0;
    // A question with the buttons "Sim" and "Não", "Não" the default; true when the user chose "Sim".
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& title = programTitle()) = 0;
    virtual void beep() = 0;

    // Replaces the clipboard's content with the text, marked as a secret for clipboard managers. The clipboard forgets
    // it thirty seconds later, unless something else was copied since.
    virtual void copySecret(const QString& text) = 0;
    // Empties the clipboard if it still holds the last secret copied; called when the program ends.
    virtual void forgetCopiedSecret() = 0;

    // Hands the address to the system, to be opened by whatever is associated with it; when the system finds nothing to
    // open it with, the user is told.
    virtual void openAddress(const QUrl& address) = 0;

    virtual bool isTrayAvailable() const = 0;
    // Puts the icon into the notification area; a second call while it is there changes nothing.
    virtual void showTrayIcon(const QIcon& icon, const QString& tip) = 0;
    // Changes the tip of the icon, when it is there.
    virtual void setTrayTip(const QString& tip) = 0;
    virtual void removeTrayIcon() = 0;

    static QString programTitle() { return QStringLiteral("Corvelo KeyHound"); }

signals:
    // A left-button press or a right-button click on the notification-area icon.
    void trayIconClicked();
};
