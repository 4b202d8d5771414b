#include "mainwindow/mainwindow.h"

#include "access/settingswindow.h"
#include "entries/detailwindow.h"
#include "entries/newentrywindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "expiry/expirystatus.h"
#include "info/aboutwindow.h"
#include "info/helpwindow.h"
#include "mainwindow/entrylistmodel.h"
#include "mainwindow/pagelist.h"
#include "mainwindow/pagemodel.h"
#include "mainwindow/rowdelegate.h"
#include "platform/modalrun.h"
#include "platform/noticelabel.h"
#include "platform/panecycle.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/screenplace.h"
#include "platform/taborder.h"
#include "platform/twips.h"
#include "platform/windowdragger.h"
#include "platform/windowfront.h"
#include "platform/windowshape.h"
#include "search/searchline.h"
#include "shape/outline.h"
#include "storage/entryrecord.h"
#include "storage/vault.h"
#include "storage/windows1252.h"
#include "undo/undodeletenotice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

#include <array>

namespace {

const QSize windowSize = Twips::size(4500, 5400);
// The window stands this far above the centre of the screen.
constexpr int aboveCentre = 20;
const QRect listPlace(30, 100, 240, ListPager::pageSize* RowDelegate::rowHeight);
// The list picture, tiled behind the rows.
const QSize image1Size(280, 260);
// Modal windows open this far right of and below the main window's top-left corner.
const QPoint modalOffset = Twips::point(530, 580);
constexpr int searchLineHeight = 16;
// Long enough to be read at start-up.
constexpr int expiredNoticeMilliseconds = 5000;

const QString captionStyle = QStringLiteral("QLabel { color: #e8edf3; }");
const QString valueStyle = QStringLiteral("QLabel { color: #f6d27a; font-weight: bold; }");
const QString boxStyle =
    QStringLiteral("QLineEdit { background: #f4efe3; color: #2a2a2a; border: 1px solid #0d141c; border-radius: 3px; "
                   "padding: 0 4px; selection-background-color: #c88a1e; selection-color: #ffffff; }");

const QString noticeStyle = QStringLiteral(
    "QLabel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f6d27a, stop:1 #e2aa45); color: #17222f; "
    "border: 1px solid #8a5e12; border-radius: 5px; font-weight: bold; padding: 0 6px; }");

QString text(const QByteArray& bytes)
{
    return Windows1252::toUnicode(bytes);
}

// A hidden label of the window and what it shows of the window's state.
struct StateLabel
{
    const char* name;
    QString (*text)(const MainWindow::State& state);
};

// The installation key and the master password have none: any program on the user's accessibility bus reads every
// label, hidden or not.
const std::array<StateLabel, 7> stateLabels = {{
    {"lblInicioRetorna",
     [](const MainWindow::State& state) { return QString::number(state.list.pager().inicioRetorna()); }},
    {"lblInicioAvanca",
     [](const MainWindow::State& state) { return QString::number(state.list.pager().inicioAvanca()); }},
    {"lblSetaMais", [](const MainWindow::State& state) { return QString::number(state.list.selectedRow()); }},
    {"lblSetaMenos", [](const MainWindow::State& state) { return QString::number(state.list.pager().setaMenos()); }},
    {"lblListIndex",
     [](const MainWindow::State& state) {
         return state.list.selectedEntry() < 0 ? QString() : QString::number(state.list.selectedEntry());
     }},
    {"lblAbreFecha",
     [](const MainWindow::State& state) { return state.sideWindowsOpen ? QStringLiteral("X") : QString(); }},
    {"lblUsaSenha", [](const MainWindow::State& state) { return text(state.settings.askAtStart); }},
}};

} // namespace

