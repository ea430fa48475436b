#pragma once
// One piece of network or drive work for a dialog, on a thread of its own
// with its own service client. The work posts its results back to the
// dialog (queued, on the window's thread). Destroying the thread cancels
// the work and waits for it: a request ends within a few hundredths of a
// second, so closing a window never hangs on the network.
#include "sources/ui/ServiceClient.h"

#include <QThread>

#include <atomic>
#include <functional>

class CServiceThread : public QThread {
    Q_OBJECT
public:
    using Work = std::function<void(CServiceClient& client, const std::atomic<bool>& cancel)>;
    CServiceThread(CoverServiceSettings settings, Work work);
    ~CServiceThread() override;
    void Cancel() { cancel_ = true; }

protected:
    void run() override;

private:
    CoverServiceSettings settings_;
    Work work_;
    std::atomic<bool> cancel_{false};
};
