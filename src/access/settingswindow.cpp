#include "access/settingswindow.h"

#include "access/fieldvalidator.h"
#include "access/passwordchange.h"
#include "access/skin.h"
#include "platform/noticelabel.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/taborder.h"
#include "storage/vault.h"
#include "storage/windows1252.h"
#include "wording/storagewording.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>

namespace {

constexpr QSize windowSize(348, 372);
constexpr int passwordLimit = 12;

QString ownStyle()
{
    return QStringLiteral(
        "#Label6 { color: #e8edf3; font-size: 19px; font-weight: bold; }"
        "#lblUsarSenha, #lblSenhaAtual, #Label3, #Label4 { color: #2a2a2a; font-size: 12px; font-weight: bold; }"
        "#Label1 { color: #5b5344; font-size: 11px; font-style: italic; }"
        "#lblSenhaFabrica { color: #8a4b12; font-size: 10px; }"
        "QRadioButton { color: #2a2a2a; font-size: 12px; font-weight: bold; spacing: 6px; }"
        "QRadioButton::indicator { width: 18px; height: 18px; }"
        "QRadioButton::indicator:unchecked { image: url(:/art/settings-option-off.svg); }"
        "QRadioButton::indicator:checked { image: url(:/art/settings-option-on.svg); }");
}

QRadioButton* addOption(const QString& name, const QString& text, const QRect& place, QWidget* window)
{
    auto* option = new QRadioButton(text, window);
    option->setObjectName(name);
    option->setGeometry(place);
    return option;
}

} // namespace

SettingsWindow::SettingsWindow(Vault& vault, Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_vault(vault), m_platform(platform)
{
    setObjectName(QStringLiteral("frm6_Configurar"));
    setWindowTitle(Platform::programTitle());
    setAccessibleName(QStringLiteral("Configuração"));
    setModal(true);
    setFixedSize(windowSize);
    createControls();
}

void SettingsWindow::createControls()
{
    setStyleSheet(Skin::styleSheet() + ownStyle());
    createTitle();
    createStartOption();
    createPasswordBoxes();
    createFactoryPasswordHint();
    m_notice = new NoticeLabel(QStringLiteral("lblMensagem"), this);
    // Over the note on the limit, room for two lines.
    m_notice->setGeometry(30, 276, 288, 34);
    FieldValidator::reportRefusals(this, m_platform, m_notice);
}

void SettingsWindow::createTitle()
{
    Skin::addPicture(QStringLiteral("Image1"), QStringLiteral("settings-emblem"), QRect(18, 14, 38, 38), this);
    Skin::addLabel(QStringLiteral("Label6"), QStringLiteral("Configuração"), QRect(66, 20, 230, 26), this);

    auto* close = new PictureButton(QStringLiteral("btnFechar"), QStringLiteral("button-close"),
                                    QStringLiteral(" Fechar "), this);
    close->setGeometry(316, 12, 20, 20);
    close->setPressedLook(true);
    connect(close, &QAbstractButton::clicked, this, &QDialog::reject);
}

void SettingsWindow::createStartOption()
{
    Skin::addLabel(QStringLiteral("lblUsarSenha"), QStringLiteral("Pedir Senha ao inicializar o programa?"),
                   QRect(30, 78, 292, 20), this);
    m_askAtStart = addOption(QStringLiteral("optSim"), QStringLiteral("SIM"), QRect(70, 106, 90, 24), this);
    m_dontAsk = addOption(QStringLiteral("optNao"), QStringLiteral("NÃO"), QRect(190, 106, 90, 24), this);
    (m_vault.settings().asksPasswordAtStart() ? m_askAtStart : m_dontAsk)->setChecked(true);
}

void SettingsWindow::createPasswordBoxes()
{
    m_currentPassword = addPasswordBox(QStringLiteral("txtSenhaAtual"), QRect(172, 170, 146, 28));
    m_currentPassword->setEchoMode(QLineEdit::Password);
    Skin::addLabel(QStringLiteral("lblSenhaAtual"), QStringLiteral("Senha atual"), QRect(30, 170, 140, 28), this)
        ->setBuddy(m_currentPassword);
    m_newPassword = addPasswordBox(QStringLiteral("txtNovaSenha"), QRect(172, 208, 146, 28));
    Skin::addLabel(QStringLiteral("Label3"), QStringLiteral("Nova senha"), QRect(30, 208, 140, 28), this)
        ->setBuddy(m_newPassword);
    m_repetition = addPasswordBox(QStringLiteral("txtRepSenha"), QRect(172, 246, 146, 28));
    Skin::addLabel(QStringLiteral("Label4"), QStringLiteral("Repetir nova senha"), QRect(30, 246, 140, 28), this)
        ->setBuddy(m_repetition);
    Skin::addLabel(QStringLiteral("Label1"), QStringLiteral("(Máximo 12 caracteres em cada entrada)"),
                   QRect(30, 282, 288, 18), this)
        ->setAlignment(Qt::AlignCenter);

    m_currentPassword->setFocus();

    auto* ok = new PictureButton(QStringLiteral("btnOk"), QStringLiteral("settings-update"),
                                 QStringLiteral(" Atualizar "), this);
    ok->setGeometry(292, 322, 36, 36);
    ok->setPressedLook(true);
    connect(ok, &QAbstractButton::clicked, this, &SettingsWindow::save);
    setTabOrderByName(this, {QStringLiteral("btnFechar"), QStringLiteral("optSim"), QStringLiteral("optNao"),
                             QStringLiteral("txtSenhaAtual"), QStringLiteral("txtNovaSenha"),
                             QStringLiteral("txtRepSenha"), QStringLiteral("btnOk")});
}

QLineEdit* SettingsWindow::addPasswordBox(const QString& name, const QRect& place)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    box->setGeometry(place);
    // Typed, pasted or dropped: the same characters and limit.
    new FieldValidator(FieldRule(QStringLiteral("A senha"), passwordLimit, FieldRule::Characters::Settings), box);
    return box;
}

// Until the master password is changed, the new user finds the factory one where the settings ask for it.
void SettingsWindow::createFactoryPasswordHint()
{
    if (m_vault.settings().masterPassword != Settings::factoryPassword) {
        return;
    }
    Skin::addLabel(QStringLiteral("lblSenhaFabrica"),
                   QStringLiteral("Senha de fábrica: %1").arg(QLatin1String(Settings::factoryPassword)),
                   QRect(30, 192, 140, 14), this);
}

void SettingsWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Picture::paint(painter, QStringLiteral("settings-background"), rect());
}

void SettingsWindow::save()
{
    const QString refusal = PasswordChange::refusal(m_vault.settings().masterPassword, m_currentPassword->text(),
                                                    m_newPassword->text(), m_repetition->text());
    if (!refusal.isEmpty()) {
        m_platform.showMessage(this, refusal);
        return;
    }
    const StorageResult saved =
        m_vault.saveSettings(Windows1252::fromUnicode(m_newPassword->text()), m_askAtStart->isChecked());
    if (!saved.ok()) {
        const bool changedOutside = saved.status == StorageResult::ChangedOutside;
        m_platform.showMessage(this, StorageWording::message(saved), Platform::programTitle(),
                               changedOutside ? Platform::MessageIcon::Exclamation : Platform::MessageIcon::Critical);
        return;
    }
    if (!saved.notes.isEmpty()) {
        m_platform.showMessage(this, StorageWording::message(saved), Platform::programTitle(),
                               Platform::MessageIcon::Exclamation);
    }
    m_platform.showMessage(this, QStringLiteral("Dados atualizados com sucesso!"));
    accept();
}
