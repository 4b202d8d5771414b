#pragma once

#include "info/infodialog.h"

class Platform;
class QLabel;

// frm5_Sobre: the program's name, version, author and a link to the author's site.
class AboutWindow : public InfoDialog
{
    Q_OBJECT

public:
    explicit AboutWindow(Platform& platform, QWidget* parent = nullptr);

    // The description under the program's name.
    static QString description();

private:
    QLabel* addLabel(const QString& objectName, const QString& text, const QRect& geometry);
    void addAuthorLink();

    Platform& m_platform;
};
