#include "service/work_queue.h"

namespace brenvik {

WorkQueue::WorkQueue(unsigned threads) {
    for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Run(); });
}

WorkQueue::~WorkQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    jobArrived_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void WorkQueue::Post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    jobArrived_.notify_one();
}

void WorkQueue::Run() {
    std::unique_lock lock(mutex_);
    while (true) {
        jobArrived_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        auto job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

}  // namespace brenvik
