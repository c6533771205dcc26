#pragma once
// The desktop's event sounds through libcanberra: the sound theme's bell and
// a sound file by name, handed to the sound server without waiting for them
// to end. When nothing can be played the caller chooses its fallback; the
// reason is told once on stderr, the first time it matters.

#include <string>

struct ca_context;

namespace vemar::ui {

class EventSound {
public:
    EventSound() = default;
    ~EventSound();
    EventSound(const EventSound&) = delete;
    EventSound& operator=(const EventSound&) = delete;

    // Connects to the sound server and has the bell uploaded to it, so that
    // every pip starts as promptly as the first. Only the first call does
    // anything; playing opens first when no one has.
    void open();
    // False when the bell could not be started.
    bool playBell();
    // Starts a sound file, stopping the file started before; false when it
    // could not be started (missing, not a WAV or Ogg file, no server).
    bool playFile(const std::string& absolutePath);

private:
    // True on success; otherwise says why on stderr, the first time only.
    bool told(int result, bool& reported, const std::string& what, const char* fallback);

    bool opened_ = false;
    ca_context* context_ = nullptr;
    int openError_ = 0;           // why there is no context, as a libcanberra error
    bool bellReported_ = false;
    bool fileReported_ = false;
};

} // namespace vemar::ui
