// Loaded with LD_PRELOAD into a program under test: every fsync of a folder fails with EIO, as it does when the
// disk cannot write the folder's blocks; files sync as usual.
#include <cerrno>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" int fsync(int descriptor)
{
    struct stat status;
    if (fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        errno = EIO;
        return -1;
    }
    static const auto realFsync = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return realFsync(descriptor);
}
