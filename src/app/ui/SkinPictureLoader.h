#pragma once
// Loads a skin folder's pictures on a worker thread, so that the window
// shows and answers while a large picture is decoded; the pictures reach
// their callback from the event loop.
#include "app/Skin.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CSkinPictureLoader : public QObject {
public:
    // How long the destructor waits for a cancelled load to end.
    static constexpr int kExitWaitMs = 1000;
    using Done = std::function<void(SkinPictures&)>;

    explicit CSkinPictureLoader(QObject* parent = nullptr);
    // Cancels the loads under way; none calls back. A load stuck in a read
    // (a stalled network share) is left behind after kExitWaitMs.
    ~CSkinPictureLoader() override;

    // Loads the pictures of `folder`; a load started before is cancelled
    // and does not call back.
    void Start(const std::string& folder, const SkinPictureAreas& areas, bool grayScale, Done done);
    bool Busy() const { return static_cast<bool>(current_); }

private:
    struct Task;
    void Finished(const std::shared_ptr<Task>& task);

    std::vector<std::shared_ptr<Task>> tasks_;  // cancelled ones too, until their thread ends
    std::shared_ptr<Task> current_;
};
