#pragma once

#include <optional>
#include <string>

struct xcb_connection_t;

// Tries the display the dialogs would open before the toolkit does, which
// would abort the program on failure: an X display through libxcb (loaded
// only here, so the command line never needs it), a Wayland compositor by
// connecting to its socket.
//
// An X connection that opened stays open for as long as the probe lives: an
// X server without other clients (Xvfb, for one) resets when its last client
// leaves, and the toolkit's own connection would run into that reset.
class CDisplayProbe
{
public:
    CDisplayProbe();
    ~CDisplayProbe();
    CDisplayProbe(const CDisplayProbe&) = delete;
    CDisplayProbe& operator=(const CDisplayProbe&) = delete;

    // The display's name (':99', the socket's path) when it cannot be opened;
    // nothing when it can, or when that cannot be told beforehand (another
    // platform plugin, libxcb missing).
    const std::optional<std::string>& UnreachableDisplay() const { return m_unreachable; }

private:
    // Nothing when libxcb is not there to tell.
    std::optional<bool> CanOpenX(const char* display);

    void* m_xcb = nullptr;
    xcb_connection_t* m_connection = nullptr;
    void (*m_disconnect)(xcb_connection_t*) = nullptr;
    std::optional<std::string> m_unreachable;
};
