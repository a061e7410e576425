#pragma once

#include <functional>
#include <string>
#include <string_view>

// The details of a failed conversion as the dialogs show them. The engine
// words its reasons in English for the command line; the dialogs say the
// program's own part in the string table's words and leave the system's
// explanation that follows a file's name to the platform, which puts it in
// the user's language where it can. A reason of any other form is shown as
// the engine gave it, so nothing the user could act on is ever lost.
using SystemTextLocalizer = std::function<std::string(std::string_view systemText)>;

std::string FailureDetails(std::string_view reason, const std::string& sourcePath, const std::string& destPath,
    const SystemTextLocalizer& localize);
