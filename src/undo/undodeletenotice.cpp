#include "undo/undodeletenotice.h"

#include "platform/platform.h"
#include "storage/vault.h"
#include "wording/storagewording.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace {

const QString noticeStyle =
    QStringLiteral("UndoDeleteNotice { background: #17222f; border: 1px solid #f6d27a; border-radius: 5px; }"
                   "QLabel { color: #f6d27a; font-weight: bold; }"
                   "QPushButton { background: #f6d27a; color: #17222f; font-weight: bold; border: 1px solid #8a5e12; "
                   "border-radius: 3px; padding: 0 6px; }"
                   "QPushButton:focus { border: 2px solid #ffffff; }");

} // namespace

UndoDeleteNotice::UndoDeleteNotice(Vault& vault, Platform& platform, QWidget* parent)
    : QFrame(parent), m_vault(vault), m_platform(platform), m_timer(new QTimer(this)),
      m_shortcut(new QShortcut(QKeySequence::Undo, parent)), m_button(new QPushButton(QStringLiteral("Desfazer"), this))
{
    setObjectName(QStringLiteral("undoDelete"));
    setStyleSheet(noticeStyle);
    auto* text = new QLabel(QStringLiteral("Entrada excluída."), this);
    m_button->setObjectName(QStringLiteral("btnDesfazer"));
    m_button->setToolTip(QStringLiteral("Traz a entrada de volta (Ctrl+Z)"));
    m_button->setFocusPolicy(Qt::TabFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 1, 2, 1);
    layout->addWidget(text, 1);
    layout->addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, &UndoDeleteNotice::undo);
    m_shortcut->setEnabled(false);
    connect(m_shortcut, &QShortcut::activated, this, &UndoDeleteNotice::undo);
    m_timer->setSingleShot(true);
    m_timer->setInterval(offeredMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &UndoDeleteNotice::withdraw);
    hide();
}

void UndoDeleteNotice::offer(const QByteArray& record)
{
    m_record = record;
    m_shortcut->setEnabled(true);
    show();
    raise();
    m_timer->start();
}

bool UndoDeleteNotice::isOffered() const
{
    return m_timer->isActive();
}

void UndoDeleteNotice::undo()
{
    if (!isOffered()) {
        return;
    }
    const StorageResult result = m_vault.addEntry(m_record);
    if (!result.ok()) {
        m_platform.showMessage(window(), StorageWording::message(result), Platform::programTitle(),
                               Platform::MessageIcon::Critical);
        return;
    }
    withdraw();
    if (!result.notes.isEmpty()) {
        m_platform.showMessage(window(), StorageWording::message(result), Platform::programTitle(),
                               Platform::MessageIcon::Exclamation);
    }
    emit noticeRequested(QStringLiteral("Entrada restaurada."));
}

void UndoDeleteNotice::withdraw()
{
    m_timer->stop();
    m_record.clear();
    m_shortcut->setEnabled(false);
    hide();
}
