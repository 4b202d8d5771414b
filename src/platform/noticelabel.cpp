#include "platform/noticelabel.h"

#include <QTimer>

NoticeLabel::NoticeLabel(const QString& objectName, QWidget* parent) : QLabel(parent), m_timer(new QTimer(this))
{
    setObjectName(objectName);
    setAlignment(Qt::AlignCenter);
    hide();
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(shownMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &QLabel::hide);
}

void NoticeLabel::showNotice(const QString& text)
{
    setText(text);
    show();
    raise();
    m_timer->start();
}
