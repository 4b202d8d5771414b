#include "access/loginwindow.h"

#include "access/masterpassword.h"
#include "access/skin.h"
#include "info/authorsite.h"
#include "info/linklabel.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/taborder.h"
#include "platform/windowdragger.h"
#include "storage/vault.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QUrl>

namespace {

constexpr QSize windowSize(380, 232);
// The window sits this far above the screen's centre line, like the main window.
constexpr int aboveCentre = 20;

QString ownStyle()
{
    return QStringLiteral("#Label6 { color: #e8edf3; font-size: 13px; letter-spacing: 3px; }"
                          "#Label2 { color: #f6d27a; font-size: 24px; font-weight: bold; }"
                          "#Label1 { color: #2a2a2a; font-size: 12px; font-weight: bold; }"
                          "#lblSitedoautor { color: #f6d27a; font-size: 11px; text-decoration: underline; }"
                          "#lblSitedoautor:hover { color: #fbe3a3; }"
                          "QLineEdit { font-size: 14px; }");
}

} // namespace

LoginWindow::LoginWindow(const Vault& vault, Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_vault(vault), m_platform(platform)
{
    setObjectName(QStringLiteral("frm0_Logar"));
    setWindowTitle(Platform::programTitle());
    setFixedSize(windowSize);
    createControls();
    new WindowDragger(this);
    placeAboveScreenCentre();
}

void LoginWindow::createControls()
{
    setStyleSheet(Skin::styleSheet() + ownStyle());
    createTitle();
    createPasswordPanel();
    createAuthorLink();
    setTabOrderByName(this, {QStringLiteral("btnFechar"), QStringLiteral("txtLogar"), QStringLiteral("btnOk")});
}

void LoginWindow::createTitle()
{
    // The product's name and picture are part of the background: the window can be dragged by them.
    Skin::addPicture(QStringLiteral("Image1"), QStringLiteral("login-emblem"), QRect(22, 20, 72, 72), this)
        ->setAttribute(Qt::WA_TransparentForMouseEvents);
    Skin::addLabel(QStringLiteral("Label6"), QStringLiteral("Corvelo"), QRect(108, 30, 220, 20), this)
        ->setAttribute(Qt::WA_TransparentForMouseEvents);
    Skin::addLabel(QStringLiteral("Label2"), QStringLiteral("Keyhound"), QRect(106, 50, 230, 34), this)
        ->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* close = new PictureButton(QStringLiteral("btnFechar"), QStringLiteral("button-close"),
                                    QStringLiteral(" Fechar "), this);
    close->setGeometry(348, 12, 20, 20);
    close->setPressedLook(true);
    connect(close, &QAbstractButton::clicked, this, &QWidget::close);
}

void LoginWindow::createPasswordPanel()
{
    QLabel* caption =
        Skin::addLabel(QStringLiteral("Label1"), QStringLiteral("Digite a senha"), QRect(36, 114, 200, 18), this);
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    Skin::addPicture(QStringLiteral("imgLogar"), QStringLiteral("login-key"), QRect(34, 138, 30, 30), this)
        ->setToolTip(QStringLiteral(" Inserir password "));

    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtLogar"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setGeometry(70, 138, 228, 30);
    caption->setBuddy(m_password);
    m_password->setFocus();
    connect(m_password, &QLineEdit::returnPressed, this, &LoginWindow::checkPassword);

    auto* ok = new PictureButton(QStringLiteral("btnOk"), QStringLiteral("button-ok"), QStringLiteral(" Logar "), this);
    ok->setGeometry(312, 137, 32, 32);
    ok->setPressedLook(true);
    connect(ok, &QAbstractButton::clicked, this, &LoginWindow::checkPassword);
}

void LoginWindow::createAuthorLink()
{
    auto* link = new LinkLabel(QStringLiteral("lblSitedoautor"), AuthorSite::hostName(), this);
    link->setGeometry(20, 198, 340, 20);
    link->setAlignment(Qt::AlignCenter);
    link->setToolTip(QStringLiteral(" %1 ").arg(AuthorSite::address()));
    connect(link, &LinkLabel::clicked, this, [this] { m_platform.openAddress(QUrl(AuthorSite::address())); });
}

void LoginWindow::placeAboveScreenCentre()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2 - aboveCentre);
}

void LoginWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Picture::paint(painter, QStringLiteral("login-background"), rect());
}

void LoginWindow::checkPassword()
{
    if (m_finished) {
        return;
    }
    if (MasterPassword::matches(m_password->text(), m_vault.settings().masterPassword)) {
        finish(true);
        return;
    }
    m_platform.showMessage(this, QStringLiteral("Senha não confere!"));
    if (!m_retries) {
        finish(false);
        return;
    }
    m_password->clear();
    m_password->setFocus();
}

void LoginWindow::finish(bool accepted)
{
    m_finished = true;
    m_password->clear();
    if (accepted) {
        emit passwordAccepted();
    } else {
        emit programEnded();
    }
    close();
}

void LoginWindow::closeEvent(QCloseEvent* event)
{
    if (!m_finished) {
        m_finished = true;
        emit programEnded();
    }
    event->accept();
}
