#include "sources/RateLimiter.h"

#include <algorithm>

CRateLimiter::CRateLimiter(Clock::duration interval, std::function<Clock::time_point()> now)
    : interval_(interval), now_(std::move(now))
{
}

CRateLimiter::Clock::duration CRateLimiter::Reserve()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const Clock::time_point now = now_();
    const Clock::time_point at = used_ ? std::max(now, next_) : now;
    used_ = true;
    next_ = at + interval_;
    return at - now;
}

CRateLimiter& MusicBrainzLimiter()
{
    static CRateLimiter limiter(std::chrono::seconds(1));
    return limiter;
}
