#pragma once

#include <QLabel>
#include <QTimer>

// lblAviso: a short notice over the main list that goes away by itself two seconds after it was last shown.
class NoticeLabel : public QLabel
{
    Q_OBJECT

public:
    static constexpr int shownMilliseconds = 2000;

    explicit NoticeLabel(QWidget* parent);

    void showNotice(const QString& text);

private:
    QTimer m_timer;
};
