#pragma once

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace brenvik {

// Lines written to a stream (stderr) in batches by a thread of its own, so that
// request threads never wait on the write: at most every 100 ms, sooner when 64 KiB
// have gathered, and the rest at destruction. A killed process loses the last moment
// of the log, never a link.
class RequestLog {
public:
    explicit RequestLog(std::FILE* out);
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    // `line` must end with "\n".
    void Write(std::string_view line);

private:
    void RunWriter();

    std::FILE* const out_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    bool stopping_ = false;
    std::thread writer_;
};

}  // namespace brenvik
