#include "sources/RateLimiter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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

std::chrono::milliseconds ReserveAcrossProcesses(const std::string& stampFile, std::chrono::milliseconds interval,
                                                 std::chrono::system_clock::time_point now)
{
    using namespace std::chrono;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(stampFile).parent_path(), ec);
    const int fd = ::open(stampFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return milliseconds(0);
    if (::flock(fd, LOCK_EX) != 0) {
        ::close(fd);
        return milliseconds(0);
    }
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    const long long stored = n > 0 ? std::strtoll(text, nullptr, 10) : 0;
    const long long nowMs = duration_cast<milliseconds>(now.time_since_epoch()).count();
    // A stamp far ahead (a clock set back) is not waited for.
    const long long next = stored > nowMs && stored - nowMs <= interval.count() * 2 ? stored : nowMs;
    const int length = std::snprintf(text, sizeof text, "%lld", next + interval.count());
    if (::ftruncate(fd, 0) == 0)
        (void)::pwrite(fd, text, static_cast<std::size_t>(length), 0);
    ::flock(fd, LOCK_UN);
    ::close(fd);
    return milliseconds(next - nowMs);
}
