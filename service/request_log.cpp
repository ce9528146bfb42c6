#include "service/request_log.h"

#include <chrono>

namespace brenvik {

namespace {

constexpr std::size_t kFlushBytes = 64 * 1024;
constexpr auto kFlushInterval = std::chrono::milliseconds(100);

}  // namespace

RequestLog::RequestLog(std::FILE* out) : out_(out), writer_([this] { RunWriter(); }) {}

RequestLog::~RequestLog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

void RequestLog::Write(std::string_view line) {
    bool full;
    {
        std::lock_guard lock(mutex_);
        pending_.append(line);
        full = pending_.size() >= kFlushBytes;
    }
    if (full) wake_.notify_one();
}

void RequestLog::RunWriter() {
    std::string batch;
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait_for(lock, kFlushInterval,
                       [this] { return stopping_ || pending_.size() >= kFlushBytes; });
        batch.swap(pending_);
        const bool last = stopping_;
        lock.unlock();
        if (!batch.empty()) {
            std::fwrite(batch.data(), 1, batch.size(), out_);
            std::fflush(out_);
            batch.clear();
        }
        if (last) return;
        lock.lock();
    }
}

}  // namespace brenvik