MainWindow::MainWindow(Vault& vault, Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_vault(vault), m_platform(platform),
      m_sideWindows(new SideWindows(vault, platform, this)), m_entries(new EntryListModel(vault.entries(), this))
{
    setObjectName(QStringLiteral("frm0_Inicial"));
    setWindowTitle(Platform::programTitle());
    setWindowIcon(QIcon(Picture::path(QStringLiteral("icon"))));
    setFixedSize(windowSize);
    QFont windowFont(QStringLiteral("DejaVu Sans"));
    windowFont.setPixelSize(11);
    setFont(windowFont);
    applyWindowOutline(this, Outline::build(Outline::mainWindow()));
    placeOnScreen();

    buildList();
    buildTitleBar();
    buildEntryBoxes();
    buildPageArrows();
    buildBottomButtons();
    buildStateLabels();
    setTabOrderByName(this, {QStringLiteral("btnMinimizar"), QStringLiteral("btnTray"), QStringLiteral("btnFechar"),
                             QStringLiteral("txtLogin"), QStringLiteral("btnCopyLogin"), QStringLiteral("txtSenha"),
                             QStringLiteral("btnCopySenha"), QStringLiteral("imgRetorna"),
                             QStringLiteral("lstLembretes"), QStringLiteral("imgAvanca"), QStringLiteral("btnConfig"),
                             QStringLiteral("imgEscrever"), QStringLiteral("imgAjuda"), QStringLiteral("imgSobre")});
    listenForKeyCommands();
    m_notice = new NoticeLabel(QStringLiteral("lblAviso"), this);
    placeNoticeAbove(0);
    m_notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_notice->setStyleSheet(noticeStyle);
    auto* undoDelete = new UndoDeleteNotice(m_vault, m_platform, this);
    undoDelete->setGeometry(m_notice->geometry());
    connect(m_sideWindows, &SideWindows::entryDeleted, undoDelete, &UndoDeleteNotice::offer);
    connect(undoDelete, &UndoDeleteNotice::noticeRequested, this, &MainWindow::showNotice);
    m_search = new SearchLine(m_list, this);
    m_search->setGeometry(listPlace.left() + 2, listPlace.bottom() + 1 - searchLineHeight, listPlace.width() - 4,
                          searchLineHeight);
    connect(m_search, &SearchLine::searchChanged, this, &MainWindow::showMatches);
    connect(m_search, &SearchLine::closed, this, &MainWindow::closeSearch);

    new PaneCycle(
        [this] {
            return QList<QWidget*>{this, m_sideWindows->detailWindow(), m_sideWindows->updateWindow()};
        },
        this);
    auto* dragger = new WindowDragger(this);
    connect(dragger, &WindowDragger::dragFinished, this, &MainWindow::placeSideWindows);
    connect(&m_vault, &Vault::entriesChanged, this, [this] {
        m_matcher.reset();
        m_entries->entriesChanged();
        showFirstPage();
    });
    connect(&m_vault, &Vault::settingsChanged, this, &MainWindow::readSettings);
    connect(m_sideWindows, &SideWindows::noticeRequested, this, &MainWindow::showNotice);
    connect(m_sideWindows, &SideWindows::closed, this, &MainWindow::forgetSideWindows);
    connect(m_sideWindows, &SideWindows::hideRequested, this, [this] { setSideWindowsOpen(false); });

    readSettings();
    showFirstPage();
    placeSideWindows();
    m_list->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::placeOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    move(placeOnScreenCentre(screen->availableGeometry(), size(), aboveCentre));
}

QLabel* MainWindow::addLabel(const QString& name, const QString& caption, const QRect& place)
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setStyleSheet(captionStyle);
    // Labels are part of the window's surface: a press on them drags the window.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

void MainWindow::buildTitleBar()
{
    auto* minimise = new PictureButton(QStringLiteral("btnMinimizar"), QStringLiteral("main-minimize"),
                                       QStringLiteral(" Minimizar "), this);
    minimise->setGeometry(Twips::rect(3440, 60, 315, 315));
    connect(minimise, &QAbstractButton::clicked, this, &MainWindow::minimise);

    auto* tray = new PictureButton(QStringLiteral("btnTray"), QStringLiteral("main-tray"),
                                   QStringLiteral(" Minimizar para o Tray "), this);
    tray->setGeometry(Twips::rect(3780, 60, 315, 315));
    connect(tray, &QAbstractButton::clicked, this, &MainWindow::hideToTray);

    auto* close = new PictureButton(QStringLiteral("btnFechar"), QStringLiteral("button-close"),
                                    QStringLiteral(" Fechar "), this);
    close->setGeometry(Twips::rect(4120, 60, 315, 315));
    connect(close, &QAbstractButton::clicked, this, &QWidget::close);
}

void MainWindow::buildEntryBoxes()
{
    const auto addBox = [this](const QString& name, const QString& captionName, const QString& caption, int top) {
        QLabel* label = addLabel(captionName, caption, QRect(18, top, 42, 17));
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        box->setReadOnly(true);
        box->setGeometry(62, top, 180, 17);
        box->setStyleSheet(boxStyle);
        // Screen readers name the box by its caption.
        label->setBuddy(box);
        return box;
    };
    m_txtLogin = addBox(QStringLiteral("txtLogin"), QStringLiteral("lblLogin"), QStringLiteral("Login"), 40);
    m_txtSenha = addBox(QStringLiteral("txtSenha"), QStringLiteral("lblSenha"), QStringLiteral("Senha"), 66);

    m_copyLogin = new PictureButton(QStringLiteral("btnCopyLogin"), QStringLiteral("main-copy"),
                                    QStringLiteral(" Copiar "), this);
    m_copyLogin->setAccessibleName(QStringLiteral("Copiar login"));
    m_copyLogin->setGeometry(Twips::rect(3685, 645, 150, 165));
    connect(m_copyLogin, &QAbstractButton::clicked, this, [this] { m_platform.copySecret(m_txtLogin->text()); });

    m_copyPassword = new PictureButton(QStringLiteral("btnCopySenha"), QStringLiteral("main-copy"),
                                       QStringLiteral(" Copiar "), this);
    m_copyPassword->setAccessibleName(QStringLiteral("Copiar senha"));
    m_copyPassword->setGeometry(Twips::rect(3685, 1030, 150, 165));
    connect(m_copyPassword, &QAbstractButton::clicked, this, [this] { m_platform.copySecret(m_txtSenha->text()); });
}

void MainWindow::buildList()
{
    auto* image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(Picture::pixmap(QStringLiteral("main-list"), image1Size));
    image1->setGeometry(QRect(QPoint(0, height()), image1Size));
    image1->hide();
    m_listBrush = QBrush(image1->pixmap());

    m_list = new PageList(*m_entries, this);
    m_list->setGeometry(listPlace);
    m_list->setAccessibleName(QStringLiteral("Entradas"));
    m_list->installEventFilter(this);
    connect(m_list, &PageList::currentRowChanged, this, &MainWindow::selectRow);
    connect(m_list, &PageList::rowDoubleClicked, this, &MainWindow::toggleSideWindows);

    addLabel(QStringLiteral("lblVencimento"), QStringLiteral("Vence em:"),
             QRect(listPlace.left() + 4, listPlace.top() - 15, 80, 13));
    const int top = listPlace.top() - 15;
    // Room for the page and the count of a million entries.
    addLabel(QStringLiteral("Label1"), QStringLiteral("Pg"), QRect(140, top, 17, 13));
    m_lblPagina = addLabel(QStringLiteral("lblPagina"), QStringLiteral("1"), QRect(157, top, 33, 13));
    m_lblPagina->setStyleSheet(valueStyle);
    addLabel(QStringLiteral("Label2"), QStringLiteral("Pass"), QRect(190, top, 27, 13));
    m_lblTotalLembretes = addLabel(QStringLiteral("lblTotalLembretes"), QString(), QRect(217, top, 53, 13));
    m_lblTotalLembretes->setStyleSheet(valueStyle);
}

void MainWindow::buildPageArrows()
{
    const QSize arrowSize = Twips::size(285, 600);
    const int top = listPlace.center().y() - arrowSize.height() / 2;
    const QRect backPlace(QPoint(6, top), arrowSize);
    const QRect forwardPlace(QPoint(width() - 6 - arrowSize.width(), top), arrowSize);

    // The greyed arrows lie under the active ones and show wherever an active arrow is hidden.
    const auto addGreyed = [this](const QString& name, const QString& picture, const QRect& place,
                                  const QString& accessibleName) {
        auto* greyed = new PictureButton(name, picture, QString(), this);
        greyed->setGeometry(place);
        greyed->setEnabled(false);
        greyed->unsetCursor();
        // A screen reader announces it as the arrow that cannot be used now.
        greyed->setAccessibleName(accessibleName);
    };
    addGreyed(QStringLiteral("imgRetornaOff"), QStringLiteral("arrow-back-off"), backPlace, QStringLiteral("Retornar"));
    addGreyed(QStringLiteral("imgAvancaOff"), QStringLiteral("arrow-forward-off"), forwardPlace,
              QStringLiteral("Avançar"));

    m_imgRetorna = new PictureButton(QStringLiteral("imgRetorna"), QStringLiteral("arrow-back"),
                                     QStringLiteral(" Retornar "), this);
    m_imgRetorna->setGeometry(backPlace);
    m_imgRetorna->setPressedLook(true);
    connect(m_imgRetorna, &QAbstractButton::clicked, this, [this] { turnPage(false); });

    m_imgAvanca = new PictureButton(QStringLiteral("imgAvanca"), QStringLiteral("arrow-forward"),
                                    QStringLiteral(" Avançar "), this);
    m_imgAvanca->setGeometry(forwardPlace);
    m_imgAvanca->setPressedLook(true);
    connect(m_imgAvanca, &QAbstractButton::clicked, this, [this] { turnPage(true); });
}

void MainWindow::buildBottomButtons()
{
    auto* config = new PictureButton(QStringLiteral("btnConfig"), QStringLiteral("main-config"),
                                     QStringLiteral(" Configuração "), this);
    config->setGeometry(Twips::rect(840, 4660, 1020, 180));
    connect(config, &QAbstractButton::clicked, this, &MainWindow::openSettings);

    m_newEntry = new PictureButton(QStringLiteral("imgEscrever"), QStringLiteral("main-write"),
                                   QStringLiteral(" Inserir password "), this);
    m_newEntry->setGeometry(Twips::rect(1965, 4515, 540, 750));
    m_newEntry->setPressedLook(true);
    connect(m_newEntry, &QAbstractButton::clicked, this, &MainWindow::openNewEntry);

    auto* help =
        new PictureButton(QStringLiteral("imgAjuda"), QStringLiteral("main-help"), QStringLiteral(" Ajuda "), this);
    help->setGeometry(Twips::rect(2600, 4660, 480, 180));
    connect(help, &QAbstractButton::clicked, this, &MainWindow::openHelp);

    auto* about = new PictureButton(QStringLiteral("imgSobre"), QStringLiteral("main-about"),
                                    QStringLiteral(" Sobre o Programa "), this);
    about->setGeometry(Twips::rect(3165, 4665, 480, 180));
    connect(about, &QAbstractButton::clicked, this, &MainWindow::openAbout);
}

void MainWindow::buildStateLabels()
{
    // Below the visible area, where no user sees them.
    for (const StateLabel& shown : stateLabels) {
        QLabel* label = addLabel(QLatin1String(shown.name), QString(), QRect(0, height(), 60, 13));
        label->hide();
        m_stateLabels.append(label);
    }
}

void MainWindow::readSettings()
{
    m_state.settings = m_vault.settings();
    showState();
}

void MainWindow::showState()
{
    for (qsizetype i = 0; i < m_stateLabels.size(); ++i) {
        m_stateLabels.at(i)->setText(stateLabels.at(i).text(m_state));
    }
    const ListPager& pager = m_state.list.pager();
    m_lblPagina->setText(QString::number(pager.pagina()));
    m_lblTotalLembretes->setText(QString::number(pager.count()));
    m_imgAvanca->setVisible(pager.canForward());
    m_imgRetorna->setVisible(pager.canBack());
}

void MainWindow::showFirstPage()
{
    // The entries were read again: what was selected may have moved or gone.
    m_txtLogin->clear();
    m_txtSenha->clear();
    if (m_state.list.isSearching()) {
        m_state.list.showMatches(findMatches());
    } else {
        m_state.list.showFirstPage(m_vault.entries().size());
    }
    showPage();
}

void MainWindow::showPage()
{
    m_entries->setToday(m_clock().date());
    m_list->page().showRows(m_state.list.pageEntries());
    showState();
}

void MainWindow::setClock(Clock clock)
{
    m_clock = clock;
    m_sideWindows->setClock(std::move(clock));
    showPage();
}

bool MainWindow::handleSearchKey(QEvent* event)
{
    return event->type() == QEvent::KeyPress && m_search->takeKeyFromList(static_cast<QKeyEvent*>(event));
}

void MainWindow::showMatches()
{
    m_list->reserveBottom(searchLineHeight);
    placeNoticeAbove(searchLineHeight);
    m_state.list.openSearch();
    showFirstPage();
}

// The notice stands at the bottom of the list, above the search line while that is open.
void MainWindow::placeNoticeAbove(int reservedBottom)
{
    m_notice->setGeometry(listPlace.left() + 10, listPlace.bottom() - 24 - reservedBottom, listPlace.width() - 20, 20);
}

void MainWindow::closeSearch()
{
    m_list->reserveBottom(0);
    placeNoticeAbove(0);
    m_state.list.closeSearch();
    showFirstPage();
}

QList<qsizetype> MainWindow::findMatches()
{
    if (!m_matcher) {
        m_matcher.emplace(m_vault.entries());
    }
    return m_matcher->matching(m_search->text());
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_expiryAnnounced) {
        m_expiryAnnounced = true;
        announceExpired();
    }
}

