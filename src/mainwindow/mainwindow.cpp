#include "mainwindow/mainwindow.h"

#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "expiry/expiryannouncement.h"
#include "expiry/expirystatus.h"
#include "mainwindow/entrylistmodel.h"
#include "mainwindow/keycommands.h"
#include "mainwindow/listkeys.h"
#include "mainwindow/mainwindowdialogs.h"
#include "mainwindow/pagelist.h"
#include "mainwindow/pagemodel.h"
#include "mainwindow/traycontrol.h"
#include "platform/noticelabel.h"
#include "platform/panecycle.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/windowdragger.h"
#include "platform/windowfront.h"
#include "platform/windowshape.h"
#include "search/searchline.h"
#include "storage/entryrecord.h"
#include "storage/vault.h"
#include "storage/windows1252.h"
#include "undo/undodeletenotice.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace {

QString text(const QByteArray& bytes)
{
    return Windows1252::toUnicode(bytes);
}

} // namespace

MainWindow::MainWindow(Vault& vault, Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_vault(vault), m_platform(platform),
      m_sideWindows(new SideWindows(vault, platform, this)), m_entries(new EntryListModel(vault.entries(), this)),
      m_layout(this, *m_entries), m_stateLabels(m_layout), m_dialogs(new MainWindowDialogs(vault, platform, this)),
      m_tray(new TrayControl(platform, this))
{
    connectControls();
    connectKeyCommands();
    auto* undoDelete = new UndoDeleteNotice(m_vault, m_platform, this);
    undoDelete->setGeometry(m_layout.notice->geometry());
    // The search line stands over the offer, as over the notice.
    undoDelete->stackUnder(m_layout.search);
    connect(m_sideWindows, &SideWindows::entryDeleted, undoDelete, &UndoDeleteNotice::offer);
    connect(undoDelete, &UndoDeleteNotice::noticeRequested, this, &MainWindow::showNotice);

    new ExpiryAnnouncement(this, m_layout.notice,
                           [this] { return ExpiryStatus::countExpired(m_vault.entries(), m_clock().date()); });
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
    m_layout.list->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectControls()
{
    connect(m_layout.minimise, &QAbstractButton::clicked, m_tray, &TrayControl::minimise);
    connect(m_layout.tray, &QAbstractButton::clicked, m_tray, &TrayControl::hideToTray);
    connect(m_tray, &TrayControl::leaving, this, [this] { setSideWindowsOpen(false); });
    connect(m_layout.close, &QAbstractButton::clicked, this, &QWidget::close);
    connect(m_layout.copyLogin, &QAbstractButton::clicked, this,
            [this] { m_platform.copySecret(m_layout.login->text()); });
    connect(m_layout.copyPassword, &QAbstractButton::clicked, this,
            [this] { m_platform.copySecret(m_layout.password->text()); });
    connect(m_layout.list, &PageList::currentRowChanged, this, &MainWindow::selectRow);
    connect(m_layout.list, &PageList::rowDoubleClicked, this, &MainWindow::toggleSideWindows);
    connect(m_layout.back, &QAbstractButton::clicked, this, [this] { turnPage(false); });
    connect(m_layout.forward, &QAbstractButton::clicked, this, [this] { turnPage(true); });
    connect(m_layout.settings, &QAbstractButton::clicked, this, [this] {
        setSideWindowsOpen(false);
        m_dialogs->openSettings();
    });
    connect(m_layout.newEntry, &QAbstractButton::clicked, this, [this] {
        closeSideWindows();
        m_dialogs->openNewEntry();
    });
    connect(m_layout.help, &QAbstractButton::clicked, m_dialogs, &MainWindowDialogs::openHelp);
    connect(m_layout.about, &QAbstractButton::clicked, m_dialogs, &MainWindowDialogs::openAbout);
    connect(m_dialogs, &MainWindowDialogs::noticeRequested, this, &MainWindow::showNotice);
    connect(m_layout.search, &SearchLine::searchChanged, this, &MainWindow::showMatches);
    connect(m_layout.search, &SearchLine::closed, this, &MainWindow::closeSearch);
}

void MainWindow::readSettings()
{
    m_state.settings = m_vault.settings();
    showState();
}

void MainWindow::showState()
{
    m_stateLabels.show(m_state);
    m_keys->setSideWindowsOpen(m_state.sideWindowsOpen);
    const ListPager& pager = m_state.list.pager();
    m_layout.page->setText(QString::number(pager.pagina()));
    m_layout.count->setText(QString::number(pager.count()));
    m_layout.forward->setVisible(pager.canForward());
    m_layout.back->setVisible(pager.canBack());
}

void MainWindow::showFirstPage()
{
    // The entries were read again: what was selected may have moved or gone.
    m_layout.login->clear();
    m_layout.password->clear();
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
    m_layout.list->page().showRows(m_state.list.pageEntries());
    showState();
}

void MainWindow::setClock(Clock clock)
{
    m_clock = clock;
    m_sideWindows->setClock(std::move(clock));
    showPage();
}

void MainWindow::showMatches()
{
    m_layout.makeRoomForSearch(true);
    m_state.list.openSearch();
    showFirstPage();
}

void MainWindow::closeSearch()
{
    m_layout.makeRoomForSearch(false);
    m_state.list.closeSearch();
    showFirstPage();
}

QList<qsizetype> MainWindow::findMatches()
{
    if (!m_matcher) {
        m_matcher.emplace(m_vault.entries());
    }
    return m_matcher->matching(m_layout.search->text());
}

void MainWindow::turnPage(bool forward)
{
    if (m_state.list.turnPage(forward)) {
        showPage();
    }
    m_layout.list->setFocus();
}

void MainWindow::selectRow(int row)
{
    if (row < 0 || row >= m_layout.list->count()) {
        return;
    }
    const qsizetype index = m_layout.list->entryAt(row);
    m_state.list.selectRow(row, index);
    if (m_vault.entries().contains(index)) {
        const QByteArray& record = m_vault.entries().at(index);
        m_layout.login->setText(text(EntryRecord::field(record, EntryRecord::Login)));
        m_layout.password->setText(text(EntryRecord::field(record, EntryRecord::Password)));
        m_layout.login->setCursorPosition(0);
        m_layout.password->setCursorPosition(0);
        m_sideWindows->showEntry(index);
        placeSideWindows();
    }
    m_layout.list->setFocus();
    showState();
}

void MainWindow::connectKeyCommands()
{
    // The search line has keys of its own.
    QList<QWidget*> controls = findChildren<QWidget*>();
    controls.removeIf(
        [this](const QWidget* control) { return control->focusPolicy() == Qt::NoFocus || control == m_layout.search; });
    m_keys = new KeyCommands(this, m_layout.list, controls);
    connect(m_keys->newEntry(), &QAction::triggered, m_layout.newEntry, &QAbstractButton::click);
    connect(m_keys->copyLogin(), &QAction::triggered, m_layout.copyLogin, &QAbstractButton::click);
    connect(m_keys->copyPassword(), &QAction::triggered, m_layout.copyPassword, &QAbstractButton::click);
    connect(m_keys->closeSideWindows(), &QAction::triggered, this, [this] { setSideWindowsOpen(false); });
    connect(m_keys->toggleSideWindows(), &QAction::triggered, this, &MainWindow::toggleSideWindows);
    // Made after the commands, so that its filter is asked first.
    auto* listKeys = new ListKeys(m_layout.list, m_layout.search, m_state.list, controls);
    connect(listKeys, &ListKeys::pageTurnRequested, this, &MainWindow::turnPage);
    connect(m_keys, &KeyCommands::ran, listKeys, &ListKeys::commandRan);
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
    if (m_state.list.selectedRow() < m_layout.list->count()) {
        m_layout.list->setCurrentRow(m_state.list.selectedRow());
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

void MainWindow::showNotice(const QString& text)
{
    m_layout.notice->showNotice(text);
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    clipToOutline(painter, this);
    Picture::paint(painter, QStringLiteral("main-background"), rect());
    // The list's own picture, tiled from the list's corner; the rows are drawn over it.
    painter.setBrushOrigin(MainWindowLayout::listPlace().topLeft());
    painter.fillRect(MainWindowLayout::listPlace(), m_layout.listBrush());
}
