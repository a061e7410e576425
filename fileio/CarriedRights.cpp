#include "CarriedRights.h"

namespace {

constexpr std::uint32_t kSetUserId = 04000;
constexpr std::uint32_t kSetGroupId = 02000;
constexpr std::uint32_t kPermissionBits = 07777;

} // namespace

EAttributeCopy AttributeCopyOf(std::string_view name)
{
    // Capabilities are rights of a program: new content never inherits them.
    if (name == "security.capability")
        return EAttributeCopy::Drop;
    // Access lists decide who may read the file: without them it would be
    // open to others, or closed to those it was shared with.
    if (name == "system.posix_acl_access" || name == "system.nfs4_acl")
        return EAttributeCopy::Required;
    return EAttributeCopy::WherePermitted;
}

std::uint32_t KeptMode(std::uint32_t oldMode, std::uint32_t oldOwner, std::uint32_t oldGroup, std::uint32_t newOwner,
    std::uint32_t newGroup)
{
    std::uint32_t mode = oldMode & kPermissionBits;
    if (newOwner != oldOwner)
        mode &= ~kSetUserId;
    if (newGroup != oldGroup)
        mode &= ~kSetGroupId;
    return mode;
}
