#include "sources/ui/ServiceThread.h"

CServiceThread::CServiceThread(CoverServiceSettings settings, Work work)
    : settings_(std::move(settings)), work_(std::move(work))
{
}

CServiceThread::~CServiceThread()
{
    cancel_ = true;
    wait();
}

void CServiceThread::run()
{
    CServiceClient client(settings_, &cancel_);
    work_(client, cancel_);
}
