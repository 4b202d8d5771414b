#pragma once

#include "systemcalltrace.h"

#include <QByteArray>
#include <QList>
#include <QMap>

// The files a power cut could leave in a folder at each moment of a traced program, the trace cut after any step.
namespace CrashStates {

using Files = QMap<QByteArray, QByteArray>;

struct State
{
    qsizetype stepsDone; // of the trace, when the power went
    Files files;
};

// The folder's files numbered as SystemCallTrace takes them.
QMap<QByteArray, int> numbered(const Files& before);

// As ext4 in its ordered mode leaves them: every step up to the cut, whole.
QList<State> ordered(const Files& before, const QList<TraceStep>& steps);

// Only what was synced is sure: each file holds the bytes of its last sync (nothing when never synced), the names
// are as the last folder sync left them, and each change of a name since may have been kept or lost.
QList<State> unsynced(const Files& before, const QList<TraceStep>& steps);

} // namespace CrashStates
