#include "entries/newentrywindow.h"

#include "access/fieldvalidator.h"
#include "calendar/monthcalendar.h"
#include "entries/descriptionedit.h"
#include "entries/entryfields.h"
#include "entries/entrymessages.h"
#include "entries/entrywidgets.h"
#include "generator/passwordmenu.h"
#include "platform/noticelabel.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/taborder.h"
#include "platform/twips.h"
#include "storage/entryrecord.h"
#include "storage/vault.h"
#include "wording/storagewording.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <functional>

using EntryWidgets::LabelRole;

namespace {

// A label that reports clicks: "Vencimento:" clears the date.
class ClickableLabel : public QLabel
{
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick) {
            onClick();
        }
    }
};

constexpr int margin = 150;
constexpr int fullWidth = 3420 - 2 * margin;
constexpr int columnGap = 90;
constexpr int columnWidth = (fullWidth - columnGap) / 2;
constexpr int secondColumn = margin + columnWidth + columnGap;

} // namespace

NewEntryWindow::NewEntryWindow(Vault& vault, Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_vault(vault), m_platform(platform)
{
    setObjectName(QStringLiteral("frm1_Escrever"));
    setWindowTitle(QStringLiteral("Inserir Password"));
    setModal(true);
    setFixedSize(Twips::size(3420, 3960));
    EntryWidgets::dress(this);
    EntryWidgets::label(this, QStringLiteral("Label6"), QStringLiteral("Inserir Password"), LabelRole::Heading, margin,
                        60, 2700, 315);
    createFields();
    createDateRow();
    createButtons();
    FieldValidator::reportRefusals(this, m_platform, m_notice);
    m_calendar = new MonthCalendar(
        CalendarLayout::CalendarioEscrever(), platform, [this] { return m_clock(); }, this);
    connect(m_calendar, &MonthCalendar::datePicked, this, &NewEntryWindow::escreveTexto);
    setTabOrderByName(this, {QStringLiteral("btnFechar"), QStringLiteral("txtTitulo"), QStringLiteral("btnCalendario"),
                             QStringLiteral("btnPrev2"), QStringLiteral("btnAtual2"), QStringLiteral("btnNext2"),
                             QStringLiteral("txtLogin"), QStringLiteral("txtSenha"), QStringLiteral("txtUrl"),
                             QStringLiteral("txtDescricao"), QStringLiteral("btnOk")});
    m_title->setFocus();
}

void NewEntryWindow::createFields()
{
    const auto caption = [this](const char* name, const char* text, int left, int top, QWidget* box) {
        EntryWidgets::label(this, QString::fromLatin1(name), QString::fromUtf8(text), LabelRole::Caption, left, top,
                            900, 225)
            ->setBuddy(box);
    };
    const auto limit = [this](const char* name, EntryRecord::Field field, int left, int top, int width) {
        EntryWidgets::limitLabel(this, QString::fromLatin1(name), field, left + width - 1600, top, 1600, 225);
    };
    m_title = EntryWidgets::lineBox(this, QStringLiteral("txtTitulo"), EntryRecord::Title, margin, 735, fullWidth, 300);
    caption("lblTitulo", "Título", margin, 510, m_title);
    limit("Label1", EntryRecord::Title, margin, 510, fullWidth);

    m_login =
        EntryWidgets::lineBox(this, QStringLiteral("txtLogin"), EntryRecord::Login, margin, 1650, columnWidth, 300);
    caption("Label3", "Login", margin, 1425, m_login);
    limit("Label7", EntryRecord::Login, margin, 1425, columnWidth);
    m_password = EntryWidgets::lineBox(this, QStringLiteral("txtSenha"), EntryRecord::Password, secondColumn, 1650,
                                       columnWidth, 300);
    PasswordMenu::addTo(m_password, KeyFilter::CharacterSet::EntryWindow);
    caption("Label4", "Senha", secondColumn, 1425, m_password);
    limit("Label8", EntryRecord::Password, secondColumn, 1425, columnWidth);

    m_address =
        EntryWidgets::lineBox(this, QStringLiteral("txtUrl"), EntryRecord::Address, margin, 2250, fullWidth, 300);
    caption("Label5", "URL", margin, 2025, m_address);
    limit("Label7", EntryRecord::Address, margin, 2025, fullWidth);

    m_description = new DescriptionEdit(QStringLiteral("txtDescricao"), this);
    m_description->setGeometry(Twips::rect(margin, 2850, fullWidth, 705));
    caption("lblDescricao", "Descrição", margin, 2625, m_description);
    limit("Label7", EntryRecord::Description, margin, 2625, fullWidth);
}

void NewEntryWindow::createDateRow()
{
    auto* expiryLabel = new ClickableLabel(QStringLiteral("Vencimento:"), this);
    expiryLabel->setObjectName(QStringLiteral("lblVencimento"));
    expiryLabel->setGeometry(Twips::rect(margin, 1110, 1230, 240));
    expiryLabel->setToolTip(QStringLiteral(" ----/----/---- "));
    expiryLabel->setCursor(Qt::PointingHandCursor);
    QFont font = expiryLabel->font();
    font.setBold(true);
    font.setUnderline(true);
    expiryLabel->setFont(font);
    expiryLabel->setStyleSheet(QStringLiteral("color: #34506f;"));
    expiryLabel->onClick = [this] { lblVencimento_Click(); };

    m_date = EntryWidgets::label(this, QStringLiteral("lblData"), QString::fromLatin1(EntryRecord::noExpiry),
                                 LabelRole::Caption, margin + 1260, 1110, 1400, 240);
    m_date->setStyleSheet(QStringLiteral("color: #8a4b12;"));
}

void NewEntryWindow::createButtons()
{
    auto* calendarButton = new PictureButton(QStringLiteral("btnCalendario"), QStringLiteral("calendar-button"),
                                             QStringLiteral(" Calendário "), this);
    calendarButton->setGeometry(Twips::rect(margin + fullWidth - 315, 1035, 315, 315));
    connect(calendarButton, &PictureButton::clicked, this, [this] { m_calendar->showInWindow(); });

    auto* closeButton = new PictureButton(QStringLiteral("btnFechar"), QStringLiteral("button-close"),
                                          QStringLiteral(" Fechar "), this);
    closeButton->setGeometry(Twips::rect(3420 - 60 - 315, 60, 315, 315));
    connect(closeButton, &PictureButton::clicked, this, &QDialog::reject);

    auto* okButton = new PictureButton(QStringLiteral("btnOk"), QStringLiteral("newentry-insert"),
                                       QStringLiteral(" Inserir "), this);
    okButton->setGeometry(Twips::rect(margin + fullWidth - 1200, 3630, 1200, 285));
    connect(okButton, &PictureButton::clicked, this, &NewEntryWindow::btnOk_Click);

    m_notice = new NoticeLabel(QStringLiteral("lblMensagem"), this);
    // Right under the title box, over the date row, while it stands; room for two lines.
    m_notice->setGeometry(Twips::rect(margin, 1050, fullWidth, 375));
}

void NewEntryWindow::setClock(Clock clock)
{
    m_clock = std::move(clock);
    m_calendar->MostraMesAtual();
}

void NewEntryWindow::escreveTexto(const QDate& date)
{
    m_date->setText(MonthGrid::dateText(date));
}

void NewEntryWindow::keyPressEvent(QKeyEvent* event)
{
    // The calendar opened by mouse leaves the focus in a box: Escape reaches the window, not the calendar.
    if (!m_calendar->closeOnEscape(event->key())) {
        QDialog::keyPressEvent(event);
    }
}

QString NewEntryWindow::discardQuestion()
{
    return QStringLiteral("Fechar a janela e descartar o que foi digitado nesta entrada?");
}

void NewEntryWindow::reject()
{
    const EntryFields typed = fields();
    const bool blank = typed.title.isEmpty() && typed.login.isEmpty() && typed.password.isEmpty() &&
                       typed.address.isEmpty() && typed.description.isEmpty() &&
                       typed.expiry == QLatin1String(EntryRecord::noExpiry);
    if (!blank && !m_platform.askYesNo(this, discardQuestion())) {
        return;
    }
    QDialog::reject();
}

void NewEntryWindow::lblVencimento_Click()
{
    m_date->setText(QString::fromLatin1(EntryRecord::noExpiry));
    m_calendar->setChosenDate({});
    m_calendar->hideInWindow();
}

EntryFields NewEntryWindow::fields() const
{
    EntryFields fields;
    fields.title = m_title->text();
    fields.expiry = m_date->text();
    fields.login = m_login->text();
    fields.password = m_password->text();
    fields.address = m_address->text();
    fields.description = m_description->toPlainText();
    return fields;
}

void NewEntryWindow::btnOk_Click()
{
    const EntryFields entry = fields();
    if (!entry.hasTitle()) {
        // Nothing typed is lost: the window stays open for the title.
        m_platform.beep();
        m_notice->showNotice(EntryMessages::blankTitle());
        emit noticeRequested(EntryMessages::blankTitle());
        m_title->setFocus();
        return;
    }
    const StorageResult result = m_vault.addEntry(entry.toRecord(m_clock()));
    if (!result.ok()) {
        m_platform.showMessage(this, StorageWording::message(result), Platform::programTitle(),
                               Platform::MessageIcon::Critical);
        return;
    }
    if (!result.notes.isEmpty()) {
        m_platform.showMessage(this, StorageWording::message(result), Platform::programTitle(),
                               Platform::MessageIcon::Exclamation);
    }
    m_platform.beep();
    emit noticeRequested(EntryMessages::entrySaved());
    accept();
}

void NewEntryWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Picture::paint(painter, QStringLiteral("newentry-background"), rect());
}
