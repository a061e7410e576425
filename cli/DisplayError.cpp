#include "DisplayError.h"

#include "CommandLine.h"
#include "fileio/QuotedName.h"

#include <cstdlib>

std::string DisplayInUse()
{
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (const char* value = std::getenv(variable); value && *value)
            return value;
    }
    return {};
}

void ReportUnopenableDisplay(std::ostream& errors, std::string_view display)
{
    errors << "morvex: cannot open the display " << QuotedName(display) << '\n';
    PrintUsage(errors);
}
