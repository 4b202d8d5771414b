#pragma once

#include <QDialog>

class NoticeLabel;
class Platform;
class QLineEdit;
class QRadioButton;
class Vault;

// frm6_Configurar: changes the master password and whether it is asked at start. Any change needs the current
// password and the new one typed twice. The dialog ends with accept() after a stored change and with reject() when
// closed; the opener owns the instance.
class SettingsWindow : public QDialog
{
    Q_OBJECT

public:
    SettingsWindow(Vault& vault, Platform& platform, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    void createTitle();
    void createStartOption();
    void createPasswordBoxes();
    void createFactoryPasswordHint();
    QLineEdit* addPasswordBox(const QString& name, const QRect& place);
    void save();

    Vault& m_vault;
    Platform& m_platform;
    QRadioButton* m_askAtStart = nullptr;
    QRadioButton* m_dontAsk = nullptr;
    QLineEdit* m_currentPassword = nullptr;
    QLineEdit* m_newPassword = nullptr;
    QLineEdit* m_repetition = nullptr;
    // Why a typed or pasted text was refused.
    NoticeLabel* m_notice = nullptr;
};