void MainWindow::announceExpired()
{
    const qsizetype expired = ExpiryStatus::countExpired(m_vault.entries(), m_clock().date());
    if (expired > 0) {
        m_notice->showNotice(ExpiryStatus::expiredNotice(expired), expiredNoticeMilliseconds);
    }
}

void MainWindow::turnPage(bool forward)
{
    if (m_state.list.turnPage(forward)) {
        showPage();
    }
    m_list->setFocus();
}

void MainWindow::selectRow(int row)
{
    if (row < 0 || row >= m_list->count()) {
        return;
    }
    const qsizetype index = m_list->entryAt(row);
    m_state.list.selectRow(row, index);
    if (m_vault.entries().contains(index)) {
        const QByteArray& record = m_vault.entries().at(index);
        m_txtLogin->setText(text(EntryRecord::field(record, EntryRecord::Login)));
        m_txtSenha->setText(text(EntryRecord::field(record, EntryRecord::Password)));
        m_txtLogin->setCursorPosition(0);
        m_txtSenha->setCursorPosition(0);
        m_sideWindows->showEntry(index);
        placeSideWindows();
    }
    m_list->setFocus();
    showState();
}

void MainWindow::listenForKeyCommands()
{
    // Every control that can hold the focus passes its keys through the window's commands first; keys that reach
    // the window itself come through keyPressEvent.
    const QList<QWidget*> controls = findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (control->focusPolicy() != Qt::NoFocus) {
            control->installEventFilter(this);
        }
    }
}

