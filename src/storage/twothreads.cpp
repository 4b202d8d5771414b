#include "storage/twothreads.h"

#include <atomic>
#include <future>
#include <system_error>

void onTwoThreads(std::size_t count, const std::function<void(std::size_t)>& task)
{
    std::atomic<std::size_t> next = 0;
    const auto takeTasks = [&] {
        for (std::size_t taken = next++; taken < count; taken = next++) {
            task(taken);
        }
    };
    std::future<void> other;
    if (count > 1) {
        try {
            other = std::async(std::launch::async, takeTasks);
        } catch (const std::system_error&) {
            // No thread to be had: this thread takes them all.
        }
    }
    takeTasks();
    if (other.valid()) {
        other.get();
    }
}
