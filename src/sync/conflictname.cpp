#include "sync/conflictname.h"

#include <QDir>
#include <QRegularExpression>

namespace {

struct Naming
{
    const char* tool;
    // What the program puts between the file's base name and its extension.
    const char* marker;
};

// The date and time pieces as each program writes them; anything else in the marker is a name the user chose.
constexpr Naming namings[] = {
    {"Syncthing", R"(\.sync-conflict-\d{8}-\d{6}(-[A-Z0-9]{7})?)"},
    {"Nextcloud/ownCloud", R"( \(conflicted copy( [^()]+)? \d{4}-\d{2}-\d{2} \d{6}\))"},
    {"ownCloud", R"(_conflict-\d{8}-\d{6})"},
    {"Dropbox", R"( \([^()]+['’]s conflicted copy \d{4}-\d{2}-\d{2}( \(\d+\))?\)( \(\d+\))?)"},
    {"Seafile", R"( \(SFConflict [^()]+ \d{4}-\d{2}-\d{2}-\d{2}-\d{2}-\d{2}\))"},
};

} // namespace

namespace ConflictName {

QString toolOf(const QString& fileName, const QString& dataFileName)
{
    const qsizetype dot = dataFileName.lastIndexOf(QLatin1Char('.'));
    // Most names in the folder are not a copy of the data file at all; they are told apart without compiling a
    // pattern, which is most of the cost of looking at start.
    if (fileName.size() <= dataFileName.size() || !fileName.startsWith(dataFileName.left(dot)) ||
        !fileName.endsWith(dataFileName.mid(dot))) {
        return {};
    }
    const QString base = QRegularExpression::escape(dataFileName.left(dot));
    const QString extension = QRegularExpression::escape(dataFileName.mid(dot));
    for (const Naming& naming : namings) {
        const QRegularExpression name(
            QRegularExpression::anchoredPattern(base + QString::fromUtf8(naming.marker) + extension));
        if (name.match(fileName).hasMatch()) {
            return QString::fromUtf8(naming.tool);
        }
    }
    return {};
}

QStringList findIn(const QString& folder, const QString& dataFileName)
{
    QStringList copies;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        if (!toolOf(name, dataFileName).isEmpty()) {
            copies.append(name);
        }
    }
    return copies;
}

} // namespace ConflictName
