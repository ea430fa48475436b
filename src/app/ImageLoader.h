#pragma once
// How the document has a picture file decoded for a slot. Without a loader
// the document decodes at once; the window's loader decodes on a worker
// thread, so that a large picture leaves the window painting.
#include "app/ViewState.h"
#include "image/RasterImage.h"

#include <functional>
#include <string>

enum class LoadOutcome { Loaded, Failed, Cancelled };

class IImageLoader {
public:
    // Gets the decoded picture (or, after a failure, its message in
    // GetLastError()); may move the picture away.
    using Done = std::function<void(LoadOutcome, CRasterImage&)>;
    virtual ~IImageLoader() = default;
    // Decodes `path` as image type `type` for `slot`, then calls `done` on
    // the calling thread: before returning or later from its event loop. A
    // later Start for the same slot cancels this one (its `done` gets
    // Cancelled). A loader destroyed with loads under way drops them without
    // a call.
    virtual void Start(Slot slot, const std::string& path, int type, Done done) = 0;
};
