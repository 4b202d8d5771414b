#include "info/aboutwindow.h"

#include "info/authorsite.h"
#include "info/linklabel.h"
#include "platform/picture.h"
#include "platform/platform.h"
#include "platform/twips.h"

#include <QLabel>
#include <QUrl>

namespace {

QString labelStyles()
{
    return QStringLiteral("QLabel { color: #2a2a2a; font: 8pt 'DejaVu Sans'; }"
                          "QLabel#Label4 { color: #17222f; font: bold 10pt 'DejaVu Sans'; }"
                          "QLabel#Label1 { color: #7a5410; font: bold 8pt 'DejaVu Sans'; }"
                          "QLabel#Label5 { font: 7pt 'DejaVu Sans'; }"
                          "QLabel#Label2 { font: bold 8pt 'DejaVu Sans'; }"
                          "QLabel#lblSitedoautor { color: #1d4f91; text-decoration: underline; }"
                          "QLabel#lblFree { color: #17222f; font: bold 7pt 'DejaVu Sans'; }");
}

} // namespace

AboutWindow::AboutWindow(Platform& platform, QWidget* parent)
    : InfoDialog(QStringLiteral("frm5_Sobre"), QStringLiteral("Sobre o Programa"), QStringLiteral("about-background"),
                 labelStyles(), parent),
      m_platform(platform)
{
    setAccessibleName(QStringLiteral("Sobre"));
    auto* emblem = new QLabel(this);
    emblem->setObjectName(QStringLiteral("Image2"));
    emblem->setGeometry(Twips::rect(240, 780, 750, 750));
    emblem->setPixmap(Picture::pixmap(QStringLiteral("about-emblem"), emblem->size()));

    addLabel(QStringLiteral("Label4"), QStringLiteral(" Corvelo KeyHound"), Twips::rect(1080, 840, 2160, 330));
    addLabel(QStringLiteral("Label1"), QStringLiteral("v 1.0"), Twips::rect(1140, 1185, 900, 240));
    addLabel(QStringLiteral("Label5"), description(), Twips::rect(240, 1680, 2970, 1380))->setWordWrap(true);
    addLabel(QStringLiteral("Label2"), QStringLiteral("Autor:"), Twips::rect(240, 3150, 630, 210));
    addLabel(QStringLiteral("Label3"), QStringLiteral("Equipe Corvelo"), Twips::rect(900, 3150, 2250, 210));
    addAuthorLink();
    addLabel(QStringLiteral("lblFree"), QStringLiteral("Corvelo KeyHound é totalmente FREE!"),
             Twips::rect(120, 3615, 3180, 255))
        ->setAlignment(Qt::AlignCenter);
}

QString AboutWindow::description()
{
    return QStringLiteral("Corvelo KeyHound é um programa para guardar suas senhas, logins e endereços.") +
           QLatin1Char(' ') +
           QStringLiteral("Todas as passwords processadas pelo programa são apenas embaralhadas, não encriptadas: "
                          "isso as esconde de olhares curiosos, mas quem tiver os arquivos do programa as lê em "
                          "segundos.");
}

QLabel* AboutWindow::addLabel(const QString& objectName, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(objectName);
    label->setGeometry(geometry);
    return label;
}

void AboutWindow::addAuthorLink()
{
    auto* link = new LinkLabel(QStringLiteral("lblSitedoautor"), AuthorSite::hostName(), this);
    link->setGeometry(Twips::rect(240, 3330, 2940, 210));
    // The browser's own failures are its business: the window stays open either way.
    connect(link, &LinkLabel::clicked, this, [this] { m_platform.openAddress(QUrl(AuthorSite::address())); });
}
