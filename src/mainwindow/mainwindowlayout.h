#pragma once

#include <QBrush>
#include <QList>
#include <QPoint>
#include <QRect>

class EntryListModel;
class NoticeLabel;
class PageList;
class PictureButton;
class QLabel;
class QLineEdit;
class QWidget;
class SearchLine;

// The controls of the main window, built on it and placed where its designer drew them, and the window's own size,
// font, outline and place on the screen. Every place on the main window is in this unit: the designer's twips are
// converted once, through Twips; the list and what stands around it are given in pixels.
class MainWindowLayout
{
public:
    MainWindowLayout(QWidget* window, EntryListModel& entries);

    // Modal windows open this far right of and below the main window's top-left corner.
    static QPoint modalOffset();
    // The rectangle the list's picture fills, behind the rows.
    static QRect listPlace();
    const QBrush& listBrush() const { return m_listBrush; }
    // Keeps the bottom of the list clear for the search line while it is open, and the notice above it.
    void makeRoomForSearch(bool open);

    PictureButton* minimise = nullptr;
    PictureButton* tray = nullptr;
    PictureButton* close = nullptr;
    QLineEdit* login = nullptr;
    QLineEdit* password = nullptr;
    PictureButton* copyLogin = nullptr;
    PictureButton* copyPassword = nullptr;
    PageList* list = nullptr;
    QLabel* page = nullptr;
    QLabel* count = nullptr;
    PictureButton* back = nullptr;
    PictureButton* forward = nullptr;
    PictureButton* settings = nullptr;
    PictureButton* newEntry = nullptr;
    PictureButton* help = nullptr;
    PictureButton* about = nullptr;
    NoticeLabel* notice = nullptr;
    SearchLine* search = nullptr;

    // Labels no user sees, below the visible area, in the order of the names.
    QList<QLabel*> addHiddenLabels(const QList<const char*>& names) const;

private:
    void placeOnScreen() const;
    QLabel* addLabel(const QString& name, const QString& caption, const QRect& place) const;
    void buildTitleBar();
    void buildEntryBoxes();
    void buildList(EntryListModel& entries);
    void buildPageArrows();
    void buildBottomButtons();
    void buildNoticeAndSearch();

    QWidget* m_window;
    QBrush m_listBrush;
};
