#pragma once

#include "mainwindow/mainwindow.h"
#include "storage/vault.h"
#include "support/datafolder.h"
#include "support/recordingplatform.h"

#include <QList>
#include <QWidget>

#include <memory>

// Every window of the program over a fresh vault of numbered entries ("Conta 00", login "login00", password
// "senha00", …), each made on first request, shown and active, the way the user meets it: the side windows opened
// on the first entry, the modal ones owned by the main window.
class ProgramWindows
{
public:
    explicit ProgramWindows(int entries = 3);
    ~ProgramWindows();

    MainWindow* main() const { return m_main.get(); }
    // The window of that object name: frm0_Inicial, frm0_Logar, frm1_Escrever, frm2_Esquerda, frm3_Direita,
    // frm4_Ajuda, frm5_Sobre or frm6_Configurar.
    QWidget* window(const QString& objectName);

    static QStringList windowNames();
    static QByteArray record(int number);

    DataFolder folder;
    RecordingPlatform platform;
    Vault vault;

private:
    QWidget* make(const QString& objectName);

    std::unique_ptr<MainWindow> m_main;
    QList<QWidget*> m_others;
};
