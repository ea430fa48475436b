#include "app/ui/ImageLoadWorker.h"

#include "image/ui/ScreenPixels.h"

#include <QCursor>
#include <QGuiApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct CImageLoadWorker::Job {
    std::string path;
    int type = 0;
    Done done;
    std::atomic<bool> cancel{false};
    CRasterImage image;
    bool ok = false;

    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;  // the decode has returned
    bool late = false;      // the caller stopped waiting: the event loop takes the result
    bool abandoned = false;  // the loader is gone: the thread reports to nobody
    bool busyCursor = false;
    std::thread thread;
};

CImageLoadWorker::CImageLoadWorker(int graceMs, QObject* parent) : QObject(parent), graceMs_(graceMs) {}

CImageLoadWorker::~CImageLoadWorker()
{
    for (const auto& job : jobs_)
        job->cancel = true;
    // A cancelled decode stops at its next read; a read that hangs (a stalled
    // network share) must not keep the program from ending, so such a thread
    // is left behind, and it reports to nobody.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kExitWaitMs);
    for (const auto& job : jobs_) {
        std::unique_lock<std::mutex> lock(job->mutex);
        const bool ended = job->ended.wait_until(lock, deadline, [&] { return job->finished; });
        job->abandoned = !ended;
        lock.unlock();
        if (job->thread.joinable()) {
            if (ended)
                job->thread.join();
            else
                job->thread.detach();
        }
        if (job->busyCursor)
            QGuiApplication::restoreOverrideCursor();
    }
}

void CImageLoadWorker::SetViewSize(int width, int height)
{
    viewWidth_ = std::max(0, width);
    viewHeight_ = std::max(0, height);
}

void CImageLoadWorker::Cancel(Slot slot)
{
    std::shared_ptr<Job> job = std::move(current_[static_cast<int>(slot)]);
    if (!job)
        return;
    // Its reads now fail, so the thread ends soon; the result is dropped.
    job->cancel = true;
    if (job->busyCursor) {
        QGuiApplication::restoreOverrideCursor();
        job->busyCursor = false;
    }
    Done done = std::move(job->done);
    job->done = nullptr;
    CRasterImage nothing;
    if (done)
        done(LoadOutcome::Cancelled, nothing);
}

void CImageLoadWorker::Start(Slot slot, const std::string& path, int type, Done done)
{
    Cancel(slot);
    auto job = std::make_shared<Job>();
    job->path = path;
    job->type = type;
    job->done = std::move(done);
    const QSize view = viewWidth_ > 0 && viewHeight_ > 0 ? QSize(viewWidth_, viewHeight_) : LargestScreenPixels();
    job->image.SetDecodeForPrinting(true, view.width(), view.height());
    jobs_.push_back(job);
    current_[static_cast<int>(slot)] = job;

    job->thread = std::thread([this, job] {
        job->ok = job->image.Load(job->path, job->type, &job->cancel);
        std::lock_guard<std::mutex> lock(job->mutex);
        job->finished = true;
        if (job->late && !job->abandoned)
            QMetaObject::invokeMethod(this, [this, job] { Finished(job); }, Qt::QueuedConnection);
        job->ended.notify_all();
    });

    std::unique_lock<std::mutex> lock(job->mutex);
    if (job->ended.wait_for(lock, std::chrono::milliseconds(graceMs_), [&] { return job->finished; })) {
        lock.unlock();
        Finished(job);
        return;
    }
    job->late = true;
    lock.unlock();
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    job->busyCursor = true;
}

void CImageLoadWorker::Finished(const std::shared_ptr<Job>& job)
{
    if (job->thread.joinable())
        job->thread.join();
    jobs_.erase(std::remove(jobs_.begin(), jobs_.end(), job), jobs_.end());
    for (auto& c : current_) {
        if (c == job)
            c.reset();
    }
    if (job->busyCursor) {
        QGuiApplication::restoreOverrideCursor();
        job->busyCursor = false;
    }
    // A cancelled load has had its call already.
    Done done = std::move(job->done);
    job->done = nullptr;
    if (!done)
        return;
    const bool cancelled = job->cancel.load();
    done(job->ok && !cancelled ? LoadOutcome::Loaded : cancelled ? LoadOutcome::Cancelled : LoadOutcome::Failed,
         job->image);
}
