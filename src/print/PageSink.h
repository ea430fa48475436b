#pragma once
// Where the pages of a job go: a printer, a print preview, PNG files.
#include "image/DrawContext.h"
#include "print/PageMetrics.h"

#include <string>

class IPageSink {
public:
    virtual ~IPageSink() = default;
    // The page's metrics (read when the job begins).
    virtual PageMetrics Metrics() const = 0;
    // Starts the job under this name (the printer queue's name); false when
    // the printer refuses it.
    virtual bool StartJob(const std::string& name) = 0;
    // A new page; its surface's origin is the printable area's top-left
    // corner. Null stops the job (it is then aborted).
    virtual CDrawContext* StartPage(int pageNumber) = 0;
    // False stops the job (it is then aborted).
    virtual bool EndPage() = 0;
    virtual void EndJob() = 0;
    virtual void AbortJob() = 0;
};
