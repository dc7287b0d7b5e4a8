// Work spread over every core: the calling thread and one more per core.
#pragma once

#include <cstddef>
#include <functional>

namespace restore {

// How many threads ForEachOnAllCores uses for that many items.
unsigned WorkerCount(std::size_t items);

// Calls work(index, worker) once for every index below count, handing the
// indices out in order to WorkerCount(count) threads (worker numbers from
// 0, the calling thread among them); returns when all calls have returned.
// work must not throw.
void ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t index, unsigned worker)>& work);

}  // namespace restore
