#pragma once

#include <QDialog>

class Platform;

// frm5_Sobre: the program's name, version, author and a link to the author's site.
class AboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit AboutWindow(Platform& platform, QWidget* parent = nullptr);

private:
    Platform& m_platform;
};
