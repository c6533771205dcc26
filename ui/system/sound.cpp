#include "ui/system/sound.h"

#include <canberra.h>
#include <cstdio>

namespace vemar::ui {

namespace {

// Ids of the two kinds of sound, so that a new file can stop the last one
// without cutting a pip short.
constexpr uint32_t kBellId = 1;
constexpr uint32_t kFileId = 2;

} // namespace

void EventSound::open() {
    if (opened_) return;
    opened_ = true;
    int result = ca_context_create(&context_);
    if (result == CA_SUCCESS)
        result = ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Vemar", nullptr);
    if (result == CA_SUCCESS) result = ca_context_open(context_);
    if (result != CA_SUCCESS) {
        openError_ = result;
        if (context_) ca_context_destroy(context_);
        context_ = nullptr;
        return;
    }
    // A failed upload (a backend without a sample cache, no theme) is not
    // final: playBell() streams the bell or says why it cannot.
    ca_context_cache(context_, CA_PROP_EVENT_ID, "bell", nullptr);
}

EventSound::~EventSound() {
    if (context_) ca_context_destroy(context_);
}

bool EventSound::playBell() {
    open();
    if (!context_) return told(openError_, bellReported_, "the bell", "using the system beep");
    // "permanent": should the server have lost its copy, it is uploaded again.
    const int result = ca_context_play(context_, kBellId, CA_PROP_EVENT_ID, "bell",
                                       CA_PROP_CANBERRA_CACHE_CONTROL, "permanent", nullptr);
    return told(result, bellReported_, "the bell", "using the system beep");
}

bool EventSound::playFile(const std::string& absolutePath) {
    open();
    if (!context_) return told(openError_, fileReported_, absolutePath, "it stays silent");
    ca_context_cancel(context_, kFileId);
    const int result = ca_context_play(context_, kFileId, CA_PROP_MEDIA_FILENAME, absolutePath.c_str(),
                                       CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr);
    return told(result, fileReported_, absolutePath, "it stays silent");
}

// One line for the bell and one for files, however often they fail: with
// the signal on, a pip a second would otherwise fill the log.
bool EventSound::told(int result, bool& reported, const std::string& what, const char* fallback) {
    if (result == CA_SUCCESS) return true;
    if (!reported) {
        reported = true;
        std::fprintf(stderr, "vemar sound: cannot play %s through the sound server (%s): %s\n",
                     what.c_str(), ca_strerror(result), fallback);
    }
    return false;
}

} // namespace vemar::ui
