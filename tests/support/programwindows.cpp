#include "support/programwindows.h"

#include "access/loginwindow.h"
#include "access/settingswindow.h"
#include "entries/detailwindow.h"
#include "entries/newentrywindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "info/aboutwindow.h"
#include "info/helpwindow.h"
#include "storage/entryrecord.h"

#include <QApplication>
#include <QTest>

ProgramWindows::ProgramWindows(int entries) : vault(folder.path())
{
    vault.open();
    for (int number = 0; number < entries; ++number) {
        vault.addEntry(record(number));
    }
    m_main = std::make_unique<MainWindow>(vault, platform);
}

ProgramWindows::~ProgramWindows()
{
    qDeleteAll(m_others);
}

QByteArray ProgramWindows::record(int number)
{
    const QByteArray digits = QByteArray::number(number).rightJustified(2, '0');
    return EntryRecord::join(
        {"Conta " + digits, "----/----/----", "26.03.06.10.22.41", "login" + digits, "senha" + digits, "", ""});
}

QStringList ProgramWindows::windowNames()
{
    return {QStringLiteral("frm0_Inicial"),  QStringLiteral("frm0_Logar"),     QStringLiteral("frm1_Escrever"),
            QStringLiteral("frm2_Esquerda"), QStringLiteral("frm3_Direita"),   QStringLiteral("frm4_Ajuda"),
            QStringLiteral("frm5_Sobre"),    QStringLiteral("frm6_Configurar")};
}

QWidget* ProgramWindows::window(const QString& objectName)
{
    QWidget* found = make(objectName);
    found->show();
    QApplication::setActiveWindow(found);
    if (!QTest::qWaitForWindowActive(found)) {
        qWarning("%s did not become active", qPrintable(objectName));
    }
    return found;
}

QWidget* ProgramWindows::make(const QString& objectName)
{
    if (objectName == m_main->objectName()) {
        return m_main.get();
    }
    SideWindows* sides = m_main->sideWindows();
    if (objectName == QLatin1String("frm2_Esquerda") || objectName == QLatin1String("frm3_Direita")) {
        m_main->show();
        sides->showEntry(0);
        sides->setShown(true);
        return objectName == QLatin1String("frm2_Esquerda") ? static_cast<QWidget*>(sides->detailWindow())
                                                            : static_cast<QWidget*>(sides->updateWindow());
    }
    QWidget* made = nullptr;
    if (objectName == QLatin1String("frm0_Logar")) {
        made = new LoginWindow(vault, platform);
    } else if (objectName == QLatin1String("frm1_Escrever")) {
        made = new NewEntryWindow(vault, platform, m_main.get());
    } else if (objectName == QLatin1String("frm4_Ajuda")) {
        made = new HelpWindow(m_main.get());
    } else if (objectName == QLatin1String("frm5_Sobre")) {
        made = new AboutWindow(platform, m_main.get());
    } else {
        made = new SettingsWindow(vault, platform, m_main.get());
    }
    m_others.append(made);
    return made;
}
