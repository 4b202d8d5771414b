#pragma once

#include <QWidget>

// frm2_Esquerda: the entry's title, address, login and password, editable; opens the address.
class DetailWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DetailWindow(QWidget* parent = nullptr);
};
