#include "crashstates.h"

#include <QSet>

namespace {

struct Disk
{
    QMap<QByteArray, int> names;
    QMap<int, QByteArray> contents;
};

Disk diskOf(const CrashStates::Files& before)
{
    Disk disk;
    disk.names = CrashStates::numbered(before);
    for (auto name = disk.names.cbegin(); name != disk.names.cend(); ++name) {
        disk.contents.insert(name.value(), before.value(name.key()));
    }
    return disk;
}

void changeBytes(QMap<int, QByteArray>& contents, const TraceStep& step)
{
    QByteArray& bytes = contents[step.file];
    if (step.kind == TraceStep::Truncate) {
        bytes.clear();
    } else if (step.kind == TraceStep::Write) {
        if (bytes.size() < step.offset + step.bytes.size()) {
            bytes.resize(step.offset + step.bytes.size(), '\0');
        }
        bytes.replace(step.offset, step.bytes.size(), step.bytes);
    }
}

// A change of names as the folder's journal records it: which file each name holds afterwards.
void changeNames(QMap<QByteArray, int>& names, const TraceStep& step)
{
    switch (step.kind) {
    case TraceStep::Create:
    case TraceStep::Link:
        names.insert(step.kind == TraceStep::Create ? step.name : step.otherName, step.file);
        break;
    case TraceStep::Rename:
        if (names.value(step.name, -1) == step.file) {
            names.remove(step.name);
        }
        names.insert(step.otherName, step.file);
        break;
    case TraceStep::Exchange:
        names.insert(step.name, step.otherFile);
        names.insert(step.otherName, step.file);
        break;
    case TraceStep::Unlink:
        if (names.value(step.name, -1) == step.file) {
            names.remove(step.name);
        }
        break;
    default:
        break;
    }
}

CrashStates::Files filesOf(const QMap<QByteArray, int>& names, const QMap<int, QByteArray>& contents)
{
    CrashStates::Files files;
    for (auto name = names.cbegin(); name != names.cend(); ++name) {
        files.insert(name.key(), contents.value(name.value()));
    }
    return files;
}

// Two states are the same when they hold the same files after as many folder syncs.
QByteArray keyOf(const CrashStates::Files& files, int folderSyncs)
{
    QByteArray key = QByteArray::number(folderSyncs);
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        key += '\0' + file.key() + '\0' + QByteArray::number(file.value().size()) + '\0' + file.value();
    }
    return key;
}

// More changes of names between two folder syncs than a save makes would make too many states to open.
constexpr int mostOpenChanges = 10;

} // namespace

namespace CrashStates {

QMap<QByteArray, int> numbered(const Files& before)
{
    QMap<QByteArray, int> names;
    for (auto file = before.cbegin(); file != before.cend(); ++file) {
        names.insert(file.key(), int(names.size()));
    }
    return names;
}

QList<State> ordered(const Files& before, const QList<TraceStep>& steps)
{
    QList<State> states;
    Disk disk = diskOf(before);
    states.append({0, filesOf(disk.names, disk.contents)});
    for (qsizetype done = 1; done <= steps.size(); ++done) {
        changeBytes(disk.contents, steps.at(done - 1));
        changeNames(disk.names, steps.at(done - 1));
        states.append({done, filesOf(disk.names, disk.contents)});
    }
    return states;
}

QList<State> unsynced(const Files& before, const QList<TraceStep>& steps)
{
    QList<State> states;
    QSet<QByteArray> seen;
    const Disk start = diskOf(before);
    for (qsizetype done = 0; done <= steps.size(); ++done) {
        QMap<int, QByteArray> written = start.contents, synced = start.contents;
        QMap<QByteArray, int> sureNames = start.names;
        QList<TraceStep> sinceFolderSync;
        int folderSyncs = 0;
        for (qsizetype i = 0; i < done; ++i) {
            const TraceStep& step = steps.at(i);
            changeBytes(written, step);
            if (step.kind == TraceStep::Create) {
                synced.insert(step.file, {});
            } else if (step.kind == TraceStep::SyncFile) {
                synced.insert(step.file, written.value(step.file));
            } else if (step.kind == TraceStep::SyncFolder) {
                for (const TraceStep& change : std::as_const(sinceFolderSync)) {
                    changeNames(sureNames, change);
                }
                sinceFolderSync.clear();
                ++folderSyncs;
            } else if (step.changesNames()) {
                sinceFolderSync.append(step);
            }
        }
        const qsizetype open = qMin<qsizetype>(sinceFolderSync.size(), mostOpenChanges);
        for (quint32 kept = 0; kept < (1u << open); ++kept) {
            QMap<QByteArray, int> names = sureNames;
            for (qsizetype change = 0; change < open; ++change) {
                if (kept & (1u << change)) {
                    changeNames(names, sinceFolderSync.at(change));
                }
            }
            const Files files = filesOf(names, synced);
            const QByteArray key = keyOf(files, folderSyncs);
            if (!seen.contains(key)) {
                seen.insert(key);
                states.append({done, files});
            }
        }
    }
    return states;
}

} // namespace CrashStates
