#pragma once

#include "csource/CSourceOptions.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One translation unit for the compiler: its text, the object whose bytes
// are wanted, and the -D and -U options it is compiled with.
struct COracleSource
{
    COracleSource(std::string sourceText, std::string symbolName = "a", std::vector<CMacroOption> macroOptions = {})
        : text(std::move(sourceText))
        , symbol(std::move(symbolName))
        , macros(std::move(macroOptions))
    {
    }

    std::string text;
    std::string symbol = "a";
    std::vector<CMacroOption> macros;
};

// What the compiler made of one source.
struct COracleResult
{
    bool compiled = false;
    std::string error;   // the compiler's first error line, without the file name
    bool found = false;  // the object held the symbol's initialised bytes
    std::string bytes;   // exactly sizeof the symbol
};

struct COracleRun
{
    // Empty when the platform's compiler and objcopy ran; else what is missing.
    std::string missing;
    std::vector<COracleResult> results;   // one per source, in order
};

// The headers every source may lean on without including them, as the C
// reader assumes their names: size_t, wchar_t, the <stdint.h> types, bool,
// char16_t and char32_t (which the bare-metal library has no header for).
inline constexpr std::string_view kOraclePrelude = "#include <stddef.h>\n#include <stdint.h>\n#include <stdbool.h>\n"
                                                   "typedef __CHAR16_TYPE__ char16_t;\n"
                                                   "typedef __CHAR32_TYPE__ char32_t;\n";

// The compiler the C reader stands in for on a platform: "cc",
// "x86_64-w64-mingw32-gcc" or "arm-none-eabi-gcc".
std::string_view OracleCompiler(CAbiName abi);

// Compiles every source as its own translation unit in one compiler run
// (gnu17, data in a section per object, zeros kept out of .bss) and takes
// each named object's bytes out of its object file in one shell run. The
// prelude comes after the macro options and before the source, as -include
// would put it. An object holding addresses has no final bytes before
// linking: its bytes here are the placeholders.
COracleRun CompileWithOracle(
    CAbiName abi, std::span<const COracleSource> sources, std::string_view prelude = kOraclePrelude);

// Bytes as lowercase hex, two digits each, for comparing with a row.
inline std::string Hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : bytes) {
        hex += kDigits[(static_cast<unsigned char>(byte) >> 4) & 0xF];
        hex += kDigits[static_cast<unsigned char>(byte) & 0xF];
    }
    return hex;
}

// A platform's name as a test's name (letters and digits only).
inline std::string PlatformTestName(CAbiName abi)
{
    std::string name(AbiNameOf(abi));
    std::erase(name, '-');
    std::erase(name, '_');
    return name;
}
