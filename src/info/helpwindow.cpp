#include "info/helpwindow.h"

#include "info/helptext.h"
#include "platform/twips.h"

#include <QPlainTextEdit>

HelpWindow::HelpWindow(QWidget* parent)
    : InfoDialog(QStringLiteral("frm4_Ajuda"), QStringLiteral("Ajuda"), QStringLiteral("help-background"), {}, parent)
{
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("txtAjuda"));
    text->setGeometry(Twips::rect(210, 720, 3000, 2985));
    text->setReadOnly(true);
    text->setAccessibleName(QStringLiteral("Ajuda"));
    text->setTabChangesFocus(true);
    // The arrows and page keys scroll the text from the start.
    text->setFocus();
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text->setPlainText(HelpText::text());
    text->setStyleSheet(QStringLiteral(
        "QPlainTextEdit { background: #f4efe3; color: #2a2a2a; border: 1px solid #0d141c; border-radius: 3px;"
        " padding: 2px; font: 9pt 'DejaVu Sans'; selection-background-color: #c88a1e; }"
        "QScrollBar:vertical { background: #e6dcc6; width: 11px; margin: 0; border-left: 1px solid #cbbd9c; }"
        "QScrollBar::handle:vertical { background: #c88a1e; border: 1px solid #7a5410; border-radius: 4px;"
        " min-height: 24px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
}
