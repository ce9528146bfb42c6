#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace brenvik {

// A fixed set of threads running jobs in the order they were handed in. The
// destructor runs the jobs still queued, then joins the threads.
class WorkQueue {
public:
    explicit WorkQueue(unsigned threads);
    ~WorkQueue();
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    void Post(std::function<void()> job);

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable jobArrived_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace brenvik
