#pragma once

#include "info/infodialog.h"

// frm4_Ajuda: the fixed help text.
class HelpWindow : public InfoDialog
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);
};
