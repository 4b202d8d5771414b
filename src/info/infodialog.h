#pragma once

#include <QDialog>

class QLabel;

// The common frame of the help and about windows: a fixed-size, borderless modal window drawn from its background
// picture, with a heading and a close button at the top. It stays where the main window puts it.
class InfoDialog : public QDialog
{
    Q_OBJECT

protected:
    // labelStyles: style sheet rules for the window's own labels.
    InfoDialog(const QString& objectName, const QString& heading, const QString& background, const QString& labelStyles,
               QWidget* parent);

    void paintEvent(QPaintEvent* event) override;

private:
    QString m_background;
};
