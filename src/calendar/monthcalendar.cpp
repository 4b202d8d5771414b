#include "calendar/monthcalendar.h"

#include "calendar/daycell.h"
#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/platform.h"
#include "platform/twips.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace {

const QStringList weekdayInitials = {
    QStringLiteral("D"), QStringLiteral("S"), QStringLiteral("T"), QStringLiteral("Q"),
    QStringLiteral("Q"), QStringLiteral("S"), QStringLiteral("S"),
};

constexpr int navigationTop = 75;
constexpr int navigationSize = 270;
constexpr int weekdayHeight = 210;

} // namespace

MonthCalendar::MonthCalendar(const CalendarLayout& layout, Platform& platform, Clock clock, QWidget* parent)
    : QFrame(parent), m_layout(layout), m_platform(platform), m_clock(std::move(clock)),
      m_grid(m_clock().date().year(), m_clock().date().month())
{
    setObjectName(QStringLiteral("frameCalendario"));
    setAccessibleName(QStringLiteral("Calendário"));
    setGeometry(Twips::rect(layout.left, layout.hiddenTop, layout.width, layout.height));
    createTitleRow();
    createCells();
    m_todayDay = createHiddenLabel(QStringLiteral("lblDiaHoje"));
    m_shownMonth = createHiddenLabel(QStringLiteral("lblMesHoje"));
    m_shownYear = createHiddenLabel(QStringLiteral("lblAnoHoje"));
    MostraMesAtual();
    setReachable(false);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* focused) { keepFocusOffCoveredBoxes(focused); });
}

MonthCalendar::~MonthCalendar()
{
    // The focus moves while the children are destroyed, after this part of the object is gone.
    disconnect(qApp, nullptr, this, nullptr);
}

