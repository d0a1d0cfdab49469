#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace relicwright {

// Threads that take tasks in the order given, as many at once as there are threads. Fewer threads
// than asked only cost speed; where none can be started, each task runs on the caller as it is
// given. The pool runs every task given before it ends.
class WorkerPool {
public:
    explicit WorkerPool(std::size_t threads);
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;
    ~WorkerPool();

    // The task must not throw.
    void run(std::function<void()> task);

private:
    void work();

    std::mutex mutex_;
    std::condition_variable given_;
    std::deque<std::function<void()>> tasks_;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

} // namespace relicwright
