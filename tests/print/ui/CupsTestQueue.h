#pragma once
// The CUPS test queues of scripts/setup-test-printers.sh, seen from tests:
// the jobs a test sent (found by their unique names), their attributes and
// spooled data, and cancelling them. Only jobs the test itself made are
// touched.
#include <cups/cups.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace cupstest {

inline constexpr const char* kPhotoQueue = "KorvaneTestPhoto";
inline constexpr const char* kPdfQueue = "KorvaneTestPDF";
inline constexpr const char* kRejectingQueue = "KorvaneTestRejecting";
inline constexpr const char* kMissingQueueReason =
    "CUPS queue KorvaneTestPhoto is not set up (run scripts/setup-test-printers.sh as root)";

inline bool QueueExists(const char* queue) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue, nullptr);
    if (!dest)
        return false;
    cupsFreeDests(1, dest);
    return true;
}

// Ids of the queue's jobs (not completed) named `title`, oldest first.
inline std::vector<int> JobsNamed(const char* queue, const std::string& title) {
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue, 0, CUPS_WHICHJOBS_ACTIVE);
    std::vector<int> ids;
    for (int i = 0; i < n; ++i)
        if (jobs[i].title && title == jobs[i].title)
            ids.push_back(jobs[i].id);
    cupsFreeJobs(n, jobs);
    return ids;
}

// A job's attributes as text (all values, comma-separated).
inline std::map<std::string, std::string> JobAttributes(int jobId) {
    std::map<std::string, std::string> out;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[256];
    std::snprintf(uri, sizeof uri, "ipp://localhost/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    for (ipp_attribute_t* a = response ? ippFirstAttribute(response) : nullptr; a; a = ippNextAttribute(response)) {
        if (!ippGetName(a))
            continue;
        char value[1024];
        ippAttributeString(a, value, sizeof value);
        out[ippGetName(a)] = value;
    }
    ippDelete(response);
    return out;
}

// The document the job holds while it waits in the queue ("" when the
// spool folder cannot be read, as without root).
inline std::string SpoolFile(int jobId) {
    char path[64];
    std::snprintf(path, sizeof path, "/var/spool/cups/d%05d-001", jobId);
    return access(path, R_OK) == 0 ? std::string(path) : std::string();
}

inline void CancelJob(const char* queue, int jobId) { cupsCancelJob2(CUPS_HTTP_DEFAULT, queue, jobId, 1); }

inline void CancelJobsNamed(const char* queue, const std::string& title) {
    for (int id : JobsNamed(queue, title))
        CancelJob(queue, id);
}

// The job's state (IPP job-state: 3 pending, 4 held, 5 processing,
// 7 cancelled, 8 aborted, 9 completed) once it is no longer pending or
// processing, waiting at most `seconds`; 0 when it did not get there.
inline int WaitForJobEnd(int jobId, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        const auto attrs = JobAttributes(jobId);
        auto it = attrs.find("job-state");
        if (it != attrs.end()) {
            const std::string& s = it->second;
            if (s == "completed")
                return 9;
            if (s == "aborted")
                return 8;
            if (s == "canceled")
                return 7;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}

}  // namespace cupstest
