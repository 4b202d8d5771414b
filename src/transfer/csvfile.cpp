#include "transfer/csvfile.h"

#include "wording/faultwording.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString whyNotRead(int handle)
{
    struct stat info
    {};
    if (::fstat(handle, &info) != 0) {
        return FaultWording::systemReason(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return S_ISDIR(info.st_mode)
                   ? QStringLiteral("é uma pasta")
                   : QStringLiteral("não é um arquivo comum (é um pipe, um socket ou um dispositivo)");
    }
    if (info.st_size > CsvFile::sizeLimit) {
        return QStringLiteral("tem %1 MB, mais do que os %2 MB que uma importação aceita")
            .arg((info.st_size + (1 << 20) - 1) >> 20)
            .arg(CsvFile::sizeLimit >> 20);
    }
    return {};
}

} // namespace

namespace CsvFile {

QString open(QFile& file, const QString& path)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        return FaultWording::systemReason(errno);
    }
    if (const QString reason = whyNotRead(handle); !reason.isEmpty()) {
        ::close(handle);
        return reason;
    }
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return FaultWording::sentence(FileFault::ofQt(file.errorString()));
    }
    return {};
}

} // namespace CsvFile
