#pragma once

#include <QLabel>

// A label that acts as a link: a pointing hand over it, its caption as tool tip (one space before and after), and a
// click with the left button inside it emits clicked().
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    LinkLabel(const QString& objectName, const QString& caption, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
