#pragma once

#include <QDialog>

// frm4_Ajuda: the fixed help text.
class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);
};
