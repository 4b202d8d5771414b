#include "generator/passwordmenu.h"

#include "generator/passwordgenerator.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

void PasswordMenu::addTo(QLineEdit* box, KeyFilter::CharacterSet set)
{
    box->installEventFilter(new PasswordMenu(box, set));
}

PasswordMenu::PasswordMenu(QLineEdit* box, KeyFilter::CharacterSet set) : QObject(box), m_box(box), m_set(set) {}

bool PasswordMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_box || event->type() != QEvent::ContextMenu) {
        return QObject::eventFilter(watched, event);
    }
    QMenu* menu = m_box->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction* generate = menu->addAction(QStringLiteral("Gerar senha"), this, &PasswordMenu::fillWithNewPassword);
    generate->setObjectName(QStringLiteral("actGerarSenha"));
    menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
}

void PasswordMenu::fillWithNewPassword()
{
    const PasswordGenerator generator(KeyFilter::allowedCharacters(m_set));
    m_box->selectAll();
    m_box->insert(generator.generate(qMin(PasswordGenerator::defaultLength, m_box->maxLength())));
    m_box->setFocus();
}
