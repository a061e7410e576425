#pragma once

#include "textarray/ByteUnit.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The platforms whose compiler the C reader stands in for: type widths,
// alignments, the signedness of char and the macros it predefines.
enum class CAbiName { X86_64Linux, X86_64Windows, ArmEabi };

// "x86_64-linux", "x86_64-windows", "arm-eabi"; none for another name.
std::optional<CAbiName> AbiFromName(std::string_view name);
std::string_view AbiNameOf(CAbiName abi);

// A -D or -U of the command line, as a compiler takes it: "-DNAME" defines
// NAME as 1, "-DNAME=VALUE" as VALUE, "-D'F(x)=x'" a function-like macro.
struct CMacroOption
{
    std::string name;    // with the parameter list of a function-like macro
    std::string value;   // "1" for a -D without '='
    bool undefine = false;
};

struct CSourceOptions
{
    // Bytes per element; none for the declared element type's width.
    std::optional<CByteUnit> byteUnit;
    // The array to read; empty for the first one.
    std::string arrayName;
    // In command-line order, before the file's first line.
    std::vector<CMacroOption> macros;
    CAbiName abi = CAbiName::X86_64Linux;
};
