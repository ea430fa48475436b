#pragma once
// One scan, or the search for scanners, on a thread of its own: SANE's
// calls block while the scanner works. Destroying the thread cancels the
// scan and waits; the scan stops at its next read, so a closing window
// waits a moment at most.
#include "sources/ScanSession.h"

#include <QThread>

#include <atomic>
#include <vector>

class CScanThread : public QThread {
    Q_OBJECT
public:
    // A scan as asked.
    explicit CScanThread(ScanRequest request);
    // The search for scanners.
    CScanThread();
    ~CScanThread() override;

    void Cancel() { cancel_ = true; }
    // After finished(): the scan, or the scanners found.
    ScanResult& Result() { return result_; }
    const std::vector<ScannerDevice>& Scanners() const { return scanners_; }
    const std::string& ListError() const { return listError_; }

signals:
    void Progress(int percent);

protected:
    void run() override;

private:
    bool listing_;
    ScanRequest request_;
    std::atomic<bool> cancel_{false};
    ScanResult result_;
    std::vector<ScannerDevice> scanners_;
    std::string listError_;
};
