#include "DisplayProbe.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

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

struct xcb_connection_t;

// Nothing when libxcb is not there to tell.
std::optional<bool> CanOpenX(const char* display)
{
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb)
        return std::nullopt;
    using Connect = xcb_connection_t*(const char*, int*);
    using HasError = int(xcb_connection_t*);
    using Disconnect = void(xcb_connection_t*);
    auto* connect = reinterpret_cast<Connect*>(dlsym(xcb, "xcb_connect"));
    auto* hasError = reinterpret_cast<HasError*>(dlsym(xcb, "xcb_connection_has_error"));
    auto* disconnect = reinterpret_cast<Disconnect*>(dlsym(xcb, "xcb_disconnect"));
    std::optional<bool> opened;
    if (connect && hasError && disconnect) {
        // A failed connect still returns a connection object, in its error state.
        xcb_connection_t* connection = connect(display, nullptr);
        opened = hasError(connection) == 0;
        disconnect(connection);
    }
    dlclose(xcb);
    return opened;
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

std::optional<std::string> UnreachableDisplay()
{
    const char* x = Variable("DISPLAY");
    const char* wayland = Variable("WAYLAND_DISPLAY");
    const std::string waylandSocket = WaylandSocket(wayland ? wayland : kDefaultWaylandDisplay);
    const auto xOpens = [x] { return x && CanOpenX(x).value_or(true); };
    const std::string_view platform = RequestedPlatform();

    if (platform == "xcb")
        return xOpens() ? std::nullopt : std::optional<std::string>(x ? x : "");
    if (platform.starts_with("wayland"))
        return CanOpenWayland(waylandSocket) ? std::nullopt : std::optional(waylandSocket);
    if (!platform.empty())
        return std::nullopt;
    // Qt picks one of the two; either will do here.
    if (xOpens() || (wayland && CanOpenWayland(waylandSocket)))
        return std::nullopt;
    return x ? x : waylandSocket;
}
