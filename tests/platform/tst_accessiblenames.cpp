#include "support/programwindows.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

// What a screen reader says for every control of the window that the user can press, type into or read from, as
// "objectName=name" in the order the controls were made.
QStringList spokenNames(const QWidget* window)
{
    QStringList names;
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                             qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QAbstractItemView*>(widget);
        if (!control) {
            continue;
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        names.append(widget->objectName() + QLatin1Char('=') +
                     (accessible ? accessible->text(QAccessible::Name) : QStringLiteral("<none>")));
    }
    return names;
}

} // namespace

class TestAccessibleNames : public QObject
{
    Q_OBJECT

private slots:
    void everyControlIsNamed_data();
    void everyControlIsNamed();
};

void TestAccessibleNames::everyControlIsNamed_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("names");

    // Picture buttons by their tool tip's words, text boxes by their caption.
    QTest::newRow("main") << "frm0_Inicial"
                          << "lstLembretes=Entradas|btnMinimizar=Minimizar|btnTray=Minimizar para o Tray|"
                             "btnFechar=Fechar|txtLogin=Login|txtSenha=Senha|btnCopyLogin=Copiar|btnCopySenha=Copiar|"
                             "imgRetornaOff=Retornar|imgAvancaOff=Avançar|imgRetorna=Retornar|imgAvanca=Avançar|"
                             "btnConfig=Configuração|imgEscrever=Inserir password|imgAjuda=Ajuda|"
                             "imgSobre=Sobre o Programa|txtBusca=Buscar";
    QTest::newRow("login") << "frm0_Logar"
                           << "btnFechar=Fechar|txtLogar=Digite a senha|btnOk=Logar";
    QTest::newRow("new entry") << "frm1_Escrever"
                               << "txtTitulo=Título|txtLogin=Login|txtSenha=Senha|txtUrl=URL|txtDescricao=Descrição|"
                                  "btnCalendario=Calendário|btnFechar=Fechar|btnOk=Inserir|btnPrev2=Mês anterior|"
                                  "btnNext2=Próximo mês|btnAtual2=Mês atual";
    QTest::newRow("detail") << "frm2_Esquerda"
                            << "txtTitulo=Título|txtUrl=URL|txtLogin=Login|txtSenha=Senha|btnUrl=Acessar URL|"
                               "btnFechar=Fechar";
    QTest::newRow("update") << "frm3_Direita"
                            << "txtDescricao=Descrição|txtPostado=Atualizado em:|txtVencimento=Vence em:|"
                               "btnCalendario=Calendário|btnOk=Atualizar Password|btnDel=Deletar Password|"
                               "btnFechar=Fechar|btnPrev2=Mês anterior|btnNext2=Próximo mês|btnAtual2=Mês atual";
    QTest::newRow("help") << "frm4_Ajuda"
                          << "btnFechar=Fechar|txtAjuda=Ajuda";
    QTest::newRow("about") << "frm5_Sobre"
                           << "btnFechar=Fechar";
    QTest::newRow("settings") << "frm6_Configurar"
                              << "btnFechar=Fechar|optSim=SIM|optNao=NÃO|txtSenhaAtual=Senha atual|"
                                 "txtNovaSenha=Nova senha|txtRepSenha=Repetir nova senha|btnOk=Atualizar";
}

void TestAccessibleNames::everyControlIsNamed()
{
    QFETCH(QString, window);
    QFETCH(QString, names);

    ProgramWindows windows;
    QCOMPARE(spokenNames(windows.window(window)).join(QLatin1Char('|')), names);
}

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"
