#include "WorkerPool.h"

#include <system_error>
#include <utility>

namespace relicwright {

WorkerPool::WorkerPool(std::size_t threads) {
    // Reserved first: a failure once threads run would leave them unjoined.
    threads_.reserve(threads);
    try {
        while (threads_.size() < threads) {
            threads_.emplace_back([this] { work(); });
        }
    } catch (const std::system_error&) {
        // The threads started so far do the work.
    }
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    given_.notify_all();
    for (auto& thread : threads_) {
        thread.join();
    }
}

void WorkerPool::run(std::function<void()> task) {
    if (threads_.empty()) {
        task();
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    given_.notify_one();
}

void WorkerPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        given_.wait(lock, [&] { return closing_ || !tasks_.empty(); });
        if (tasks_.empty()) {
            return;
        }
        const std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task();
        lock.lock();
    }
}

} // namespace relicwright
