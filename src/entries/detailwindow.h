#pragma once

#include <QWidget>

class NoticeLabel;
class Platform;
class QLineEdit;
struct EntryFields;

// frm2_Esquerda: the entry's title, address, login and password, editable; opens the address. Borderless, cut to
// its outline and dragged by its surface. Its own btnFechar closes and destroys it.
class DetailWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DetailWindow(Platform& platform, QWidget* parent = nullptr);

    void fill(const EntryFields& entry);
    // The title, address, login and password as they stand now.
    EntryFields fields() const;

signals:
    // The window is closing and will be destroyed.
    void windowClosed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Platform& m_platform;
    QLineEdit* m_title;
    QLineEdit* m_address;
    QLineEdit* m_login;
    QLineEdit* m_password;
    // Why a typed or pasted text was refused.
    NoticeLabel* m_notice;
};
