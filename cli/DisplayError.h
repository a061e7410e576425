#pragma once

#include <ostream>
#include <string>
#include <string_view>

// The display the dialogs use, as the user named it: the Qt platform when
// QT_QPA_PLATFORM names one, else $DISPLAY, else $WAYLAND_DISPLAY.
std::string DisplayInUse();

// "morvex: cannot open the display '<display>'" and the usage.
void ReportUnopenableDisplay(std::ostream& errors, std::string_view display);
