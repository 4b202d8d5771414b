#include "accessibility/accessibility.h"
#include "platform/picturebutton.h"
#include "support/input.h"
#include "support/programwindows.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QWindow>

// The program without a mouse: named for a screen reader, used by keys, its side windows kept with the main one.
class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void everyControlIsNamed();
    void windowsAreNamed_data();
    void windowsAreNamed();
    void sideWindowsAreToolWindowsOfTheMainWindow();
    void pictureButtonPress_data();
    void pictureButtonPress();
    void focusMarkShowsOnlyWithTheFocus();
    void tabFollowsReadingOrder_data();
    void tabFollowsReadingOrder();
};

// A screen reader names every control the user can press, type into or read from; a picture button by its tool tip,
// made more precise where two say the same.
void TestKeyboard::everyControlIsNamed()
{
    ProgramWindows windows;
    for (const QString& windowName : ProgramWindows::windowNames()) {
        for (QWidget* widget : windows.window(windowName)->findChildren<QWidget*>()) {
            auto* button = qobject_cast<QAbstractButton*>(widget);
            if (button || qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
                qobject_cast<QAbstractItemView*>(widget)) {
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
                const QString name = accessible ? accessible->text(QAccessible::Name) : QString();
                QVERIFY2(!name.isEmpty(), qPrintable(windowName + '/' + widget->objectName()));
                const auto* picture = qobject_cast<PictureButton*>(widget);
                QVERIFY(!picture || picture->toolTip().isEmpty() || name.startsWith(picture->toolTip().trimmed()));
            }
        }
    }
}

void TestKeyboard::windowsAreNamed_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    const auto add = [](const char* window, QAccessible::Role role, const char* name) {
        QTest::newRow(window) << QString(window) << int(role) << QString::fromUtf8(name);
    };
    add("frm0_Inicial", QAccessible::Window, "Corvelo KeyHound");
    add("frm0_Logar", QAccessible::Window, "Corvelo KeyHound");
    add("frm1_Escrever", QAccessible::Dialog, "Inserir Password");
    add("frm2_Esquerda", QAccessible::Window, "Detalhes");
    add("frm3_Direita", QAccessible::Window, "Atualizar");
    add("frm4_Ajuda", QAccessible::Dialog, "Ajuda");
    add("frm5_Sobre", QAccessible::Dialog, "Sobre");
    add("frm6_Configurar", QAccessible::Dialog, "Configuração");
}

// Each window is read as a frame or a dialog with a name of its own; the two copy buttons say what they copy.
void TestKeyboard::windowsAreNamed()
{
    QFETCH(QString, window);
    Accessibility::install();
    ProgramWindows windows;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(windows.window(window));
    QTEST(int(accessible->role()), "role");
    QTEST(accessible->text(QAccessible::Name), "name");
    if (window == "frm0_Inicial") {
        const auto nameOf = [&](const char* button) {
            return QAccessible::queryAccessibleInterface(child(windows.main(), button))->text(QAccessible::Name);
        };
        QCOMPARE(nameOf("btnCopyLogin") + " / " + nameOf("btnCopySenha"), "Copiar login / Copiar senha");
    }
}

