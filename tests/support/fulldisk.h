#pragma once

#include <QString>
#include <QTemporaryDir>

// A small tmpfs of its own, mounted on a temporary folder, that can be filled to the last byte: the real "no space
// left on device". Mounting needs root; where it cannot be had, skipReason() says why.
class FullDisk
{
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Empty when the file system is mounted.
    QString skipReason() const { return m_skipReason; }
    QString path() const { return m_mountPoint.path(); }

    // Takes every free byte, or gives them back.
    void fill();
    void free();

private:
    QString fillerPath() const;

    QTemporaryDir m_mountPoint;
    QString m_skipReason;
};
