#pragma once

#include <optional>
#include <string>

// Tries the display the dialogs would open before the toolkit does, which
// would abort the program on failure: an X display through libxcb (loaded
// only here, so the command line never needs it), a Wayland compositor by
// connecting to its socket. Returns the display's name (':99', the socket's
// path) when it cannot be opened; nothing when it can, or when that cannot
// be told beforehand (another platform plugin, libxcb missing).
std::optional<std::string> UnreachableDisplay();
