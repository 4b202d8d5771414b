#pragma once

#include "support/datafolder.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStringList>

#include <memory>

// What a job of a program did: its exit code (-1 when it crashed or was killed for taking too long) and what it wrote.
struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString error;
};

// Runs a program to its end, the input written on its standard input; killed after two minutes.
ProgramRun runToEnd(const QString& program, const QStringList& arguments, const QByteArray& input,
                    const QProcessEnvironment& environment);

// The real program and its KeePass module copied into a folder of their own, as a portable copy is: its data files
// are made beside them.
class PortableProgram
{
public:
    static constexpr int patience = 120000;

    // With tmpfs options, on a file system of its own (root only), with room for the program besides.
    explicit PortableProgram(const QString& tmpfsOptions = {});
    ~PortableProgram();

    QString executable() const { return folder.filePath(QStringLiteral("keyhound")); }
    // The KeePass module beside it.
    QString kdbxModule() const;
    // Started with the environment; offscreen, as the tests are.
    std::unique_ptr<QProcess> start(const QStringList& arguments = {}) const;
    ProgramRun run(const QStringList& arguments, const QByteArray& input = {}) const;

    // Entries added to the data files beside the program (made when there are none yet).
    void addRecords(const QList<QByteArray>& records) const;
    // The records the data files hold, sorted.
    QList<QByteArray> records() const;
    QByteArray dataFiles() const;
    QStringList fileNames() const;

    DataFolder folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

private:
    bool m_mounted = false;
};
