#include "service/rate_limiter.h"

#include <algorithm>
#include <cmath>

namespace brenvik {

namespace {

// Beyond this many clients, buckets that have filled up again are dropped: a full
// bucket is what a new client gets anyway.
constexpr std::size_t kBucketsBeforeCleanUp = 10000;

}  // namespace

void RateLimiter::ForgetFullBuckets(Clock::time_point now) {
    const double perSecond = perMinute_ / 60.0;
    std::erase_if(buckets_, [&](const auto& entry) {
        const double elapsed = std::chrono::duration<double>(now - entry.second.updated).count();
        return entry.second.tokens + elapsed * perSecond >= perMinute_;
    });
}

int RateLimiter::SecondsUntilAllowed(const std::string& client, Clock::time_point now) {
    if (perMinute_ <= 0) return 0;
    const double perSecond = perMinute_ / 60.0;
    std::lock_guard lock(mutex_);
    if (buckets_.size() >= kBucketsBeforeCleanUp) ForgetFullBuckets(now);
    auto [entry, isNew] = buckets_.try_emplace(client);
    Bucket& bucket = entry->second;
    if (isNew) {
        bucket.tokens = perMinute_;
    } else {
        const double elapsed = std::chrono::duration<double>(now - bucket.updated).count();
        bucket.tokens = std::min<double>(perMinute_, bucket.tokens + elapsed * perSecond);
    }
    bucket.updated = now;
    if (bucket.tokens >= 1.0) {
        bucket.tokens -= 1.0;
        return 0;
    }
    // The small allowance keeps rounding noise from adding a whole second.
    return std::max(1, static_cast<int>(std::ceil((1.0 - bucket.tokens) / perSecond - 1e-9)));
}

}  // namespace brenvik
