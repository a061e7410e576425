#pragma once

#include "codec/ConversionResult.h"

#include <functional>
#include <string>

// The details of a failed conversion as the dialogs show them. The engine
// words its failures in English for the command line; the dialogs say the
// program's own part in the string table's words and leave the system's
// explanation of the error number to the platform, which puts it in the
// user's language where it can. A failure the string table has no words for
// is shown as the engine worded it, so nothing the user could act on is lost.
using SystemTextLocalizer = std::function<std::string(int errorNumber)>;

std::string FailureDetails(const CConversionResult& failure, const SystemTextLocalizer& localize);
