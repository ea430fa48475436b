#include "print/CairoPdfSink.h"

#include "print/CairoPdfSurface.h"
#include "print/PdfColourPictures.h"
#include "settings/AppSettings.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdio>
#include <utility>

namespace {
// Points per inch of a PDF page.
constexpr double kPoints = 72.0;
}  // namespace

CCairoPdfSink::CCairoPdfSink(std::string path, const PageMetrics& metrics)
    : path_(std::move(path)), metrics_(metrics) {}

CCairoPdfSink::~CCairoPdfSink() {
    if (pdf_)
        AbortJob();
}

bool CCairoPdfSink::StartJob(const std::string& name) {
    title_ = titleOverride_.empty() ? name : titleOverride_;
    pages_ = 0;
    error_.clear();
    colours_ = std::make_unique<CPdfColourPictures>();
    if (metrics_.dpiX <= 0 || metrics_.dpiY <= 0 || metrics_.physicalWidth <= 0 || metrics_.physicalHeight <= 0) {
        error_ = "the page has no size";
        return false;
    }
    return true;
}

bool CCairoPdfSink::CheckStatus() {
    const cairo_status_t status = pdf_ ? cairo_surface_status(pdf_) : CAIRO_STATUS_NULL_POINTER;
    if (status == CAIRO_STATUS_SUCCESS && (!cr_ || cairo_status(cr_) == CAIRO_STATUS_SUCCESS))
        return true;
    if (error_.empty())
        error_ = std::string("the PDF could not be written: ") +
                 cairo_status_to_string(status != CAIRO_STATUS_SUCCESS ? status : cairo_status(cr_));
    return false;
}

CDrawContext* CCairoPdfSink::StartPage(int) {
    if (!error_.empty())
        return nullptr;
    const double width = metrics_.physicalWidth * kPoints / metrics_.dpiX;
    const double height = metrics_.physicalHeight * kPoints / metrics_.dpiY;
    if (!pdf_) {
        pdf_ = cairo_pdf_surface_create(path_.c_str(), width, height);
        if (!CheckStatus())
            return nullptr;
        cairo_pdf_surface_set_metadata(pdf_, CAIRO_PDF_METADATA_TITLE, title_.c_str());
        cairo_pdf_surface_set_metadata(pdf_, CAIRO_PDF_METADATA_CREATOR, (std::string("Korvane ") + kVersionText).c_str());
        cr_ = cairo_create(pdf_);
    }
    if (!CheckStatus())
        return nullptr;
    // User space: the printer's pixels, the origin at the printable area's corner.
    cairo_identity_matrix(cr_);
    cairo_scale(cr_, kPoints / metrics_.dpiX, kPoints / metrics_.dpiY);
    cairo_translate(cr_, metrics_.offsetX, metrics_.offsetY);
    page_.reset();
    surface_ = std::make_unique<CCairoPdfSurface>(cr_, metrics_.printableWidth, metrics_.printableHeight,
                                                  colours_.get());
    return &page_.emplace(*surface_);
}

bool CCairoPdfSink::EndPage() {
    if (!cr_ || !surface_)
        return false;
    cairo_show_page(cr_);
    page_.reset();
    surface_.reset();
    if (!CheckStatus())
        return false;
    ++pages_;
    return true;
}

void CCairoPdfSink::Close() {
    page_.reset();
    surface_.reset();
    if (cr_)
        cairo_destroy(cr_);
    cr_ = nullptr;
    if (pdf_) {
        cairo_surface_finish(pdf_);
        CheckStatus();
        cairo_surface_destroy(pdf_);
    }
    pdf_ = nullptr;
}

void CCairoPdfSink::EndJob() {
    const bool made = pdf_ != nullptr;
    Close();
    // The pictures' own colour spaces, written into the finished file; a
    // file that cannot get them is not left behind as if it had.
    if (made && error_.empty() && colours_ && !colours_->empty() && !colours_->Amend(path_, error_))
        std::remove(path_.c_str());
    colours_.reset();
}

void CCairoPdfSink::AbortJob() {
    const bool made = pdf_ != nullptr;
    Close();
    // A half-written file is not left behind.
    if (made)
        std::remove(path_.c_str());
}
