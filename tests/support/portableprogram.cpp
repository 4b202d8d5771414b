#include "support/portableprogram.h"

#include "storage/vault.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <sys/mount.h>

ProgramRun runToEnd(const QString& program, const QStringList& arguments, const QByteArray& input,
                    const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(PortableProgram::patience)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

PortableProgram::PortableProgram(const QString& tmpfsOptions)
{
    const QString room =
        QStringLiteral(",size=%1")
            .arg(QFileInfo(KEYHOUND_BINARY).size() + QFileInfo(KEYHOUND_KDBX_MODULE).size() + (1 << 20));
    m_mounted = !tmpfsOptions.isEmpty() && ::mount("tmpfs", QFile::encodeName(folder.path()), "tmpfs", 0,
                                                   QFile::encodeName(tmpfsOptions + room)) == 0;
    QFile::copy(QStringLiteral(KEYHOUND_BINARY), executable());
    QFile::copy(QStringLiteral(KEYHOUND_KDBX_MODULE), kdbxModule());
}

PortableProgram::~PortableProgram()
{
    if (m_mounted) {
        ::umount2(QFile::encodeName(folder.path()), MNT_DETACH);
    }
}

QString PortableProgram::kdbxModule() const
{
    return folder.filePath(QFileInfo(QStringLiteral(KEYHOUND_KDBX_MODULE)).fileName());
}

std::unique_ptr<QProcess> PortableProgram::start(const QStringList& arguments) const
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->start(executable(), arguments);
    return process;
}

ProgramRun PortableProgram::run(const QStringList& arguments, const QByteArray& input) const
{
    return runToEnd(executable(), arguments, input, environment);
}

void PortableProgram::addRecords(const QList<QByteArray>& records) const
{
    Vault vault(folder.path());
    QVERIFY(vault.open(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))).ok());
    QVERIFY(records.isEmpty() || vault.addEntries(records).ok());
}

QList<QByteArray> PortableProgram::records() const
{
    Vault reread(folder.path());
    reread.open();
    QList<QByteArray> records;
    for (qsizetype i = 0; i < reread.entries().size(); ++i) {
        records.append(reread.entries().at(i));
    }
    std::sort(records.begin(), records.end());
    return records;
}

QByteArray PortableProgram::dataFiles() const
{
    return folder.read(QStringLiteral("cnfg.tab")) + '|' + folder.read(QStringLiteral("pswd.tab"));
}

QStringList PortableProgram::fileNames() const
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
}
