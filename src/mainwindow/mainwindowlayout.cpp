#include "mainwindow/mainwindowlayout.h"

#include "mainwindow/listpager.h"
#include "mainwindow/pagelist.h"
#include "mainwindow/rowdelegate.h"
#include "platform/noticelabel.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/screenplace.h"
#include "platform/taborder.h"
#include "platform/twips.h"
#include "platform/windowshape.h"
#include "search/searchline.h"
#include "shape/outline.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace {

const QSize windowSize = Twips::size(4500, 5400);
// The window stands this far above the centre of the screen.
constexpr int aboveCentre = 20;
const QRect listPlace(30, 100, 240, ListPager::pageSize* RowDelegate::rowHeight);
// The list picture, tiled behind the rows.
const QSize image1Size(280, 260);
constexpr int searchLineHeight = 16;

const QString captionStyle = QStringLiteral("QLabel { color: #e8edf3; }");
const QString valueStyle = QStringLiteral("QLabel { color: #f6d27a; font-weight: bold; }");
const QString boxStyle =
    QStringLiteral("QLineEdit { background: #f4efe3; color: #2a2a2a; border: 1px solid #0d141c; border-radius: 3px; "
                   "padding: 0 4px; selection-background-color: #c88a1e; selection-color: #ffffff; }");

const QString noticeStyle = QStringLiteral(
    "QLabel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f6d27a, stop:1 #e2aa45); color: #17222f; "
    "border: 1px solid #8a5e12; border-radius: 5px; font-weight: bold; padding: 0 6px; }");

} // namespace

MainWindowLayout::MainWindowLayout(QWidget* window, EntryListModel& entries) : m_window(window)
{
    window->setObjectName(QStringLiteral("frm0_Inicial"));
    window->setWindowTitle(Platform::programTitle());
    window->setFixedSize(windowSize);
    QFont windowFont(QStringLiteral("DejaVu Sans"));
    windowFont.setPixelSize(11);
    window->setFont(windowFont);
    applyWindowOutline(window, Outline::build(Outline::mainWindow()));
    placeOnScreen();

    buildList(entries);
    buildTitleBar();
    buildEntryBoxes();
    buildPageArrows();
    buildBottomButtons();
    setTabOrderByName(window, {QStringLiteral("btnMinimizar"), QStringLiteral("btnTray"), QStringLiteral("btnFechar"),
                               QStringLiteral("txtLogin"), QStringLiteral("btnCopyLogin"), QStringLiteral("txtSenha"),
                               QStringLiteral("btnCopySenha"), QStringLiteral("imgRetorna"),
                               QStringLiteral("lstLembretes"), QStringLiteral("imgAvanca"), QStringLiteral("btnConfig"),
                               QStringLiteral("imgEscrever"), QStringLiteral("imgAjuda"), QStringLiteral("imgSobre")});
    buildNoticeAndSearch();
}

QPoint MainWindowLayout::modalOffset()
{
    return Twips::point(530, 580);
}

QRect MainWindowLayout::listPlace()
{
    return ::listPlace;
}

void MainWindowLayout::placeOnScreen() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    m_window->move(placeOnScreenCentre(screen->availableGeometry(), windowSize, aboveCentre));
}

