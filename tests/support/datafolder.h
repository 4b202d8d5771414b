#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

// A fresh, empty data folder for one test, removed afterwards; in the system's temporary folder or the one given.
class DataFolder
{
public:
    explicit DataFolder(const QString& parent = {});

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QByteArray read(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;
    // Every file with its bytes, a link as its target: what a test compares to see that nothing else was touched.
    QMap<QString, QByteArray> files() const;
    // Shell commands run in the folder, as the user or another program would; whether they all succeeded.
    bool shell(const QString& commands) const;

private:
    QTemporaryDir m_dir;
};
