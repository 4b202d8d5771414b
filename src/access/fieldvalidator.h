#pragma once

#include "access/fieldrule.h"

#include <QValidator>

class NoticeLabel;
class Platform;
class QLineEdit;
class QWidget;

// Holds a line box to its rule however text arrives: typed, pasted, dropped or composed by an input method. An edit
// that breaks the rule is refused whole, the box unchanged, and refused() tells why. The rule, not the box's maximum
// length, keeps the limit: a maximum length would cut a paste before anything could refuse it.
class FieldValidator : public QValidator
{
    Q_OBJECT

public:
    // Installs itself on the box and lifts the box's own maximum length.
    FieldValidator(const FieldRule& rule, QLineEdit* box);
    State validate(QString& input, int& position) const override;

    // Every refusal of the window's guarded boxes beeps and shows its notice in the label.
    static void reportRefusals(QWidget* window, Platform& platform, NoticeLabel* notice);

signals:
    void refused(const QString& notice);

private:
    FieldRule m_rule;
    QLineEdit* m_box;
    QString m_textBeforeEdit;
    // Why the last edit judged was refused; the box reports the refusal after judging it.
    mutable QString m_lastRefusal;
};
