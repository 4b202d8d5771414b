#include "systemcalltrace.h"

#include <QRegularExpression>

namespace {

// A quoted argument in strace's -xx form, every byte as \xHH.
QByteArray unescaped(QByteArrayView quoted)
{
    QByteArray bytes;
    for (qsizetype i = 0; i + 3 < quoted.size(); i += 4) {
        bytes.append(char(QByteArray(quoted.data() + i + 2, 2).toInt(nullptr, 16)));
    }
    return bytes;
}

struct Call
{
    QByteArray name;
    QList<QByteArray> arguments; // quoted strings unescaped, the rest as written
    long long result = -1;
};

// One line such as `1234 renameat2(AT_FDCWD, "\x61", AT_FDCWD, "\x62", RENAME_EXCHANGE) = 0`.
bool parse(const QByteArray& line, Call& call)
{
    static const QRegularExpression shape(QStringLiteral("^(?:\\d+ +)?(\\w+)\\((.*)\\) += (-?\\d+)"));
    const QRegularExpressionMatch match = shape.match(QString::fromLatin1(line));
    if (!match.hasMatch()) {
        return false;
    }
    call.name = match.captured(1).toLatin1();
    call.result = match.captured(3).toLongLong();
    const QByteArray arguments = match.captured(2).toLatin1();
    for (qsizetype i = 0; i < arguments.size();) {
        if (arguments.at(i) == '"') {
            const qsizetype end = arguments.indexOf('"', i + 1);
            call.arguments.append(unescaped(QByteArrayView(arguments).sliced(i + 1, end - i - 1)));
            i = arguments.indexOf(',', end);
        } else {
            const qsizetype end = arguments.indexOf(',', i);
            call.arguments.append(arguments.mid(i, end < 0 ? -1 : end - i).trimmed());
            i = end;
        }
        if (i < 0) {
            break;
        }
        i += 2; // ", "
    }
    return true;
}

class Reader
{
public:
    Reader(const QByteArray& folder, const QMap<QByteArray, int>& filesBefore)
        : m_folder(folder + '/'), m_names(filesBefore)
    {
        for (const int file : filesBefore) {
            m_nextFile = qMax(m_nextFile, file + 1);
        }
    }

    void take(const Call& call)
    {
        const QByteArray& name = call.name;
        if (name == "openat" || name == "open") {
            opened(call.arguments.value(name == "openat" ? 1 : 0), call.arguments.value(name == "openat" ? 2 : 1),
                   int(call.result));
        } else if (name == "close") {
            m_descriptors.remove(call.arguments.value(0).toInt());
        } else if (name == "write" || name == "pwrite64") {
            written(call, name == "pwrite64");
        } else if (name == "fsync" || name == "fdatasync") {
            synced(call.arguments.value(0).toInt());
        } else if (name == "rename" || name == "renameat" || name == "renameat2") {
            const bool at = name != "rename";
            const bool exchange = name == "renameat2" && call.arguments.value(4).contains("RENAME_EXCHANGE");
            named(exchange ? TraceStep::Exchange : TraceStep::Rename, call.arguments.value(at ? 1 : 0),
                  call.arguments.value(at ? 3 : 1));
        } else if (name == "link" || name == "linkat") {
            const bool at = name == "linkat";
            named(TraceStep::Link, call.arguments.value(at ? 1 : 0), call.arguments.value(at ? 3 : 1));
        } else if (name == "unlink" || name == "unlinkat") {
            named(TraceStep::Unlink, call.arguments.value(name == "unlinkat" ? 1 : 0), {});
        }
    }

    QList<TraceStep> steps;

private:
    struct Descriptor
    {
        int file = -1; // -1: the folder itself
        qint64 offset = 0;
    };

    bool inFolder(const QByteArray& path, QByteArray& name) const
    {
        if (path + '/' == m_folder) {
            name.clear();
            return true;
        }
        if (!path.startsWith(m_folder) || path.indexOf('/', m_folder.size()) >= 0) {
            return false;
        }
        name = path.mid(m_folder.size());
        return true;
    }

    void opened(const QByteArray& path, const QByteArray& flags, int descriptor)
    {
        QByteArray name;
        if (!inFolder(path, name)) {
            return;
        }
        if (name.isEmpty()) {
            m_descriptors.insert(descriptor, {});
            return;
        }
        if (!m_names.contains(name) && flags.contains("O_CREAT")) {
            m_names.insert(name, m_nextFile);
            steps.append({TraceStep::Create, m_nextFile++, -1, name, {}, 0, {}});
        }
        const int file = m_names.value(name, -1);
        if (flags.contains("O_TRUNC")) {
            steps.append({TraceStep::Truncate, file, -1, name, {}, 0, {}});
        }
        m_descriptors.insert(descriptor, {file, 0});
    }

    void written(const Call& call, bool positioned)
    {
        const auto found = m_descriptors.find(call.arguments.value(0).toInt());
        if (found == m_descriptors.end() || found->file < 0) {
            return;
        }
        const qint64 offset = positioned ? call.arguments.value(3).toLongLong() : found->offset;
        steps.append({TraceStep::Write, found->file, -1, {}, {}, offset, call.arguments.value(1).first(call.result)});
        if (!positioned) {
            found->offset += call.result;
        }
    }

    void synced(int descriptor)
    {
        const auto found = m_descriptors.find(descriptor);
        if (found != m_descriptors.end()) {
            const TraceStep::Kind kind = found->file < 0 ? TraceStep::SyncFolder : TraceStep::SyncFile;
            steps.append({kind, found->file, -1, {}, {}, 0, {}});
        }
    }

    void named(TraceStep::Kind kind, const QByteArray& path, const QByteArray& otherPath)
    {
        QByteArray name, otherName;
        if (!inFolder(path, name) || (kind != TraceStep::Unlink && !inFolder(otherPath, otherName))) {
            return;
        }
        const int file = m_names.value(name, -1), other = m_names.value(otherName, -1);
        steps.append({kind, file, other, name, otherName, 0, {}});
        switch (kind) {
        case TraceStep::Rename:
            m_names.remove(name);
            m_names.insert(otherName, file);
            break;
        case TraceStep::Exchange:
            m_names.insert(name, other);
            m_names.insert(otherName, file);
            break;
        case TraceStep::Link:
            m_names.insert(otherName, file);
            break;
        default:
            m_names.remove(name);
        }
    }

    QByteArray m_folder;
    QMap<QByteArray, int> m_names;
    QMap<int, Descriptor> m_descriptors;
    int m_nextFile = 0;
};

} // namespace

namespace SystemCallTrace {

QList<TraceStep> read(const QByteArray& trace, const QByteArray& folder, const QMap<QByteArray, int>& filesBefore)
{
    Reader reader(folder, filesBefore);
    for (const QByteArray& line : trace.split('\n')) {
        Call call;
        if (parse(line, call) && call.result >= 0) {
            reader.take(call);
        }
    }
    return reader.steps;
}

} // namespace SystemCallTrace
