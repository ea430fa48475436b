#pragma once
// Spacing requests to a service that allows one per interval (MusicBrainz:
// one a second per client). Each caller reserves the next free moment and
// waits until then; callers on several threads share one limiter.
#include <chrono>
#include <functional>
#include <mutex>
#include <string>

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

// The same rule across processes (korvane-cli run in a loop, the program
// beside it): the next free moment is kept in `stampFile` (wall-clock
// milliseconds), read and moved on under a file lock. Returns how long to
// wait; zero when the file cannot be used.
std::chrono::milliseconds ReserveAcrossProcesses(const std::string& stampFile, std::chrono::milliseconds interval,
                                                 std::chrono::system_clock::time_point now =
                                                     std::chrono::system_clock::now());
