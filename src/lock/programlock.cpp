#include "lock/programlock.h"

#include "access/loginwindow.h"
#include "platform/modalrun.h"
#include "platform/platform.h"
#include "platform/windowfront.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

namespace {

// How often it looks whether the dialogs closed when the program ends have returned.
constexpr int loopCheckMilliseconds = 20;

// Menus and tool tips close when hidden; they are not shown again.
bool closesWhenHidden(const QWidget* window)
{
    return window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip;
}

int ownerDepth(const QWidget* window)
{
    int depth = 0;
    for (const QWidget* owner = window->parentWidget(); owner; owner = owner->parentWidget()) {
        ++depth;
    }
    return depth;
}

// The windows shown, those that stand on others after them, and modal ones last, so that each is shown above what
// it belongs to.
QList<QWidget*> shownWindows()
{
    QList<QWidget*> shown;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !closesWhenHidden(window)) {
            shown.append(window);
        }
    }
    std::stable_sort(shown.begin(), shown.end(), [](const QWidget* a, const QWidget* b) {
        return std::pair(a->isModal(), ownerDepth(a)) < std::pair(b->isModal(), ownerDepth(b));
    });
    return shown;
}

} // namespace

ProgramLock::ProgramLock(const Vault& vault, Platform& platform, QObject* parent)
    : QObject(parent), m_vault(vault), m_platform(platform)
{}

ProgramLock::~ProgramLock()
{
    delete m_loginWindow;
}

QString ProgramLock::lockedTrayTip()
{
    return Platform::programTitle() + QStringLiteral(" (bloqueado)");
}

void ProgramLock::lock()
{
    if (m_loginWindow) {
        bringWindowToFront(m_loginWindow);
        return;
    }
    hideWindows();
    m_platform.forgetCopiedSecret();
    m_platform.setTrayTip(lockedTrayTip());

    m_loginWindow = new LoginWindow(m_vault, m_platform);
    m_loginWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_loginWindow->allowRetries();
    connect(m_loginWindow, &LoginWindow::passwordAccepted, this, &ProgramLock::unlock);
    connect(m_loginWindow, &LoginWindow::programEnded, this, [this] {
        closeHiddenDialogs();
        endOnceDialogsReturned();
    });
    bringWindowToFront(m_loginWindow);
}

void ProgramLock::hideWindows()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && closesWhenHidden(window)) {
            window->close();
        }
    }
    m_activeWindow = QApplication::activeWindow();
    for (QWidget* window : shownWindows()) {
        m_hidden.append(remember(window));
        window->hide();
    }
}

ProgramLock::HiddenWindow ProgramLock::remember(QWidget* window)
{
    HiddenWindow hidden{window, window->focusWidget()};
    if (const auto* box = qobject_cast<const QLineEdit*>(hidden.focus.get())) {
        hidden.cursor = box->cursorPosition();
        hidden.selectionStart = box->selectionStart();
        hidden.selectionLength = box->selectionLength();
    }
    return hidden;
}

void ProgramLock::showAgain(const HiddenWindow& hidden)
{
    if (!hidden.window) {
        return;
    }
    hidden.window->show();
    if (!hidden.focus) {
        return;
    }
    hidden.focus->setFocus(Qt::OtherFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(hidden.focus.get())) {
        box->deselect();
        box->setCursorPosition(hidden.cursor);
        if (hidden.selectionStart >= 0) {
            box->setSelection(hidden.selectionStart, hidden.selectionLength);
        }
    }
}

void ProgramLock::unlock()
{
    // The window closes and deletes itself.
    m_loginWindow = nullptr;
    for (const HiddenWindow& window : std::exchange(m_hidden, {})) {
        showAgain(window);
    }
    if (m_activeWindow && m_activeWindow->isVisible()) {
        bringWindowToFront(m_activeWindow);
    }
    m_platform.setTrayTip(Platform::programTitle());
    emit unlocked();
}

void ProgramLock::closeHiddenDialogs()
{
    for (const HiddenWindow& hidden : std::exchange(m_hidden, {})) {
        if (auto* dialog = qobject_cast<QDialog*>(hidden.window.get())) {
            dialog->reject();
        }
    }
}

void ProgramLock::endOnceDialogsReturned()
{
    // The program's windows may only go once no dialog's event loop still runs over them.
    if (runningModalDialogs() > 0) {
        QTimer::singleShot(loopCheckMilliseconds, this, &ProgramLock::endOnceDialogsReturned);
        return;
    }
    emit endRequested();
}
