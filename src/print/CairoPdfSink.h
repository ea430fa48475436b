#pragma once
// The pages of a job written to a PDF file with cairo: one page per printed
// page, each the sheet's size; title the job's name, creator the program
// and its version. The file is made with the first page (a job without pages
// leaves none) and removed when the job is aborted.
#include "print/PageSink.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
class CCairoPdfSurface;
class CPdfColourPictures;

class CCairoPdfSink final : public IPageSink {
public:
    CCairoPdfSink(std::string path, const PageMetrics& metrics);
    ~CCairoPdfSink() override;
    CCairoPdfSink(const CCairoPdfSink&) = delete;
    CCairoPdfSink& operator=(const CCairoPdfSink&) = delete;

    PageMetrics Metrics() const override { return metrics_; }
    bool StartJob(const std::string& name) override;
    CDrawContext* StartPage(int pageNumber) override;
    bool EndPage() override;
    void EndJob() override;
    void AbortJob() override;

    // A title that stands instead of the job's own name (scripts).
    void SetTitle(std::string title) { titleOverride_ = std::move(title); }

    // The file could not be written; Error says why.
    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }
    int Pages() const { return pages_; }

private:
    bool CheckStatus();
    void Close();

    std::string path_;
    PageMetrics metrics_;
    std::string title_;
    std::string titleOverride_;
    cairo_surface_t* pdf_ = nullptr;
    cairo_t* cr_ = nullptr;
    std::unique_ptr<CCairoPdfSurface> surface_;
    std::unique_ptr<CPdfColourPictures> colours_;  // the job's pictures in their own colours
    std::optional<CDrawContext> page_;  // over surface_
    std::string error_;
    int pages_ = 0;
};
