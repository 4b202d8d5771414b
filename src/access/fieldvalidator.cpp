#include "access/fieldvalidator.h"

#include "platform/noticelabel.h"
#include "platform/platform.h"

#include <QLineEdit>

FieldValidator::FieldValidator(const FieldRule& rule, QLineEdit* box)
    : QValidator(box), m_rule(rule), m_box(box), m_textBeforeEdit(box->text())
{
    box->setMaxLength(32767);
    box->setValidator(this);
    connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { m_textBeforeEdit = text; });
    connect(box, &QLineEdit::inputRejected, this, [this] {
        if (!m_lastRefusal.isEmpty()) {
            emit refused(m_lastRefusal);
        }
    });
}

QValidator::State FieldValidator::validate(QString& input, int&) const
{
    // A box that is not modified holds what the program put there (or the user undid back to it).
    m_lastRefusal = m_box->isModified() ? m_rule.refusal(m_textBeforeEdit, input) : QString();
    return m_lastRefusal.isEmpty() ? Acceptable : Invalid;
}

void FieldValidator::reportRefusals(QWidget* window, Platform& platform, NoticeLabel* notice)
{
    for (FieldValidator* validator : window->findChildren<FieldValidator*>()) {
        connect(validator, &FieldValidator::refused, notice, [&platform, notice](const QString& text) {
            platform.beep();
            notice->showNotice(text);
        });
    }
}
