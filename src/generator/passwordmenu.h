#pragma once

#include "access/keyfilter.h"

#include <QObject>

class QLineEdit;
class QMenu;

// Adds "Gerar senha" to a password box's standard context menu. The action puts a new password of twenty
// characters (fewer when the box holds fewer) from the box's character set over the box's text, as typing it would:
// the edit can be undone.
class PasswordMenu : public QObject
{
    Q_OBJECT

public:
    // Installs the menu on the box, which owns it.
    static void addTo(QLineEdit* box, KeyFilter::CharacterSet set);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PasswordMenu(QLineEdit* box, KeyFilter::CharacterSet set);
    void fillWithNewPassword();

    QLineEdit* m_box;
    KeyFilter::CharacterSet m_set;
};
