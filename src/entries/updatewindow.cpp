#include "entries/updatewindow.h"

#include "calendar/monthcalendar.h"
#include "entries/descriptionedit.h"
#include "entries/entryfields.h"
#include "entries/entrymessages.h"
#include "entries/entrywidgets.h"
#include "expiry/expirystatus.h"
#include "platform/noticelabel.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/taborder.h"
#include "platform/taskbarhint.h"
#include "platform/twips.h"
#include "platform/windowdragger.h"
#include "platform/windowshape.h"
#include "shape/outline.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

using EntryWidgets::LabelRole;

namespace {

constexpr int windowWidth = 2685;
constexpr int windowHeight = 3420;
constexpr int margin = 120;
constexpr int boxWidth = windowWidth - 2 * margin;
// Wide enough for the no-date placeholder, right up to the calendar button.
constexpr int valueLeft = 1395;
constexpr int valueWidth = 900;
constexpr int calendarButtonLeft = windowWidth - 60 - 315;

} // namespace

UpdateWindow::UpdateWindow(Platform& platform, Clock clock, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frm3_Direita"));
    setWindowTitle(Platform::programTitle());
    setAccessibleName(QStringLiteral("Atualizar"));
    setAttribute(Qt::WA_DeleteOnClose);
    keepOutOfTaskbar(this);
    setFixedSize(Twips::size(windowWidth, windowHeight));
    EntryWidgets::dress(this);
    applyWindowOutline(this, Outline::build(Outline::updateWindow()));
    new WindowDragger(this);
    EntryWidgets::label(this, QStringLiteral("lblCabecalho"), QStringLiteral("Atualizar"), LabelRole::Heading, margin,
                        60, 1800, 315);
    createFields();
    createButtons();
    m_calendar = new MonthCalendar(CalendarLayout::CalendarioAtualizar(), platform, std::move(clock), this);
    connect(m_calendar, &MonthCalendar::datePicked, this, &UpdateWindow::escreveTexto);
    setTabOrderByName(this, {QStringLiteral("btnFechar"), QStringLiteral("txtDescricao"),
                             QStringLiteral("btnCalendario"), QStringLiteral("btnPrev2"), QStringLiteral("btnAtual2"),
                             QStringLiteral("btnNext2"), QStringLiteral("btnOk"), QStringLiteral("btnDel")});
}

void UpdateWindow::createFields()
{
    QLabel* descriptionCaption = EntryWidgets::label(this, QStringLiteral("Label2"), QStringLiteral("Descrição"),
                                                     LabelRole::Caption, margin, 450, 1200, 210);
    EntryWidgets::limitLabel(this, QStringLiteral("Label7"), EntryRecord::Description, windowWidth - margin - 1400, 450,
                             1400, 210);
    m_description = new DescriptionEdit(QStringLiteral("txtDescricao"), this);
    m_description->setGeometry(Twips::rect(margin, 660, boxWidth, 855));
    descriptionCaption->setBuddy(m_description);

    const auto dateRow = [this](const char* caption, const char* text, const char* box, int top) {
        QLabel* label = EntryWidgets::label(this, QString::fromLatin1(caption), QString::fromUtf8(text),
                                            LabelRole::Caption, margin, top, 1275, 285);
        QFont font = label->font();
        font.setPixelSize(10);
        label->setFont(font);
        QLineEdit* value = EntryWidgets::readOnlyBox(this, QString::fromLatin1(box), valueLeft, top, valueWidth, 285);
        QFont valueFont = value->font();
        valueFont.setPixelSize(10);
        value->setFont(valueFont);
        label->setBuddy(value);
        return value;
    };
    m_updatedOn = dateRow("Label3", "Atualizado em:", "txtPostado", 1605);
    m_expiry = dateRow("Label1", "Vence em:", "txtVencimento", 1965);
}

void UpdateWindow::createButtons()
{
    const auto button = [this](const char* name, const char* picture, const char* tip, int left, int top, int w,
                               int h) {
        auto* result =
            new PictureButton(QString::fromLatin1(name), QString::fromLatin1(picture), QString::fromUtf8(tip), this);
        result->setGeometry(Twips::rect(left, top, w, h));
        return result;
    };
    PictureButton* calendarButton =
        button("btnCalendario", "calendar-button", " Calendário ", calendarButtonLeft, 1950, 315, 315);
    connect(calendarButton, &PictureButton::clicked, this, [this] { m_calendar->showInWindow(); });
    PictureButton* save = button("btnOk", "update-save", " Atualizar Password ", margin, 2340, 1185, 285);
    connect(save, &PictureButton::clicked, this, &UpdateWindow::saveRequested);
    PictureButton* remove =
        button("btnDel", "update-delete", " Deletar Password ", windowWidth - margin - 1185, 2340, 1185, 285);
    connect(remove, &PictureButton::clicked, this, &UpdateWindow::deleteRequested);
    PictureButton* closeButton = button("btnFechar", "button-close", " Fechar ", windowWidth - 90 - 315, 60, 315, 315);
    connect(closeButton, &PictureButton::clicked, this, &QWidget::close);

    m_notice = new NoticeLabel(QStringLiteral("lblMensagem"), this);
    // Over the two dates, while it stands.
    m_notice->setGeometry(Twips::rect(margin, 1590, boxWidth, 690));
    m_notice->setWordWrap(true);
}

void UpdateWindow::fill(const EntryFields& entry)
{
    m_description->setPlainText(entry.description);
    m_updatedOn->setText(entry.updatedOn);
    m_expiry->setText(entry.expiry);
    m_calendar->setChosenDate(ExpiryStatus::parse(entry.expiry, m_calendar->today()));
}

EntryFields UpdateWindow::fields() const
{
    EntryFields entry;
    entry.description = m_description->toPlainText();
    entry.expiry = m_expiry->text();
    return entry;
}

void UpdateWindow::showNotice(const QString& text)
{
    m_notice->showNotice(text);
}

void UpdateWindow::escreveTexto(const QDate& date)
{
    m_expiry->setText(MonthGrid::dateText(date));
}

void UpdateWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    clipToOutline(painter, this);
    Picture::paint(painter, QStringLiteral("update-background"), rect());
}

void UpdateWindow::closeEvent(QCloseEvent* event)
{
    emit windowClosed();
    QWidget::closeEvent(event);
}
