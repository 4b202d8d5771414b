#pragma once

#include <QObject>

#include <functional>

class NoticeLabel;
class QWidget;

// Tells the user, the first time the window shows, how many entries have expired: for five seconds, long enough to
// be read at start-up, and nothing when none has.
class ExpiryAnnouncement : public QObject
{
    Q_OBJECT

public:
    ExpiryAnnouncement(QWidget* window, NoticeLabel* notice, std::function<qsizetype()> countExpired);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    NoticeLabel* m_notice;
    std::function<qsizetype()> m_countExpired;
};
