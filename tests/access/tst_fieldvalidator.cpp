#include "access/fieldvalidator.h"
#include "support/input.h"
#include "platform/noticelabel.h"
#include "platform/recordingplatform.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>

namespace {

enum class Arrival
{
    Typed,
    Pasted,
    Composed,
    Dropped,
};

void bringIn(QLineEdit* box, Arrival arrival, const QString& text)
{
    switch (arrival) {
    case Arrival::Typed:
        typeText(box, text);
        break;
    case Arrival::Pasted:
        paste(box, text);
        break;
    case Arrival::Composed: {
        // What an input method commits, such as a dead key's accent.
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(box, &commit);
        break;
    }
    case Arrival::Dropped: {
        QMimeData data;
        data.setText(text);
        const QPoint end(box->width() - 2, box->height() / 2);
        QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drop);
        break;
    }
    }
}

} // namespace

class TestFieldValidator : public QObject
{
    Q_OBJECT

private slots:
    void boxTakesWholeEditsOnly_data();
    void boxTakesWholeEditsOnly();
};

void TestFieldValidator::boxTakesWholeEditsOnly_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<Arrival>("arrival");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QStringList>("notices");

    const QString tooLong = QStringLiteral("A senha aceita no máximo 20 caracteres.");
    const QString tilde = QStringLiteral("O caractere ~ não é aceito neste campo.");
    const QString stored = QString(25, QLatin1Char('s'));
    QTest::newRow("24 dropped") << "" << Arrival::Dropped << "Xk9mQ2vL7pR4sT8wZ3nB6yH1"
                                << "" << QStringList{tooLong};
    QTest::newRow("20 dropped") << "" << Arrival::Dropped << "Xk9mQ2vL7pR4sT8wZ3nB"
                                << "Xk9mQ2vL7pR4sT8wZ3nB" << QStringList{};
    QTest::newRow("typed with refused") << "" << Arrival::Typed << "S3nha~Forte^`!"
                                        << "S3nhaForte!"
                                        << QStringList{tilde, "O caractere ^ não é aceito neste campo.",
                                                       "O caractere ` não é aceito neste campo."};
    QTest::newRow("dead key composes a tilde") << "S3nha" << Arrival::Composed << "~"
                                               << "S3nha" << QStringList{tilde};
    QTest::newRow("composed accent taken") << "S3nh" << Arrival::Composed << "á"
                                           << "S3nhá" << QStringList{};
    QTest::newRow("stored, too long: shown whole, Backspace deletes")
        << stored << Arrival::Typed << "\b" << stored.chopped(1) << QStringList{};
    QTest::newRow("stored, too long: nothing added")
        << stored << Arrival::Typed << "x" << stored << QStringList{tooLong};
    QTest::newRow("stored tilde: Backspace and typing") << "user~" << Arrival::Typed << "\b1"
                                                        << "user1" << QStringList{};
    QTest::newRow("stored tilde: another refused") << "user~" << Arrival::Pasted << "~"
                                                   << "user~" << QStringList{tilde};
}

// Typed, pasted, composed or dropped: an edit is taken whole or refused whole with one notice, the box unchanged.
void TestFieldValidator::boxTakesWholeEditsOnly()
{
    QFETCH(QString, shown);
    QFETCH(Arrival, arrival);
    QFETCH(QString, text);
    QFETCH(QString, kept);
    QFETCH(QStringList, notices);

    QWidget window;
    auto* box = new QLineEdit(&window);
    new FieldValidator(FieldRule(QStringLiteral("A senha"), 20, FieldRule::Characters::EntryWindow), box);
    RecordingPlatform platform;
    auto* notice = new NoticeLabel(QStringLiteral("lblMensagem"), &window);
    FieldValidator::reportRefusals(&window, platform, notice);
    window.show();
    box->setText(shown);
    QSignalSpy shownNotices(box->findChild<FieldValidator*>(), &FieldValidator::refused);

    bringIn(box, arrival, text);

    QCOMPARE(box->text(), kept);
    QStringList told;
    for (const QList<QVariant>& signal : shownNotices) {
        told.append(signal.first().toString());
    }
    QCOMPARE(told, notices);
    QCOMPARE(platform.beeps, notices.size());
    QCOMPARE(notice->isVisible(), !notices.isEmpty());
    QCOMPARE(notice->text(), notices.value(notices.size() - 1));
}

QTEST_MAIN(TestFieldValidator)
#include "tst_fieldvalidator.moc"
