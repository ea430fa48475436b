#pragma once
// Spacing requests to a service that allows one per interval (MusicBrainz:
// one a second per client). Each caller reserves the next free moment and
// waits until then; callers on several threads share one limiter.
#include <chrono>
#include <functional>
#include <mutex>

class CRateLimiter {
public:
    using Clock = std::chrono::steady_clock;
    explicit CRateLimiter(Clock::duration interval, std::function<Clock::time_point()> now = &Clock::now);

    // Reserves the next moment a request may go out; returns how long from
    // now that is (zero when one may go at once).
    Clock::duration Reserve();

private:
    std::mutex mutex_;
    Clock::duration interval_;
    std::function<Clock::time_point()> now_;
    Clock::time_point next_{};
    bool used_ = false;
};

// The one limiter for every request to MusicBrainz in this program.
CRateLimiter& MusicBrainzLimiter();
