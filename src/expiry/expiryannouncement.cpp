#include "expiry/expiryannouncement.h"

#include "expiry/expirystatus.h"
#include "platform/noticelabel.h"

#include <QEvent>
#include <QWidget>

namespace {

constexpr int noticeMilliseconds = 5000;

} // namespace

ExpiryAnnouncement::ExpiryAnnouncement(QWidget* window, NoticeLabel* notice, std::function<qsizetype()> countExpired)
    : QObject(window), m_notice(notice), m_countExpired(std::move(countExpired))
{
    window->installEventFilter(this);
}

bool ExpiryAnnouncement::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        watched->removeEventFilter(this);
        const qsizetype expired = m_countExpired();
        if (expired > 0) {
            m_notice->showNotice(ExpiryStatus::expiredNotice(expired), noticeMilliseconds);
        }
    }
    return false;
}
