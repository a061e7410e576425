#include "FailureDetails.h"

#include "fileio/QuotedName.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <algorithm>
#include <iterator>

namespace {

// The string table's words for a failure, and whether the system's
// explanation follows the file's name.
struct CFailureWords
{
    EFailure failure;
    bool systemText;
    int id;
};

constexpr CFailureWords kWords[] = {
    {EFailure::CannotOpenSource, true, IDS_CANNOT_OPEN_SOURCE},
    {EFailure::CannotOpenDest, true, IDS_CANNOT_OPEN_DEST},
    {EFailure::CannotReadSource, true, IDS_CANNOT_READ_SOURCE},
    {EFailure::CannotWriteDest, true, IDS_CANNOT_WRITE_DEST},
    {EFailure::SameFile, false, IDS_SAME_FILE},
    {EFailure::SourceChanged, false, IDS_SOURCE_CHANGED},
    {EFailure::DestChanged, false, IDS_DEST_CHANGED},
    {EFailure::StandardInputClosed, false, IDS_STDIN_CLOSED},
    {EFailure::StandardOutputClosed, false, IDS_STDOUT_CLOSED},
    {EFailure::StandardErrorClosed, false, IDS_STDERR_CLOSED},
    {EFailure::OutOfMemory, false, IDS_OUT_OF_MEMORY},
};

} // namespace

std::string FailureDetails(const CConversionResult& failure, const SystemTextLocalizer& localize)
{
    const auto words = std::ranges::find(kWords, failure.failure, &CFailureWords::failure);
    if (words == std::end(kWords))
        return failure.message;
    const std::string name = QuotedName(failure.path);
    if (!words->systemText)
        return FormatResString(words->id, {name});
    // Without an error number there is no explanation to put in other words.
    if (failure.errorNumber == 0)
        return failure.message;
    return FormatResString(words->id, {name, localize(failure.errorNumber)});
}