bool MainWindow::runKeyCommand(const QKeyEvent& key, const QObject* receiver)
{
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (enter && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && receiver == m_list) {
        // On a selected entry, as a double-click does: open or close the side windows.
        if (m_list->currentRow() < 0) {
            return false;
        }
        toggleSideWindows();
        return true;
    }
    if (key.modifiers() == Qt::ControlModifier) {
        switch (key.key()) {
        case Qt::Key_N:
            m_newEntry->click();
            return true;
        case Qt::Key_B:
            m_copyLogin->click();
            return true;
        case Qt::Key_C:
            // Never the list's own copy, which would put the row's inner text on the clipboard.
            m_copyPassword->click();
            return true;
        default:
            return false;
        }
    }
    if (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier && m_state.sideWindowsOpen) {
        setSideWindowsOpen(false);
        return true;
    }
    return false;
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (!runKeyCommand(*event, this)) {
        QWidget::keyPressEvent(event);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Find by typing comes first: Escape closes an open search before it closes the side windows.
    if (watched == m_list && handleSearchKey(event)) {
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const bool command = runKeyCommand(*static_cast<QKeyEvent*>(event), watched);
        // Only keys pressed in the list come up under its release rule: not a command's key and the modifiers held
        // with it, nor the Tab that brought the focus into the list.
        m_listKeysDown = watched == m_list && !command;
        if (command) {
            return true;
        }
    }
    if (watched == m_list) {
        if (event->type() == QEvent::KeyPress) {
            return handleListKeyPress(static_cast<QKeyEvent*>(event)->key());
        }
        if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat() && m_listKeysDown) {
            handleListKeyRelease();
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool MainWindow::handleListKeyPress(int key)
{
    const int row = m_list->currentRow();
    if (m_state.list.goesToNextPage(key, row)) {
        turnPage(true);
        m_list->setCurrentRow(0);
        return true;
    }
    if (m_state.list.goesToPreviousPage(key, row)) {
        turnPage(false);
        m_list->setCurrentRow(m_list->count() - 1);
        return true;
    }
    return false;
}

void MainWindow::handleListKeyRelease()
{
    if (m_state.list.movesRoundToLastRow(m_list->currentRow())) {
        m_list->setCurrentRow(m_list->count() - 1);
    }
}

void MainWindow::setSideWindowsOpen(bool open)
{
    m_sideWindows->setShown(open);
    m_state.sideWindowsOpen = open;
    showState();
}

void MainWindow::toggleSideWindows()
{
    setSideWindowsOpen(!m_state.sideWindowsOpen);
    if (m_state.list.selectedRow() < m_list->count()) {
        m_list->setCurrentRow(m_state.list.selectedRow());
    }
}

void MainWindow::closeSideWindows()
{
    m_sideWindows->close();
    forgetSideWindows();
}

void MainWindow::forgetSideWindows()
{
    m_state.sideWindowsOpen = false;
    showState();
}

void MainWindow::placeSideWindows()
{
    m_sideWindows->placeBeside(frameGeometry());
}

void MainWindow::minimise()
{
    setSideWindowsOpen(false);
    showMinimized();
}

void MainWindow::hideToTray()
{
    // Without a notification area the window could never come back: it is minimised instead.
    if (!m_platform.isTrayAvailable()) {
        minimise();
        return;
    }
    hide();
    setSideWindowsOpen(false);
    m_platform.showTrayIcon(windowIcon(), Platform::programTitle());
}

void MainWindow::bringToFront()
{
    if (!m_ended) {
        bringWindowToFront(this);
    }
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double-click on the window's own surface closes the side windows.
    closeSideWindows();
    event->accept();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    endProgram();
    event->accept();
}

void MainWindow::endProgram()
{
    if (m_ended) {
        return;
    }
    m_ended = true;
    hide();
    closeSideWindows();
    emit programEnded();
}

void MainWindow::showModal(QDialog& dialog)
{
    dialog.move(frameGeometry().topLeft() + modalOffset);
    runModal(dialog);
}

void MainWindow::openSettings()
{
    setSideWindowsOpen(false);
    SettingsWindow settings(m_vault, m_platform, this);
    showModal(settings);
}

void MainWindow::openNewEntry()
{
    closeSideWindows();
    NewEntryWindow newEntry(m_vault, m_platform, this);
    connect(&newEntry, &NewEntryWindow::noticeRequested, this, &MainWindow::showNotice);
    showModal(newEntry);
}

void MainWindow::openHelp()
{
    HelpWindow help(this);
    showModal(help);
}

void MainWindow::openAbout()
{
    AboutWindow about(m_platform, this);
    showModal(about);
}

void MainWindow::showNotice(const QString& text)
{
    m_notice->showNotice(text);
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    clipToOutline(painter, this);
    Picture::paint(painter, QStringLiteral("main-background"), rect());
    // The list's own picture, tiled from the list's corner; the rows are drawn over it.
    painter.setBrushOrigin(listPlace.topLeft());
    painter.fillRect(listPlace, m_listBrush);
}
