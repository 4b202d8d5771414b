#pragma once

#include <QWidget>

class NoticeLabel;
class Platform;
class QLineEdit;
struct EntryFields;

// frm2_Esquerda: the entry's title, address, login and password, editable; opens the address (as a file when it
// names one). Borderless, cut to its outline and dragged by its surface. Its own btnFechar closes and destroys it.
class DetailWindow : public QWidget
{
    Q_OBJECT

public:
    // dataFolder is where an address naming a file is looked for first.
    DetailWindow(Platform& platform, const QString& dataFolder, QWidget* parent = nullptr);

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
    void openAddress();

    Platform& m_platform;
    QString m_dataFolder;
    QLineEdit* m_title;
    QLineEdit* m_address;
    QLineEdit* m_login;
    QLineEdit* m_password;
    // Why a typed or pasted text was refused.
    NoticeLabel* m_notice;
};
