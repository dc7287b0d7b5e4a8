#include "restore/parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace restore {

unsigned WorkerCount(std::size_t items) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::clamp<std::size_t>(items, 1, cores));
}

void ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t index, unsigned worker)>& work) {
    std::atomic<std::size_t> next = 0;
    const auto run = [&](unsigned worker) {
        for (std::size_t index; (index = next.fetch_add(1)) < count;) work(index, worker);
    };
    std::vector<std::jthread> helpers;
    for (unsigned worker = 1; worker < WorkerCount(count); ++worker) helpers.emplace_back(run, worker);
    run(0);
}

}  // namespace restore
