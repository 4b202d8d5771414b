#pragma once

#include <QDialog>

class Platform;
class Vault;

// frm1_Escrever: the modal window in which a new entry is typed and stored.
class NewEntryWindow : public QDialog
{
    Q_OBJECT

public:
    NewEntryWindow(Vault& vault, Platform& platform, QWidget* parent = nullptr);

signals:
    // A short notice for the main window's notice label.
    void noticeRequested(const QString& text);

private:
    Vault& m_vault;
    Platform& m_platform;
};
