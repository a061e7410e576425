#include "CommandLine.h"

#include "CommandLineParser.h"
#include "ConversionCommands.h"
#include "InterruptCleanup.h"
#include "Usage.h"

#include <string>

namespace {

// "-" stands for a standard stream, as with most tools; the engine knows the
// streams by these names on every platform. A file named "-" is "./-".
std::string StreamOrPath(std::string_view path, const char* streamName)
{
    return path == "-" ? streamName : std::string(path);
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

int RunCommandLine(std::span<const std::string_view> arguments, std::ostream& errors)
{
    const CCommandLineParse parse = ParseCommandLine(arguments);
    if (!parse.request) {
        errors << "morvex: " << parse.error << '\n';
        PrintUsage(errors);
        return kExitUsage;
    }

    const CCommandLineRequest& request = *parse.request;
    RemoveTemporaryFilesOnInterrupt();
    CArrayCodec codec;
    codec.SetSourcePath(StreamOrPath(request.sourcePath, "/dev/stdin"));
    codec.SetDestPath(StreamOrPath(request.destPath, "/dev/stdout"));
    codec.SetCSourceOptions(request.settings.cSource);
    const CCommandLineConversion& conversion = request.conversion;
    const CConversionResult result = (codec.*conversion.command->convert)(conversion.byteUnit, conversion.lineUnit);
    if (result)
        return kExitSuccess;
    errors << "morvex: " << result.message << '\n';
    return kExitFailure;
}
