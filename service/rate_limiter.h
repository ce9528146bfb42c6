#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace brenvik {

// A token bucket per client address: each holds up to `perMinute` tokens and gains
// `perMinute` of them a minute; a create spends one. Zero disables the limit.
class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    explicit RateLimiter(int perMinute) : perMinute_(perMinute) {}

    // Zero when the client may go ahead (a token is spent), otherwise the whole
    // seconds to wait before a token is there again.
    int SecondsUntilAllowed(const std::string& client, Clock::time_point now = Clock::now());

private:
    struct Bucket {
        double tokens = 0;
        Clock::time_point updated;
    };

    void ForgetFullBuckets(Clock::time_point now);

    const int perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace brenvik
