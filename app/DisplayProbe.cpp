#include "DisplayProbe.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

using Connect = xcb_connection_t*(const char*, int*);
using HasError = int(xcb_connection_t*);
using Disconnect = void(xcb_connection_t*);

// The compositor libwayland connects to when WAYLAND_DISPLAY is unset.
constexpr char kDefaultWaylandDisplay[] = "wayland-0";

const char* Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// The first platform plugin of QT_QPA_PLATFORM ("xcb", "wayland;xcb",
// "offscreen:fontengine=freetype"), without its arguments.
std::string_view RequestedPlatform()
{
    const char* value = Variable("QT_QPA_PLATFORM");
    const std::string_view platforms = value ? value : "";
    return platforms.substr(0, platforms.find_first_of(";:"));
}

std::string WaylandSocket(const char* display)
{
    if (display[0] == '/')
        return display;
    const char* runtimeFolder = Variable("XDG_RUNTIME_DIR");
    return runtimeFolder ? std::string(runtimeFolder) + "/" + display : display;
}

bool CanConnect(const std::string& socketPath)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (socketPath.front() != '/' || socketPath.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

bool CanOpenWayland(const std::string& socketPath)
{
    // A socket handed over ready-made is used as it is.
    return Variable("WAYLAND_SOCKET") || CanConnect(socketPath);
}

} // namespace

CDisplayProbe::CDisplayProbe()
{
    const char* x = Variable("DISPLAY");
    const char* wayland = Variable("WAYLAND_DISPLAY");
    const std::string waylandSocket = WaylandSocket(wayland ? wayland : kDefaultWaylandDisplay);
    const auto xOpens = [this, x] { return x && CanOpenX(x).value_or(true); };
    const std::string_view platform = RequestedPlatform();

    if (platform == "xcb") {
        if (!xOpens())
            m_unreachable = x ? x : "";
    } else if (platform.starts_with("wayland")) {
        if (!CanOpenWayland(waylandSocket))
            m_unreachable = waylandSocket;
    } else if (platform.empty()) {
        // Qt picks one of the two; either will do here.
        if (!xOpens() && !(wayland && CanOpenWayland(waylandSocket)))
            m_unreachable = x ? x : waylandSocket;
    }
}

CDisplayProbe::~CDisplayProbe()
{
    if (m_connection)
        m_disconnect(m_connection);
    if (m_xcb)
        dlclose(m_xcb);
}

std::optional<bool> CDisplayProbe::CanOpenX(const char* display)
{
    m_xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!m_xcb)
        return std::nullopt;
    auto* connect = reinterpret_cast<Connect*>(dlsym(m_xcb, "xcb_connect"));
    auto* hasError = reinterpret_cast<HasError*>(dlsym(m_xcb, "xcb_connection_has_error"));
    m_disconnect = reinterpret_cast<Disconnect*>(dlsym(m_xcb, "xcb_disconnect"));
    if (!connect || !hasError || !m_disconnect)
        return std::nullopt;
    // A failed connect still returns a connection object, in its error state.
    xcb_connection_t* connection = connect(display, nullptr);
    if (hasError(connection) == 0) {
        m_connection = connection;
        return true;
    }
    m_disconnect(connection);
    return false;
}
