#pragma once

#include <sys/resource.h>

// Lowers this process's file size limit for its lifetime, with SIGXFSZ ignored, so that a write past the limit fails
// with EFBIG in the kernel as it would for a user under a quota of size; the limit before comes back at the end.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // The same for the process this is called in, for good: meant for a child process before it runs its program.
    static void apply(rlim_t bytes);

private:
    rlimit m_before{};
    void (*m_handlerBefore)(int) = nullptr;
};
