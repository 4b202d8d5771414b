#pragma once

#include <QLabel>

class QTimer;

// A short message shown in a window for two seconds, unless said otherwise, after it was last shown (its timer is
// Timer1).
class NoticeLabel : public QLabel
{
    Q_OBJECT

public:
    static constexpr int shownMilliseconds = 2000;

    NoticeLabel(const QString& objectName, QWidget* parent);
    void showNotice(const QString& text, int milliseconds = shownMilliseconds);

private:
    QTimer* m_timer;
};
