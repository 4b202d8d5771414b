#include "storage/filefault.h"

FileFault FileFault::ofQt(const QString& qtText)
{
    // Past the highest error number Linux and Windows define.
    constexpr int lastErrorNumber = 200;
    for (int errorNumber = 1; errorNumber <= lastErrorNumber; ++errorNumber) {
        if (qt_error_string(errorNumber) == qtText) {
            return system(errorNumber);
        }
    }
    FileFault fault{Kind::Qt};
    fault.text = qtText;
    return fault;
}
