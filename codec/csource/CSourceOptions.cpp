#include "csource/CSourceOptions.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<CAbiName, std::string_view>, 3> kAbiNames = {{{CAbiName::X86_64Linux, "x86_64-linux"},
    {CAbiName::X86_64Windows, "x86_64-windows"}, {CAbiName::ArmEabi, "arm-eabi"}}};

} // namespace

std::optional<CAbiName> AbiFromName(std::string_view name)
{
    for (const auto& [abi, abiName] : kAbiNames)
        if (abiName == name)
            return abi;
    return std::nullopt;
}

std::string_view AbiNameOf(CAbiName abi)
{
    for (const auto& [known, abiName] : kAbiNames)
        if (known == abi)
            return abiName;
    return {};
}