// Owned by the main window, the desktop keeps them above it and out of the taskbar.
void TestKeyboard::sideWindowsAreToolWindowsOfTheMainWindow()
{
    ProgramWindows windows;
    for (const QString name : {"frm2_Esquerda", "frm3_Direita"}) {
        QWidget* side = windows.window(name);
        QCOMPARE(side->windowType(), Qt::Tool);
        QVERIFY(side->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(side->parentWidget(), windows.main());
        QCOMPARE(side->windowHandle()->transientParent(), windows.main()->windowHandle());
    }
}

void TestKeyboard::pictureButtonPress_data()
{
    QTest::addColumn<Qt::MouseButton>("mouseButton"); // none: the key is pressed
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<bool>("pressedLook");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<int>("clicks");
    const auto add = [](const char* name, Qt::MouseButton mouse, QKeyCombination key, bool look, bool moves,
                        int clicks) { QTest::newRow(name) << mouse << key << look << moves << clicks; };
    const QKeyCombination none(Qt::Key_unknown);
    add("held down it sits lower and right, and clicks on release", Qt::LeftButton, none, true, true, 1);
    add("the right button gives the pressed look but no click", Qt::RightButton, none, true, true, 0);
    add("a button without the pressed look stays in place", Qt::LeftButton, none, false, false, 1);
    add("Space presses it", Qt::NoButton, Qt::Key_Space, true, true, 1);
    add("Enter presses it", Qt::NoButton, Qt::Key_Return, true, true, 1);
    add("keypad Enter presses it", Qt::NoButton, Qt::KeypadModifier | Qt::Key_Enter, true, true, 1);
    add("Shift+Enter presses it", Qt::NoButton, Qt::ShiftModifier | Qt::Key_Return, true, true, 1);
    add("a letter does not", Qt::NoButton, Qt::Key_A, true, false, 0);
}

void TestKeyboard::pictureButtonPress()
{
    QFETCH(Qt::MouseButton, mouseButton);
    QFETCH(QKeyCombination, key);
    QFETCH(bool, pressedLook);
    QFETCH(bool, moves);
    QWidget window;
    window.resize(60, 60);
    auto* button = new PictureButton("btnFechar", "button-close", "Fechar", &window);
    button->setGeometry(10, 10, 20, 20);
    button->setPressedLook(pressedLook);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    const QImage resting = window.grab().toImage();

    mouseButton ? QTest::mousePress(button, mouseButton) : QTest::keyPress(button, key.key(), key.keyboardModifiers());
    QCOMPARE(button->pos(), moves ? QPoint(11, 11) : QPoint(10, 10));
    QCOMPARE(window.grab().toImage() != resting, moves);
    QCOMPARE(clicks.size(), 0);
    mouseButton ? QTest::mouseRelease(button, mouseButton)
                : QTest::keyRelease(button, key.key(), key.keyboardModifiers());
    QCOMPARE(button->pos(), QPoint(10, 10));
    QCOMPARE(window.grab().toImage(), resting);
    QTEST(int(clicks.size()), "clicks");
}

// A window that opens gives its close button the focus without the mark; a key shows it, and it goes with the focus.
void TestKeyboard::focusMarkShowsOnlyWithTheFocus()
{
    ProgramWindows windows;
    QWidget* close = child(windows.window("frm5_Sobre"), "btnFechar");
    QVERIFY(close->hasFocus());
    const QImage opened = close->grab().toImage();
    QTest::keyPress(close, Qt::Key_Space);
    QVERIFY(close->grab().toImage() != opened);
    close->clearFocus();
    QCOMPARE(close->grab().toImage(), opened);
}

void TestKeyboard::tabFollowsReadingOrder_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("order");
    const auto add = [](const char* name, const char* window, const char* order) {
        QTest::newRow(name) << QString(window) << QString(order);
    };
    add("login", "frm0_Logar", "btnFechar txtLogar btnOk");
    add("new entry", "frm1_Escrever", "btnFechar txtTitulo btnCalendario txtLogin txtSenha txtUrl txtDescricao btnOk");
    add("detail", "frm2_Esquerda", "btnFechar txtTitulo btnUrl txtUrl txtLogin txtSenha");
    add("update", "frm3_Direita", "btnFechar txtDescricao btnCalendario btnOk btnDel");
    add("help", "frm4_Ajuda", "btnFechar txtAjuda");
    // The two options are one stop; the arrow keys move between them.
    add("settings", "frm6_Configurar", "btnFechar optSim txtSenhaAtual txtNovaSenha txtRepSenha btnOk");
}

void TestKeyboard::tabFollowsReadingOrder()
{
    QFETCH(QString, window);
    QFETCH(QString, order);
    const QStringList names = order.split(' ');
    ProgramWindows windows;
    windows.window(window)->findChild<QWidget*>(names.first())->setFocus();
    QStringList walked;
    for (qsizetype step = 0; step <= names.size(); ++step) {
        walked.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked, names + QStringList{names.first()});
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
