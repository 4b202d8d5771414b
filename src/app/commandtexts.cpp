#include "app/commandtexts.h"

#include <QDir>

namespace CommandTexts {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString withoutFullStop(const QString& reason)
{
    return reason.endsWith(QLatin1Char('.')) ? reason.chopped(1) : reason;
}

CommandOutput failure(const QString& message)
{
    return {1, {}, message + QLatin1Char('\n')};
}

QString counted(qsizetype count, const char* one, const char* many)
{
    return count == 1 ? QStringLiteral("1 ") + QString::fromUtf8(one)
                      : QStringLiteral("%1 ").arg(count) + QString::fromUtf8(many);
}

} // namespace CommandTexts
