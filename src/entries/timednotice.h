#pragma once

#include <QLabel>

class QTimer;

// A short message shown in a window for two seconds (its timer is Timer1).
class TimedNotice : public QLabel
{
    Q_OBJECT

public:
    static constexpr int shownMilliseconds = 2000;

    TimedNotice(const QString& objectName, QWidget* parent);
    void showNotice(const QString& text);

    // What the entry windows tell the user.
    static QString blankTitle() { return QStringLiteral("O título não pode ficar vazio!"); }
    static QString entrySaved() { return QStringLiteral("Entrada inserida com sucesso!"); }
    static QString entryDeleted() { return QStringLiteral("Entrada excluída com sucesso!"); }

private:
    QTimer* m_timer;
};
