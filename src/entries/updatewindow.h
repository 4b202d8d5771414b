#pragma once

#include <QWidget>

// frm3_Direita: the entry's description, update date and expiry date; saves or deletes the entry.
class UpdateWindow : public QWidget
{
    Q_OBJECT

public:
    explicit UpdateWindow(QWidget* parent = nullptr);
};
