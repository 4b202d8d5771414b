#include "search/searchline.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

const QString lineStyle =
    QStringLiteral("QLineEdit { background: #f4efe3; color: #17222f; border: 1px solid #c88a1e; border-radius: 7px; "
                   "padding: 0 6px; selection-background-color: #c88a1e; selection-color: #ffffff; }");

bool movesThroughList(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

bool isTypedText(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return !event->text().isEmpty() && event->text().at(0).isPrint() && !(event->modifiers() & commands);
}

} // namespace

SearchLine::SearchLine(QWidget* list, QWidget* parent) : QLineEdit(parent), m_list(list)
{
    setObjectName(QStringLiteral("txtBusca"));
    setToolTip(QStringLiteral(" Título, login ou URL; Esc fecha "));
    // Screen readers name it as the search it is.
    setAccessibleName(QStringLiteral("Buscar"));
    setStyleSheet(lineStyle);
    hide();
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) {
            close();
        } else {
            emit searchChanged(text);
        }
    });
}

bool SearchLine::claimsKey(const QKeyEvent& event) const
{
    if (isTypedText(&event)) {
        return isOpen() || !event.text().at(0).isSpace();
    }
    const bool edits = event.key() == Qt::Key_Backspace || event.key() == Qt::Key_Delete;
    return isOpen() && (edits || event.key() == Qt::Key_Escape);
}

bool SearchLine::takeKeyFromList(QKeyEvent* event)
{
    if (!claimsKey(*event)) {
        return false;
    }
    open();
    if (isTypedText(event)) {
        insert(event->text());
    } else {
        QCoreApplication::sendEvent(this, event);
    }
    return true;
}

void SearchLine::open()
{
    if (!isOpen()) {
        show();
        raise();
    }
    setFocus();
}

void SearchLine::close()
{
    if (!isOpen()) {
        return;
    }
    {
        const QSignalBlocker quiet(this);
        clear();
    }
    hide();
    m_list->setFocus();
    emit closed();
}

bool SearchLine::event(QEvent* event)
{
    // Escape belongs to the line while it is open, before any shortcut of the window sees it.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void SearchLine::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
    } else if (movesThroughList(event->key())) {
        QCoreApplication::sendEvent(m_list, event);
    } else {
        QLineEdit::keyPressEvent(event);
    }
}
