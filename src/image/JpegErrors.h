#pragma once
// libjpeg's errors and warnings as the program takes them: an error comes
// back by longjmp to the caller's setjmp with its message kept (the library
// must never end the process); warnings (damaged data the library can step
// over) stay silent but are counted, so that only clean data is kept.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int dataEndedEarly = 0;  // warnings that the entropy data stopped short
};

[[noreturn]] inline void JpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

inline void JpegCountWarning(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return;
    ++cinfo->err->num_warnings;
    // A marker inside the scan data or the data's end: the rest of the
    // picture is made up (grey).
    if (cinfo->err->msg_code == JWRN_HIT_MARKER || cinfo->err->msg_code == JWRN_JPEG_EOF)
        ++reinterpret_cast<JpegErrorManager*>(cinfo->err)->dataEndedEarly;
}

// Sets up `err` for a compress or decompress object; returns its `pub`.
inline jpeg_error_mgr* InitJpegErrors(JpegErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegErrorExit;
    err.pub.emit_message = JpegCountWarning;
    err.message[0] = '\0';
    err.dataEndedEarly = 0;
    return &err.pub;
}
