#include "CommandLine.h"

#include "ConversionCommands.h"
#include "InterruptCleanup.h"
#include "QuotedName.h"
#include "Usage.h"

namespace {

constexpr int kCommandLineLineUnit = 10;

} // namespace

std::optional<CCommandLineConversion> ParseOption(std::string_view option)
{
    if (option.empty() || option.size() > 2)
        return std::nullopt;
    for (const CConversionCommand* command : kConversionCommands) {
        if (option[0] != command->option || (option.size() == 2 && !command->optionTakesByteUnit))
            continue;
        const bool digit = option.size() == 2 && option[1] >= '1' && option[1] <= '9';
        return CCommandLineConversion{command, digit ? option[1] - '0' : 1, kCommandLineLineUnit};
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
    codec.SetSourcePath(sourcePath);
    codec.SetDestPath(destPath);
    const bool converted = (codec.*conversion->command->convert)(conversion->byteUnit, conversion->lineUnit);
    if (converted)
        return kExitSuccess;
    errors << "morvex: " << codec.LastError() << '\n';
    return kExitFailure;
}
