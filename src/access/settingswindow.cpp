#include "access/settingswindow.h"

#include "access/keyfilter.h"
#include "access/passwordchange.h"
#include "access/skin.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/windowshape.h"
#include "storage/vault.h"
#include "storage/windows1252.h"

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
    setModal(true);
    setFixedSize(windowSize);
    setAttribute(Qt::WA_TranslucentBackground);
    applyWindowOutline(this, Skin::roundedOutline(windowSize));
    createControls();
}

void SettingsWindow::createControls()
{
    setStyleSheet(Skin::styleSheet() + ownStyle());
    createTitle();
    createStartOption();
    createPasswordBoxes();
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
    Skin::addLabel(QStringLiteral("lblSenhaAtual"), QStringLiteral("Senha atual"), QRect(30, 170, 140, 28), this);
    m_currentPassword = addPasswordBox(QStringLiteral("txtSenhaAtual"), QRect(172, 170, 146, 28));
    m_currentPassword->setEchoMode(QLineEdit::Password);
    Skin::addLabel(QStringLiteral("Label3"), QStringLiteral("Nova senha"), QRect(30, 208, 140, 28), this);
    m_newPassword = addPasswordBox(QStringLiteral("txtNovaSenha"), QRect(172, 208, 146, 28));
    Skin::addLabel(QStringLiteral("Label4"), QStringLiteral("Repetir nova senha"), QRect(30, 246, 140, 28), this);
    m_repetition = addPasswordBox(QStringLiteral("txtRepSenha"), QRect(172, 246, 146, 28));
    Skin::addLabel(QStringLiteral("Label1"), QStringLiteral("(Máximo 12 caracteres em cada entrada)"),
                   QRect(30, 282, 288, 18), this)
        ->setAlignment(Qt::AlignCenter);

    setTabOrder(m_currentPassword, m_newPassword);
    setTabOrder(m_newPassword, m_repetition);
    setTabOrder(m_repetition, m_askAtStart);
    m_currentPassword->setFocus();

    auto* ok = new PictureButton(QStringLiteral("btnOk"), QStringLiteral("settings-update"),
                                 QStringLiteral(" Atualizar "), this);
    ok->setGeometry(292, 322, 36, 36);
    ok->setPressedLook(true);
    connect(ok, &QAbstractButton::clicked, this, &SettingsWindow::save);
}

QLineEdit* SettingsWindow::addPasswordBox(const QString& name, const QRect& place)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    box->setGeometry(place);
    box->setMaxLength(passwordLimit);
    // Typed, pasted or dropped: the same characters only.
    box->setValidator(new CharacterSetValidator(KeyFilter::CharacterSet::Settings, box));
    return box;
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
        m_platform.showMessage(this, saved.message, Platform::programTitle(),
                               changedOutside ? Platform::MessageIcon::Exclamation : Platform::MessageIcon::Critical);
        return;
    }
    m_platform.showMessage(this, QStringLiteral("Dados atualizados com sucesso!"));
    accept();
}
