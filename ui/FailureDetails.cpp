#include "FailureDetails.h"

#include "QuotedName.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <optional>

namespace {

enum class ENamedFile { None, Source, Dest };

// One form of the engine's reasons: its words before and after the file's
// name (the whole reason when it names none), and whether the system's
// explanation follows.
struct CReasonForm
{
    std::string_view before;
    ENamedFile file;
    std::string_view after;
    bool systemText;
    int id;
};

constexpr CReasonForm kForms[] = {
    {"cannot open source file ", ENamedFile::Source, ": ", true, IDS_CANNOT_OPEN_SOURCE},
    {"cannot open destination file ", ENamedFile::Dest, ": ", true, IDS_CANNOT_OPEN_DEST},
    {"cannot read source file ", ENamedFile::Source, ": ", true, IDS_CANNOT_READ_SOURCE},
    {"cannot write destination file ", ENamedFile::Dest, ": ", true, IDS_CANNOT_WRITE_DEST},
    {"source and destination are the same file ", ENamedFile::Dest, "", false, IDS_SAME_FILE},
    {"source file ", ENamedFile::Source, " changed while it was read", false, IDS_SOURCE_CHANGED},
    {"standard input is closed", ENamedFile::None, "", false, IDS_STDIN_CLOSED},
    {"standard output is closed", ENamedFile::None, "", false, IDS_STDOUT_CLOSED},
    {"standard error is closed", ENamedFile::None, "", false, IDS_STDERR_CLOSED},
    {"out of memory", ENamedFile::None, "", false, IDS_OUT_OF_MEMORY},
};

std::optional<std::string> InWords(const CReasonForm& form, std::string_view reason, const std::string& name,
    const SystemTextLocalizer& localize)
{
    const std::string words = std::string(form.before) + name + std::string(form.after);
    if (!form.systemText)
        return reason == words ? std::optional(FormatResString(form.id, {name})) : std::nullopt;
    if (!reason.starts_with(words) || reason.size() == words.size())
        return std::nullopt;
    return FormatResString(form.id, {name, localize(reason.substr(words.size()))});
}

} // namespace

std::string FailureDetails(std::string_view reason, const std::string& sourcePath, const std::string& destPath,
    const SystemTextLocalizer& localize)
{
    const std::string names[] = {"", QuotedName(sourcePath), QuotedName(destPath)};
    for (const CReasonForm& form : kForms)
        if (auto details = InWords(form, reason, names[static_cast<int>(form.file)], localize))
            return *details;
    return std::string(reason);
}
