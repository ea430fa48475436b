#pragma once
// The window's image loader: decodes on a worker thread. A picture that is
// ready within the grace time arrives at once, as if decoded in place; a
// slower one shows the busy cursor while the window goes on painting, and
// reaches its slot from the event loop when done.
#include "app/ImageLoader.h"

#include <QObject>

#include <array>
#include <memory>
#include <vector>

class CImageLoadWorker : public QObject, public IImageLoader {
public:
    static constexpr int kGraceMs = 500;
    // How long the destructor waits for loads to end after cancelling them.
    static constexpr int kExitWaitMs = 1000;
    explicit CImageLoadWorker(int graceMs = kGraceMs, QObject* parent = nullptr);
    // Cancels every load and waits for it up to kExitWaitMs; none calls back.
    ~CImageLoadWorker() override;

    void Start(Slot slot, const std::string& path, int type, Done done) override;
    // How far a slot's JPEG is decoded: at the scale whose pixels cover the
    // whole picture fitted into width x height, keeping the file's data for
    // printing and for views that show it larger (CScaledPicture).
    // 0, 0 (the default): the largest screen's device pixels.
    void SetViewSize(int width, int height);
    // Loads under way (cancelled ones included, until their thread ends).
    int Running() const { return static_cast<int>(jobs_.size()); }

private:
    struct Job;
    void Finished(const std::shared_ptr<Job>& job);
    void Cancel(Slot slot);

    int graceMs_;
    int viewWidth_ = 0;
    int viewHeight_ = 0;
    std::vector<std::shared_ptr<Job>> jobs_;
    std::array<std::shared_ptr<Job>, 2> current_;  // the load each slot waits for
};
