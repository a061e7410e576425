#include "CommandLine.h"

#include "ConversionCommands.h"
#include "InterruptCleanup.h"
#include "fileio/QuotedName.h"
#include "Usage.h"

#include <string>

namespace {

// "-" stands for a standard stream, as with most tools; the engine knows the
// streams by these names on every platform. A file named "-" is "./-".
std::string StreamOrPath(const char* path, const char* streamName)
{
    return std::string_view(path) == "-" ? streamName : path;
}

} // namespace

std::optional<CCommandLineConversion> ParseOption(std::string_view option)
{
    if (option.empty() || option.size() > 2)
        return std::nullopt;
    for (const CConversionCommand* command : kConversionCommands) {
        if (option[0] != command->option)
            continue;
        const bool hasSecondByte = option.size() == 2;
        const bool unitDigit = hasSecondByte && command->optionTakesByteUnit && option[1] >= '1' && option[1] <= '9';
        if (hasSecondByte && !unitDigit && !command->optionToleratesSecondByte)
            return std::nullopt;
        const int byteUnit = unitDigit ? option[1] - '0' : command->bareByteUnit;
        return CCommandLineConversion{command, byteUnit, kCommandLineLineUnit};
    }
    return std::nullopt;
}

void PrintUsage(std::ostream& errors)
{
    errors << kUsageText << '\n';
}

int RunCommandLine(std::string_view option, const char* sourcePath, const char* destPath, std::ostream& errors)
{
    const auto conversion = ParseOption(option);
    if (!conversion) {
        errors << "morvex: unknown option " << QuotedName(option) << '\n';
        PrintUsage(errors);
        return kExitUsage;
    }

    RemoveTemporaryFilesOnInterrupt();
    CArrayCodec codec;
    codec.SetSourcePath(StreamOrPath(sourcePath, "/dev/stdin"));
    codec.SetDestPath(StreamOrPath(destPath, "/dev/stdout"));
    const CConversionResult result = (codec.*conversion->command->convert)(conversion->byteUnit, conversion->lineUnit);
    if (result)
        return kExitSuccess;
    errors << "morvex: " << result.message << '\n';
    return kExitFailure;
}