void MonthCalendar::createTitleRow()
{
    const int right = m_layout.gridLeft + 6 * m_layout.columnStep + m_layout.cellWidth;
    const auto button = [this](const char* name, const char* picture, const char* tip, int left) {
        auto* result =
            new PictureButton(QString::fromLatin1(name), QString::fromLatin1(picture), QString::fromUtf8(tip), this);
        result->setGeometry(Twips::rect(left, navigationTop, navigationSize, navigationSize));
        result->setPressedLook(true);
        return result;
    };
    PictureButton* previous = button("btnPrev2", "calendar-prev", " Mês anterior ", m_layout.gridLeft);
    PictureButton* next = button("btnNext2", "calendar-next", " Próximo mês ", right - navigationSize);
    PictureButton* current = button("btnAtual2", "calendar-today", " Mês atual ", right - 2 * navigationSize - 45);
    connect(previous, &PictureButton::clicked, this, &MonthCalendar::MesAnterior);
    connect(next, &PictureButton::clicked, this, &MonthCalendar::ProximoMes);
    connect(current, &PictureButton::clicked, this, &MonthCalendar::MostraMesAtual);

    const int titleLeft = m_layout.gridLeft + navigationSize + 30;
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("TitMesAno2"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setGeometry(Twips::rect(titleLeft, navigationTop, right - 2 * navigationSize - 75 - titleLeft, 270));
    QFont font = m_title->font();
    font.setPixelSize(12);
    font.setBold(true);
    m_title->setFont(font);
    m_title->setStyleSheet(QStringLiteral("color: #f6d27a;"));
}

void MonthCalendar::createCells()
{
    QFont font = this->font();
    font.setPixelSize(11);
    for (int i = 0; i < MonthGrid::cellCount; ++i) {
        auto* cell = new DayCell(QStringLiteral("%1_%2").arg(m_layout.cellName).arg(i), i, this);
        cell->setFont(font);
        cell->setStyleSheet(QStringLiteral("color: #404040;"));
        const int column = i % MonthGrid::columnCount;
        const int row = i / MonthGrid::columnCount;
        cell->setGeometry(Twips::rect(m_layout.gridLeft + column * m_layout.columnStep,
                                      m_layout.gridTop + row * m_layout.rowStep, m_layout.cellWidth,
                                      m_layout.cellHeight));
        connect(cell, &DayCell::pressed, this, &MonthCalendar::pressCell);
        connect(cell, &DayCell::released, this, &MonthCalendar::releaseCell);
        connect(cell, &DayCell::clicked, this, &MonthCalendar::pickCell);
        connect(cell, &DayCell::stepRequested, this, &MonthCalendar::moveFocus);
        m_cells.append(cell);
    }
}

QLabel* MonthCalendar::createHiddenLabel(const QString& name)
{
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->hide();
    return label;
}

void MonthCalendar::showInWindow()
{
    if (!m_reachable) {
        m_opener = window()->focusWidget();
    }
    m_open = true;
    move(x(), Twips::toPixels(m_layout.shownTop));
    show();
    raise();
    setReachable(true);
    entryCell()->setFocus(Qt::TabFocusReason);
}

void MonthCalendar::hideInWindow()
{
    m_open = false;
    move(x(), Twips::toPixels(m_layout.hiddenTop));
    const bool hadFocus = isAncestorOf(window()->focusWidget());
    setReachable(false);
    // Out of the accessibility tree's showing controls as well as out of sight.
    hide();
    if (hadFocus && m_opener) {
        m_opener->setFocus();
    }
}

void MonthCalendar::setReachable(bool reachable)
{
    // Out of sight, the calendar is out of the Tab order too.
    m_reachable = reachable;
    const QList<PictureButton*> buttons = findChildren<PictureButton*>();
    for (PictureButton* button : buttons) {
        button->setFocusPolicy(reachable ? Qt::TabFocus : Qt::NoFocus);
    }
    const DayCell* entry = entryCell();
    for (DayCell* cell : std::as_const(m_cells)) {
        cell->setFocusPolicy(reachable && (cell == entry || cell->hasFocus()) ? Qt::TabFocus : Qt::NoFocus);
    }
}

DayCell* MonthCalendar::entryCell() const
{
    const QDate today = this->today();
    for (DayCell* cell : m_cells) {
        if (cell->hasFocus()) {
            return cell;
        }
    }
    return m_cells.at(m_grid.cellOfDay(m_grid.isMonthOf(today) ? today.day() : 1));
}

QDate MonthCalendar::today() const
{
    return m_clock().date();
}

void MonthCalendar::setChosenDate(const QDate& date)
{
    m_chosen = date;
    DesenhaMes();
}

bool MonthCalendar::focusNextPrevChild(bool next)
{
    if (!m_reachable) {
        return QFrame::focusNextPrevChild(next);
    }
    // Round the days and the three month buttons, the days first.
    QList<QWidget*> stops = {entryCell()};
    for (const char* name : {"btnPrev2", "btnAtual2", "btnNext2"}) {
        stops.append(findChild<QWidget*>(QLatin1String(name)));
    }
    const qsizetype at = stops.indexOf(window()->focusWidget());
    const qsizetype step = next ? 1 : stops.size() - 1;
    stops.at(at < 0 ? 0 : (at + step) % stops.size())->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void MonthCalendar::keepFocusOffCoveredBoxes(QWidget* focused)
{
    if (!m_reachable || focused == nullptr || focused->window() != window() || isAncestorOf(focused) ||
        focused == this) {
        return;
    }
    const QRect place(focused->mapTo(parentWidget(), QPoint(0, 0)), focused->size());
    if (geometry().intersects(place)) {
        entryCell()->setFocus(Qt::OtherFocusReason);
    }
}

void MonthCalendar::moveFocus(DayCell* from, int step)
{
    const int target = from->index() + step;
    if (target < 0 || target >= m_cells.size() || m_cells.at(target)->isBlank()) {
        return;
    }
    m_cells.at(target)->setFocusPolicy(Qt::TabFocus);
    m_cells.at(target)->setFocus(Qt::OtherFocusReason);
    from->setFocusPolicy(Qt::NoFocus);
}

void MonthCalendar::keyPressEvent(QKeyEvent* event)
{
    // Delete picks no date, as a click on a blank cell does; the last cell is blank in every month.
    const bool clear = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (clear && m_reachable) {
        pickCell(m_cells.last());
        return;
    }
    if (!closeOnEscape(event->key())) {
        QFrame::keyPressEvent(event);
    }
}

bool MonthCalendar::closeOnEscape(int key)
{
    // Escape closes the open calendar alone; in the window around it, it would throw away everything typed.
    if (key != Qt::Key_Escape || !isShownInWindow()) {
        return false;
    }
    hideInWindow();
    return true;
}

bool MonthCalendar::isShownInWindow() const
{
    return m_open;
}

void MonthCalendar::MostraMesAtual()
{
    m_grid.showMonthOf(m_clock().date());
    DesenhaMes();
}

void MonthCalendar::MesAnterior()
{
    if (!m_grid.stepBack()) {
        AvisaAnoInvalido();
        return;
    }
    DesenhaMes();
}

void MonthCalendar::ProximoMes()
{
    if (!m_grid.stepForward()) {
        AvisaAnoInvalido();
        return;
    }
    DesenhaMes();
}

void MonthCalendar::DesenhaMes()
{
    const QDate today = m_clock().date();
    m_title->setText(m_grid.title(m_layout.names));
    m_todayDay->setText(QString::number(today.day()));
    m_shownMonth->setText(QString::number(m_grid.month()));
    m_shownYear->setText(QString::number(m_grid.year()));
    for (DayCell* cell : std::as_const(m_cells)) {
        const int day = m_grid.dayOfCell(cell->index());
        cell->setText(day == 0 ? DayCell::blankCaption() : DayCell::caption(day));
        const QDate date = day == 0 ? QDate() : QDate(m_grid.year(), m_grid.month(), day);
        cell->setDay(date, date.isValid() && date == today, date.isValid() && date == m_chosen);
        cell->setOpaque(false);
        cell->setCursor(day == 0 ? Qt::ArrowCursor : Qt::PointingHandCursor);
    }
    if (m_grid.isMonthOf(today)) {
        DayCell* cell = m_cells.at(m_grid.cellOfDay(today.day()));
        cell->setOpaque(true);
        cell->setBackColour(todayColour());
    }
    setReachable(m_reachable);
}

void MonthCalendar::AvisaAnoInvalido()
{
    m_platform.showMessage(window(),
                           QStringLiteral("Ano inválido. O ano deve estar no \nintervalo de %1 a %2, inclusive.")
                               .arg(MonthGrid::firstYear)
                               .arg(MonthGrid::lastYear),
                           QStringLiteral("Agendinha"), Platform::MessageIcon::Exclamation);
}

bool MonthCalendar::isTodaysCell(const DayCell* cell) const
{
    const QDate today = m_clock().date();
    return m_grid.isMonthOf(today) && m_grid.dayOfCell(cell->index()) == today.day();
}

void MonthCalendar::pressCell(DayCell* cell)
{
    m_colourBeforePress = cell->backColour();
    if (!cell->isBlank()) {
        cell->setOpaque(true);
        cell->setBackColour(pressedColour());
    }
}

void MonthCalendar::releaseCell(DayCell* cell)
{
    // The cell returns to the look the month gave it: only today's own cell stays marked.
    cell->setBackColour(m_colourBeforePress);
    cell->setOpaque(isTodaysCell(cell));
}

void MonthCalendar::pickCell(DayCell* cell)
{
    const int day = m_grid.dayOfCell(cell->index());
    setChosenDate(day == 0 ? QDate() : QDate(m_grid.year(), m_grid.month(), day));
    emit datePicked(m_chosen);
    hideInWindow();
}

void MonthCalendar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Picture::paint(painter, QStringLiteral("calendar-background"), rect());
    QFont font = this->font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    for (int column = 0; column < MonthGrid::columnCount; ++column) {
        // Sunday stands out in the accent colour.
        painter.setPen(column == 0 ? QColor(0xB0, 0x5A, 0x1E) : QColor(0x34, 0x50, 0x6F));
        const QRect header = Twips::rect(m_layout.gridLeft + column * m_layout.columnStep,
                                         m_layout.gridTop - weekdayHeight - 30, m_layout.cellWidth, weekdayHeight);
        painter.drawText(header, Qt::AlignCenter, weekdayInitials.at(column));
    }
}
