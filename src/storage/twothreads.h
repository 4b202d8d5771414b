#pragma once

#include <cstddef>
#include <functional>

// Runs task(0) to task(count - 1) on this thread and one more, each thread taking the next task as it finishes one,
// and returns once all have run; tasks of unequal cost so end close together. Without a thread to be had (a process
// or memory limit) all run here. An exception a task throws comes out of this call, once the other thread is done.
void onTwoThreads(std::size_t count, const std::function<void(std::size_t)>& task);
