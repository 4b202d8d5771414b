#include "platform/noticelabel.h"

#include <QTimer>

NoticeLabel::NoticeLabel(const QString& objectName, QWidget* parent) : QLabel(parent), m_timer(new QTimer(this))
{
    setObjectName(objectName);
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setStyleSheet(QStringLiteral("color: #fff4ea; background: #a3301c; border: 1px solid #5e1a0e; border-radius: 4px;"
                                 " padding: 0px 4px;"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    hide();
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(shownMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &QLabel::hide);
}

void NoticeLabel::showNotice(const QString& text, int milliseconds)
{
    setText(text);
    show();
    raise();
    m_timer->start(milliseconds);
}
