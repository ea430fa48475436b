#include "sources/ui/ScanThread.h"

CScanThread::CScanThread(ScanRequest request) : listing_(false), request_(std::move(request)) {}

CScanThread::CScanThread() : listing_(true) {}

CScanThread::~CScanThread()
{
    cancel_ = true;
    wait();
}

void CScanThread::run()
{
    if (listing_) {
        scanners_ = ListScanners(&listError_);
        return;
    }
    result_ = Scan(request_, &cancel_, [this](int percent) { emit Progress(percent); });
}
