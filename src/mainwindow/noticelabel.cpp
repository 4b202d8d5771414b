#include "mainwindow/noticelabel.h"

NoticeLabel::NoticeLabel(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("lblAviso"));
    setAlignment(Qt::AlignCenter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("QLabel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f6d27a, "
                                 "stop:1 #e2aa45); color: #17222f; border: 1px solid #8a5e12; border-radius: 5px; "
                                 "font-weight: bold; padding: 0 6px; }"));
    hide();
    m_timer.setSingleShot(true);
    m_timer.setInterval(shownMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &QLabel::hide);
}

void NoticeLabel::showNotice(const QString& text)
{
    setText(text);
    show();
    raise();
    m_timer.start();
}
