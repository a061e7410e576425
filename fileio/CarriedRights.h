#pragma once

#include <cstdint>
#include <string_view>

// What a replacement may carry over of the old file's rights: it keeps every
// access the old file gave, and never gains a right for someone else.

enum class EAttributeCopy {
    Drop,             // never carried over
    WherePermitted,   // carried where the system lets this process read and set it
    Required,         // must arrive, or the replacement fails and the old file stays
};

// The rule for an extended attribute of the old file, by its name.
EAttributeCopy AttributeCopyOf(std::string_view name);

// The permission bits of the replacement: the old file's, less set-user-ID
// when the new file's owner differs and set-group-ID when its group does, as
// the system itself clears them when someone else writes a set-id file.
std::uint32_t KeptMode(std::uint32_t oldMode, std::uint32_t oldOwner, std::uint32_t oldGroup, std::uint32_t newOwner,
    std::uint32_t newGroup);