QLabel* MainWindowLayout::addLabel(const QString& name, const QString& caption, const QRect& place) const
{
    auto* label = new QLabel(caption, m_window);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setStyleSheet(captionStyle);
    // Labels are part of the window's surface: a press on them drags the window.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QList<QLabel*> MainWindowLayout::addHiddenLabels(const QList<const char*>& names) const
{
    QList<QLabel*> labels;
    for (const char* name : names) {
        QLabel* label = addLabel(QLatin1String(name), QString(), QRect(0, windowSize.height(), 60, 13));
        label->hide();
        labels.append(label);
    }
    return labels;
}

void MainWindowLayout::buildTitleBar()
{
    minimise = new PictureButton(QStringLiteral("btnMinimizar"), QStringLiteral("main-minimize"),
                                 QStringLiteral(" Minimizar "), m_window);
    minimise->setGeometry(Twips::rect(3440, 60, 315, 315));
    tray = new PictureButton(QStringLiteral("btnTray"), QStringLiteral("main-tray"),
                             QStringLiteral(" Minimizar para o Tray "), m_window);
    tray->setGeometry(Twips::rect(3780, 60, 315, 315));
    close = new PictureButton(QStringLiteral("btnFechar"), QStringLiteral("button-close"), QStringLiteral(" Fechar "),
                              m_window);
    close->setGeometry(Twips::rect(4120, 60, 315, 315));
}

void MainWindowLayout::buildEntryBoxes()
{
    const auto addBox = [this](const QString& name, const QString& captionName, const QString& caption, int top) {
        QLabel* label = addLabel(captionName, caption, QRect(18, top, 42, 17));
        auto* box = new QLineEdit(m_window);
        box->setObjectName(name);
        box->setReadOnly(true);
        box->setGeometry(62, top, 180, 17);
        box->setStyleSheet(boxStyle);
        // Screen readers name the box by its caption.
        label->setBuddy(box);
        return box;
    };
    login = addBox(QStringLiteral("txtLogin"), QStringLiteral("lblLogin"), QStringLiteral("Login"), 40);
    password = addBox(QStringLiteral("txtSenha"), QStringLiteral("lblSenha"), QStringLiteral("Senha"), 66);

    copyLogin = new PictureButton(QStringLiteral("btnCopyLogin"), QStringLiteral("main-copy"),
                                  QStringLiteral(" Copiar "), m_window);
    copyLogin->setAccessibleName(QStringLiteral("Copiar login"));
    copyLogin->setGeometry(Twips::rect(3685, 645, 150, 165));
    copyPassword = new PictureButton(QStringLiteral("btnCopySenha"), QStringLiteral("main-copy"),
                                     QStringLiteral(" Copiar "), m_window);
    copyPassword->setAccessibleName(QStringLiteral("Copiar senha"));
    copyPassword->setGeometry(Twips::rect(3685, 1030, 150, 165));
}

void MainWindowLayout::buildList(EntryListModel& entries)
{
    auto* image1 = new QLabel(m_window);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(Picture::pixmap(QStringLiteral("main-list"), image1Size));
    image1->setGeometry(QRect(QPoint(0, windowSize.height()), image1Size));
    image1->hide();
    m_listBrush = QBrush(image1->pixmap());

    list = new PageList(entries, m_window);
    list->setGeometry(::listPlace);
    list->setAccessibleName(QStringLiteral("Entradas"));

    const int top = ::listPlace.top() - 15;
    addLabel(QStringLiteral("lblVencimento"), QStringLiteral("Vence em:"), QRect(::listPlace.left() + 4, top, 80, 13));
    // Room for the page and the count of a million entries.
    addLabel(QStringLiteral("Label1"), QStringLiteral("Pg"), QRect(140, top, 17, 13));
    page = addLabel(QStringLiteral("lblPagina"), QStringLiteral("1"), QRect(157, top, 33, 13));
    page->setStyleSheet(valueStyle);
    addLabel(QStringLiteral("Label2"), QStringLiteral("Pass"), QRect(190, top, 27, 13));
    count = addLabel(QStringLiteral("lblTotalLembretes"), QString(), QRect(217, top, 53, 13));
    count->setStyleSheet(valueStyle);
}

void MainWindowLayout::buildPageArrows()
{
    const QSize arrowSize = Twips::size(285, 600);
    const int top = ::listPlace.center().y() - arrowSize.height() / 2;
    const QRect backPlace(QPoint(6, top), arrowSize);
    const QRect forwardPlace(QPoint(windowSize.width() - 6 - arrowSize.width(), top), arrowSize);

    // The greyed arrows lie under the active ones and show wherever an active arrow is hidden.
    const auto addGreyed = [this](const QString& name, const QString& picture, const QRect& place,
                                  const QString& accessibleName) {
        auto* greyed = new PictureButton(name, picture, QString(), m_window);
        greyed->setGeometry(place);
        greyed->setEnabled(false);
        greyed->unsetCursor();
        // A screen reader announces it as the arrow that cannot be used now.
        greyed->setAccessibleName(accessibleName);
    };
    addGreyed(QStringLiteral("imgRetornaOff"), QStringLiteral("arrow-back-off"), backPlace, QStringLiteral("Retornar"));
    addGreyed(QStringLiteral("imgAvancaOff"), QStringLiteral("arrow-forward-off"), forwardPlace,
              QStringLiteral("Avançar"));

    back = new PictureButton(QStringLiteral("imgRetorna"), QStringLiteral("arrow-back"), QStringLiteral(" Retornar "),
                             m_window);
    back->setGeometry(backPlace);
    back->setPressedLook(true);
    forward = new PictureButton(QStringLiteral("imgAvanca"), QStringLiteral("arrow-forward"),
                                QStringLiteral(" Avançar "), m_window);
    forward->setGeometry(forwardPlace);
    forward->setPressedLook(true);
}

void MainWindowLayout::buildBottomButtons()
{
    settings = new PictureButton(QStringLiteral("btnConfig"), QStringLiteral("main-config"),
                                 QStringLiteral(" Configuração "), m_window);
    settings->setGeometry(Twips::rect(840, 4660, 1020, 180));
    newEntry = new PictureButton(QStringLiteral("imgEscrever"), QStringLiteral("main-write"),
                                 QStringLiteral(" Inserir password "), m_window);
    newEntry->setGeometry(Twips::rect(1965, 4515, 540, 750));
    newEntry->setPressedLook(true);
    help =
        new PictureButton(QStringLiteral("imgAjuda"), QStringLiteral("main-help"), QStringLiteral(" Ajuda "), m_window);
    help->setGeometry(Twips::rect(2600, 4660, 480, 180));
    about = new PictureButton(QStringLiteral("imgSobre"), QStringLiteral("main-about"),
                              QStringLiteral(" Sobre o Programa "), m_window);
    about->setGeometry(Twips::rect(3165, 4665, 480, 180));
}

void MainWindowLayout::buildNoticeAndSearch()
{
    notice = new NoticeLabel(QStringLiteral("lblAviso"), m_window);
    notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    notice->setStyleSheet(noticeStyle);
    search = new SearchLine(list, m_window);
    search->setGeometry(::listPlace.left() + 2, ::listPlace.bottom() + 1 - searchLineHeight, ::listPlace.width() - 4,
                        searchLineHeight);
    makeRoomForSearch(false);
}

void MainWindowLayout::makeRoomForSearch(bool open)
{
    const int reserved = open ? searchLineHeight : 0;
    list->reserveBottom(reserved);
    // The notice stands at the bottom of the list, above the search line while that is open.
    notice->setGeometry(::listPlace.left() + 10, ::listPlace.bottom() - 24 - reserved, ::listPlace.width() - 20, 20);
}
