#include "entries/detailwindow.h"

#include "access/fieldvalidator.h"
#include "entries/addresstarget.h"
#include "entries/entryfields.h"
#include "entries/entrywidgets.h"
#include "generator/passwordmenu.h"
#include "platform/noticelabel.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/taborder.h"
#include "platform/taskbarhint.h"
#include "platform/twips.h"
#include "platform/windowdragger.h"
#include "platform/windowshape.h"
#include "shape/outline.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

using EntryWidgets::LabelRole;

namespace {

constexpr int windowWidth = 2670;
constexpr int windowHeight = 3420;
constexpr int margin = 120;
constexpr int boxWidth = windowWidth - 2 * margin;

} // namespace

DetailWindow::DetailWindow(Platform& platform, const QString& dataFolder, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_platform(platform), m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("frm2_Esquerda"));
    setWindowTitle(Platform::programTitle());
    setAccessibleName(QStringLiteral("Detalhes"));
    setAttribute(Qt::WA_DeleteOnClose);
    keepOutOfTaskbar(this);
    setFixedSize(Twips::size(windowWidth, windowHeight));
    EntryWidgets::dress(this);
    applyWindowOutline(this, Outline::build(Outline::detailWindow()));
    new WindowDragger(this);

    EntryWidgets::label(this, QStringLiteral("lblCabecalho"), QStringLiteral("Detalhes"), LabelRole::Heading, margin,
                        60, 1800, 315);
    const auto caption = [this](const char* name, const char* text, int top, QWidget* box) {
        EntryWidgets::label(this, QString::fromLatin1(name), QString::fromUtf8(text), LabelRole::Caption, margin, top,
                            1200, 210)
            ->setBuddy(box);
    };
    m_title = EntryWidgets::lineBox(this, QStringLiteral("txtTitulo"), EntryRecord::Title, margin, 660, boxWidth, 285);
    caption("Label3", "Título", 450, m_title);
    m_address =
        EntryWidgets::lineBox(this, QStringLiteral("txtUrl"), EntryRecord::Address, margin, 1230, boxWidth, 285);
    caption("Label4", "URL", 1020, m_address);
    m_login = EntryWidgets::lineBox(this, QStringLiteral("txtLogin"), EntryRecord::Login, margin, 1800, boxWidth, 285);
    caption("Label1", "Login", 1590, m_login);
    m_password =
        EntryWidgets::lineBox(this, QStringLiteral("txtSenha"), EntryRecord::Password, margin, 2370, boxWidth, 285);
    PasswordMenu::addTo(m_password, KeyFilter::CharacterSet::EntryWindow);
    caption("Label2", "Senha", 2160, m_password);

    m_notice = new NoticeLabel(QStringLiteral("lblMensagem"), this);
    // Over the title, clear of the pointed bottom of the outline; room for three lines.
    m_notice->setGeometry(Twips::rect(margin, 405, boxWidth, 585));
    FieldValidator::reportRefusals(this, m_platform, m_notice);

    auto* openButton = new PictureButton(QStringLiteral("btnUrl"), QStringLiteral("detail-url"),
                                         QStringLiteral(" Acessar URL "), this);
    openButton->setGeometry(Twips::rect(windowWidth - margin - 1080, 990, 1080, 225));
    connect(openButton, &PictureButton::clicked, this, &DetailWindow::openAddress);

    auto* closeButton = new PictureButton(QStringLiteral("btnFechar"), QStringLiteral("button-close"),
                                          QStringLiteral(" Fechar "), this);
    closeButton->setGeometry(Twips::rect(windowWidth - 90 - 315, 60, 315, 315));
    connect(closeButton, &PictureButton::clicked, this, &QWidget::close);
    setTabOrderByName(this, {QStringLiteral("btnFechar"), QStringLiteral("txtTitulo"), QStringLiteral("btnUrl"),
                             QStringLiteral("txtUrl"), QStringLiteral("txtLogin"), QStringLiteral("txtSenha")});
}

void DetailWindow::openAddress()
{
    const QUrl url = AddressTarget(m_dataFolder, QDir::homePath()).urlFor(m_address->text());
    if (url.isEmpty()) {
        // Nothing to open.
        m_platform.beep();
        return;
    }
    m_platform.openAddress(url);
}

void DetailWindow::fill(const EntryFields& entry)
{
    const auto show = [](QLineEdit* box, const QString& text) {
        box->setText(text);
        // A long address shows its beginning, where the scheme and the site are.
        box->setCursorPosition(0);
    };
    show(m_title, entry.title);
    show(m_address, entry.address);
    show(m_login, entry.login);
    show(m_password, entry.password);
}

EntryFields DetailWindow::fields() const
{
    EntryFields entry;
    entry.title = m_title->text();
    entry.address = m_address->text();
    entry.login = m_login->text();
    entry.password = m_password->text();
    return entry;
}

void DetailWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    clipToOutline(painter, this);
    Picture::paint(painter, QStringLiteral("detail-background"), rect());
}

void DetailWindow::closeEvent(QCloseEvent* event)
{
    emit windowClosed();
    QWidget::closeEvent(event);
}
