#include "app/ui/SkinPictureLoader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct CSkinPictureLoader::Task {
    Done done;
    SkinPictures pictures;
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    bool abandoned = false;  // the loader is gone: nobody to report to
    std::thread thread;
};

CSkinPictureLoader::CSkinPictureLoader(QObject* parent) : QObject(parent) {}

CSkinPictureLoader::~CSkinPictureLoader()
{
    for (const auto& task : tasks_)
        task->cancel = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kExitWaitMs);
    for (const auto& task : tasks_) {
        std::unique_lock<std::mutex> lock(task->mutex);
        const bool ended = task->ended.wait_until(lock, deadline, [&] { return task->finished; });
        task->abandoned = !ended;
        lock.unlock();
        if (ended)
            task->thread.join();
        else
            task->thread.detach();
    }
}

void CSkinPictureLoader::Start(const std::string& folder, const SkinPictureAreas& areas, bool grayScale, Done done)
{
    if (current_)
        current_->cancel = true;
    auto task = std::make_shared<Task>();
    task->done = std::move(done);
    tasks_.push_back(task);
    current_ = task;
    task->thread = std::thread([this, task, folder, areas, grayScale] {
        task->pictures = LoadSkinPictures(folder, areas, grayScale, &task->cancel);
        std::lock_guard<std::mutex> lock(task->mutex);
        task->finished = true;
        if (!task->abandoned)
            QMetaObject::invokeMethod(this, [this, task] { Finished(task); }, Qt::QueuedConnection);
        task->ended.notify_all();
    });
}

void CSkinPictureLoader::Finished(const std::shared_ptr<Task>& task)
{
    task->thread.join();
    tasks_.erase(std::remove(tasks_.begin(), tasks_.end(), task), tasks_.end());
    if (task != current_ || task->cancel)
        return;
    current_.reset();
    Done done = std::move(task->done);
    if (done)
        done(task->pictures);
}
