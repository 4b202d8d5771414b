#include "support/input.h"
#include "support/programwindows.h"

#include <QLineEdit>

namespace {

// The boxes, as window/box, that each character set guards.
const QStringList settingsBoxes = {"frm6_Configurar/txtSenhaAtual", "frm6_Configurar/txtNovaSenha",
                                   "frm6_Configurar/txtRepSenha"};
const QStringList entryLoginBoxes = {"frm1_Escrever/txtLogin", "frm1_Escrever/txtSenha", "frm2_Esquerda/txtLogin",
                                     "frm2_Esquerda/txtSenha"};
const QStringList entryTitleBoxes = {"frm1_Escrever/txtTitulo", "frm1_Escrever/txtUrl", "frm2_Esquerda/txtTitulo",
                                     "frm2_Esquerda/txtUrl"};

const QString lettersAndDigits = QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "ÀÁÂÃÄÈÉÊËÌÍÎÏÒÓÔÕÖÙÚÛÜàáâãäèéêëìíîïòóôõöùúûüÑñÇç");
const QString characterNotice = QStringLiteral("O caractere %1 não é aceito neste campo.");

// Every character of the Latin alphabets, punctuation and currency but those taken: where a wrong one would come from.
QString latinBut(const QString& taken)
{
    QString others;
    for (char16_t code = 0x01; code <= 0x20CF; code = code == 0x24F ? 0x2000 : code + 1) {
        others += taken.contains(QChar(code)) ? QString() : QString(QChar(code));
    }
    return others;
}

// The notice is empty when the characters are taken, %1 stands for the character, "*" for any notice.
void row(const QByteArray& name, const QStringList& boxes, const QString& characters, const QString& notice = {})
{
    QTest::newRow(name.constData()) << boxes << characters << notice;
}

QLineEdit* showBox(ProgramWindows& windows, const QString& place)
{
    return child<QLineEdit>(windows.window(place.section('/', 0, 0)), qPrintable(place.section('/', 1)));
}

} // namespace

class TestBoxCharacters : public QObject
{
    Q_OBJECT

private slots:
    void characters_data()
    {
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("characters");
        QTest::addColumn<QString>("notice");
        const QString settingsSymbols = QStringLiteral("@&*#$_"), entrySymbols = ".,:;<>=(){}[]'\"-+/\\@&*!¿?|%#$_ ";
        row("settings: letters, digits and @ & * # $ _ are taken", settingsBoxes, lettersAndDigits + settingsSymbols);
        row("settings: every other Latin letter or symbol is refused", settingsBoxes,
            latinBut(lettersAndDigits + settingsSymbols), "*");
        row("settings: the space is refused", settingsBoxes, " ", "O espaço não é aceito neste campo.");
        row("settings: other punctuation is refused", settingsBoxes, ".,:;<>=(){}[]'\"-+/\\!¿?|%~`^°ªº",
            characterNotice);
        row("entry logins and passwords: letters, digits, punctuation and the space are taken", entryLoginBoxes,
            lettersAndDigits + entrySymbols);
        row("entry logins and passwords: every other Latin letter or symbol is refused", entryLoginBoxes,
            latinBut(lettersAndDigits + entrySymbols), "*");
        row("entry logins and passwords: ~ ` ^ ° ª º are refused", entryLoginBoxes, "~`^°ªº", characterNotice);
        row("logins and passwords: control characters are refused", settingsBoxes + entryLoginBoxes, "\t\x01\x7f",
            "Caracteres de controle não são aceitos neste campo.");
        row("every box: line breaks are refused", settingsBoxes + entryLoginBoxes + entryTitleBoxes, "\r\n",
            "Quebras de linha não são aceitas neste campo.");
        row("titles and addresses: what the file can hold is taken", entryTitleBoxes, "aZ09 ~`^°ªº€Œ“”\tÿ");
        row("titles and addresses: the field separator § and the line-break mark ¥ are refused", entryTitleBoxes, "§¥",
            characterNotice);
        row("titles and addresses: what the file cannot hold is refused", entryTitleBoxes, "Ωőア😀", characterNotice);
    }

    // Each character, typed or pasted alone into an empty box, is taken, or refused with a beep and a notice, box
    // unchanged.
    void characters()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QString, characters);
        QFETCH(QString, notice);
        ProgramWindows windows;
        for (const QString& place : boxes) {
            QLineEdit* box = showBox(windows, place);
            QWidget* message = child(box->window(), "lblMensagem");
            for (const char32_t code : characters.toUcs4()) {
                const QString character = QString::fromUcs4(&code, 1);
                for (const bool typed : {character.size() == 1 && character[0].isPrint(), false}) {
                    box->setText(QString());
                    message->hide();
                    windows.platform.beeps = 0;
                    typed ? typeText(box, character) : paste(box, character);
                    const bool taken = box->text() == character && windows.platform.beeps == 0 && !message->isVisible();
                    const bool refused = box->text().isEmpty() && windows.platform.beeps == 1 && message->isVisible();
                    QVERIFY2(notice.isEmpty() ? taken : refused,
                             qPrintable(QStringLiteral("%1, U+%2, typed %3").arg(place).arg(code, 4, 16).arg(typed)));
                    if (!notice.isEmpty() && notice != QLatin1String("*")) {
                        QCOMPARE(textOf(message),
                                 notice.contains(QLatin1String("%1")) ? notice.arg(character) : notice);
                    }
                }
            }
        }
    }

    // Past twelve characters, nothing is taken, nor cut; longer text the program put there can be shortened only.
    void limits()
    {
        ProgramWindows windows;
        const QString notice = QStringLiteral("A senha aceita no máximo 12 caracteres."), full(12, QLatin1Char('a'));
        for (const QString& place : settingsBoxes) {
            QLineEdit* box = showBox(windows, place);
            const auto refused = [&](const QString& kept, const QString& told) {
                QCOMPARE(box->text(), kept);
                QCOMPARE(textOf(child(box->window(), "lblMensagem")), told);
                QCOMPARE(std::exchange(windows.platform.beeps, 0), 1);
            };
            paste(box, full + QLatin1Char('b'));
            refused(QString(), notice);
            paste(box, full);
            typeText(box, QStringLiteral("b"));
            refused(full, notice);

            const QString stored = QStringLiteral("§") + full;
            box->setText(stored);
            typeText(box, QStringLiteral("\bb"));
            refused(stored.chopped(1), notice);
            typeText(box, QStringLiteral("\b§"));
            refused(stored.chopped(2), characterNotice.arg(QStringLiteral("§")));
        }
    }
};

QTEST_MAIN(TestBoxCharacters)
#include "tst_boxcharacters.moc"
