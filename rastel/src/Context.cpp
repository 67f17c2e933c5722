#include "Context.h"

#include <cstdio>
#include <cstdlib>

namespace rastel {

namespace {

thread_local Context context;

int DefaultHandler(int status, const char* function, const char* message, const char* file, int line) {
    const int mode = context.errorMode;
    if (mode == VOP_ErrModeSilent) return status;
    std::fprintf(stderr, "rastel: %s in function %s: %s (%s:%d)\n", vopErrorStr(status), function ? function : "?",
                 message ? message : "", file ? file : "?", line);
    if (mode == VOP_ErrModeLeaf) std::exit(1);
    return status;
}

struct StatusText {
    int status;
    const char* text;
};

constexpr StatusText kTexts[] = {
    {0, "No Error"},
    {-1, "Backtrace"},
    {-3, "Internal error (bad state)"},
    {-4, "Insufficient memory"},
    {-5, "Bad argument"},
    {-6, "Unsupported function"},
    {-7, "Iteration convergence failed"},
    {-8, "Autotrace call"},
    {-9, "Null pointer to an image header"},
    {-10, "Incorrect image size"},
    {-11, "Incorrect offset of ROI of the image"},
    {-12, "Image must be tiled or must have nonzero data pointer"},
    {-13, "Incorrect widthStep of the image"},
    {-14, "Incorrect Color model or channel sequence of the image"},
    {-15, "Incorrect number of channels in the image"},
    {-16, "Number of channels for 1U depth image must be one"},
    {-17, "Incorrect depth value in the image header"},
    {-18, "Incorrect alpha channel number in the image header"},
    {-19, "Incorrect data order value in the image header"},
    {-20, "Incorrect data origin value in the image header"},
    {-21, "Incorrect data alignment value in the image header"},
    {-22, "Null pointer to callback function"},
    {-23, "Incorrect size of the tile"},
    {-24, "Incorrect COI of the image"},
    {-25, "Incorrect size of ROI in the image header"},
    {-26, "Mask image is taled"},
    {-27, "Null pointer"},
    {-28, "Incorrect vector length"},
    {-29, "Incorrect filter structure content"},
    {-30, "Incorrect transform kernel content"},
    {-31, "Incorrect filter ofset value"},
};

const char* PlainText(int status) {
    for (const StatusText& t : kTexts)
        if (t.status == status) return t.text;
    return nullptr;
}

}  // namespace

Context& ThreadContext() { return context; }

int Report(int status, const char* function, const char* message, const char* file, int line) {
    if (status != VOP_StsBackTrace && status != VOP_StsAutoTrace) {
        context.status = status;
        if (status == 0) return 0;
    }
    VopErrorCallback handler = context.handler ? context.handler : DefaultHandler;
    return handler(status, function, message, file, line);
}

}  // namespace rastel

using rastel::ThreadContext;

extern "C" {

int vopGetErrStatus(void) { return ThreadContext().status; }

void vopSetErrStatus(int status) { ThreadContext().status = status; }

int vopGetErrMode(void) { return ThreadContext().errorMode; }

int vopSetErrMode(int mode) {
    const int previous = ThreadContext().errorMode;
    ThreadContext().errorMode = mode;
    return previous;
}

VopErrorCallback vopRedirectError(VopErrorCallback handler) {
    const VopErrorCallback previous = ThreadContext().handler;
    ThreadContext().handler = handler;
    return previous;
}

const char* vopErrorStr(int status) {
    if (const char* text = rastel::PlainText(status)) return text;
    if (status <= -110 && status >= -125) {
        static thread_local char masked[96];
        std::snprintf(masked, sizeof masked, "Mask. %s", rastel::PlainText(status + 100));
        return masked;
    }
    return "Unknown error or status code";
}

}  // extern "C"
