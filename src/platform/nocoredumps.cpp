#include "platform/nocoredumps.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

bool disableCoreDumps()
{
    bool done = true;
#ifdef Q_OS_LINUX
    // Not dumpable also keeps other processes of the same user from attaching to read the memory.
    done = prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
#endif
#ifdef Q_OS_UNIX
    const rlimit none{0, 0};
    done = setrlimit(RLIMIT_CORE, &none) == 0 && done;
#endif
    return done;
}
