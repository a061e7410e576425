#include "CommandLine.h"

#include "ArrayCodec.h"
#include "InterruptCleanup.h"
#include "QuotedName.h"
#include "Usage.h"

namespace {

constexpr int kCommandLineLineUnit = 10;

} // namespace

std::optional<CCommandLineConversion> ParseOption(std::string_view option)
{
    using Kind = CCommandLineConversion::Kind;
    if (option == "i")
        return CCommandLineConversion{Kind::InvertText, 1, kCommandLineLineUnit};
    if (!option.empty() && option.size() <= 2 && option[0] == 'h') {
        const bool digit = option.size() == 2 && option[1] >= '1' && option[1] <= '9';
        return CCommandLineConversion{Kind::BinToText, digit ? option[1] - '0' : 1, kCommandLineLineUnit};
    }
    if (option == "b")
        return CCommandLineConversion{Kind::TextToBin, 1, kCommandLineLineUnit};
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
    bool converted = false;
    switch (conversion->kind) {
    case CCommandLineConversion::Kind::BinToText:
        converted = codec.BinToText(conversion->byteUnit, conversion->lineUnit);
        break;
    case CCommandLineConversion::Kind::TextToBin:
        converted = codec.TextToBin(conversion->byteUnit, conversion->lineUnit);
        break;
    case CCommandLineConversion::Kind::InvertText:
        converted = codec.InvertText(conversion->byteUnit, conversion->lineUnit);
        break;
    }
    if (converted)
        return kExitSuccess;
    errors << "morvex: " << codec.LastError() << '\n';
    return kExitFailure;
}
