#include "CAbi.h"

#include <algorithm>
#include <array>

namespace {

using CMacro = std::pair<std::string_view, std::string_view>;

// From each gcc's "-dM -E" with no options (gnu17): what code that chooses
// between arrays tests (the compiler, the system, the widths and limits, the
// byte order), not the hundreds of floating and atomic facts.
constexpr auto kLinuxMacros = std::to_array<CMacro>({
    {"__STDC__", "1"}, {"__STDC_VERSION__", "201710L"}, {"__STDC_HOSTED__", "1"}, {"__STDC_UTF_16__", "1"},
    {"__STDC_UTF_32__", "1"}, {"__STDC_IEC_559__", "1"}, {"__GNUC__", "12"}, {"__GNUC_MINOR__", "2"},
    {"__GNUC_PATCHLEVEL__", "0"}, {"__VERSION__", "\"12.2.0\""}, {"__CHAR_BIT__", "8"}, {"__SIZEOF_SHORT__", "2"},
    {"__SIZEOF_INT__", "4"}, {"__SIZEOF_LONG__", "8"}, {"__SIZEOF_LONG_LONG__", "8"}, {"__SIZEOF_POINTER__", "8"},
    {"__SIZEOF_FLOAT__", "4"}, {"__SIZEOF_DOUBLE__", "8"}, {"__SIZEOF_LONG_DOUBLE__", "16"},
    {"__SIZEOF_SIZE_T__", "8"}, {"__SIZEOF_WCHAR_T__", "4"}, {"__SIZEOF_WINT_T__", "4"},
    {"__SIZEOF_PTRDIFF_T__", "8"}, {"__BYTE_ORDER__", "__ORDER_LITTLE_ENDIAN__"},
    {"__FLOAT_WORD_ORDER__", "__ORDER_LITTLE_ENDIAN__"}, {"__ORDER_LITTLE_ENDIAN__", "1234"},
    {"__ORDER_BIG_ENDIAN__", "4321"}, {"__ORDER_PDP_ENDIAN__", "3412"}, {"__SCHAR_MAX__", "0x7f"},
    {"__SHRT_MAX__", "0x7fff"}, {"__INT_MAX__", "0x7fffffff"}, {"__LONG_MAX__", "0x7fffffffffffffffL"},
    {"__LONG_LONG_MAX__", "0x7fffffffffffffffLL"}, {"__WCHAR_MAX__", "0x7fffffff"},
    {"__WCHAR_MIN__", "(-__WCHAR_MAX__ - 1)"}, {"__SIZE_MAX__", "0xffffffffffffffffUL"},
    {"__PTRDIFF_MAX__", "0x7fffffffffffffffL"}, {"__INTMAX_MAX__", "0x7fffffffffffffffL"},
    {"__UINTMAX_MAX__", "0xffffffffffffffffUL"}, {"__INTPTR_MAX__", "0x7fffffffffffffffL"},
    {"__UINTPTR_MAX__", "0xffffffffffffffffUL"}, {"__INT8_MAX__", "0x7f"}, {"__INT16_MAX__", "0x7fff"},
    {"__INT32_MAX__", "0x7fffffff"}, {"__INT64_MAX__", "0x7fffffffffffffffL"}, {"__UINT8_MAX__", "0xff"},
    {"__UINT16_MAX__", "0xffff"}, {"__UINT32_MAX__", "0xffffffffU"}, {"__UINT64_MAX__", "0xffffffffffffffffUL"},
    {"__SIZE_TYPE__", "long unsigned int"}, {"__PTRDIFF_TYPE__", "long int"}, {"__WCHAR_TYPE__", "int"},
    {"__CHAR16_TYPE__", "short unsigned int"}, {"__CHAR32_TYPE__", "unsigned int"},
    {"__INT8_TYPE__", "signed char"}, {"__INT16_TYPE__", "short int"}, {"__INT32_TYPE__", "int"},
    {"__INT64_TYPE__", "long int"}, {"__UINT8_TYPE__", "unsigned char"},
    {"__UINT16_TYPE__", "short unsigned int"}, {"__UINT32_TYPE__", "unsigned int"},
    {"__UINT64_TYPE__", "long unsigned int"}, {"__x86_64__", "1"}, {"__x86_64", "1"}, {"__amd64__", "1"},
    {"__amd64", "1"}, {"__MMX__", "1"}, {"__SSE__", "1"}, {"__SSE2__", "1"}, {"__linux__", "1"},
    {"__linux", "1"}, {"__gnu_linux__", "1"}, {"linux", "1"}, {"__unix__", "1"}, {"__unix", "1"}, {"unix", "1"},
    {"__ELF__", "1"}, {"_LP64", "1"}, {"__LP64__", "1"},
});

constexpr auto kWindowsMacros = std::to_array<CMacro>({
    {"__STDC__", "1"}, {"__STDC_VERSION__", "201710L"}, {"__STDC_HOSTED__", "1"}, {"__STDC_UTF_16__", "1"},
    {"__STDC_UTF_32__", "1"}, {"__GNUC__", "12"}, {"__GNUC_MINOR__", "0"}, {"__GNUC_PATCHLEVEL__", "0"},
    {"__VERSION__", "\"12-posix\""}, {"__CHAR_BIT__", "8"}, {"__SIZEOF_SHORT__", "2"}, {"__SIZEOF_INT__", "4"},
    {"__SIZEOF_LONG__", "4"}, {"__SIZEOF_LONG_LONG__", "8"}, {"__SIZEOF_POINTER__", "8"},
    {"__SIZEOF_FLOAT__", "4"}, {"__SIZEOF_DOUBLE__", "8"}, {"__SIZEOF_LONG_DOUBLE__", "16"},
    {"__SIZEOF_SIZE_T__", "8"}, {"__SIZEOF_WCHAR_T__", "2"}, {"__SIZEOF_WINT_T__", "2"},
    {"__SIZEOF_PTRDIFF_T__", "8"}, {"__BYTE_ORDER__", "__ORDER_LITTLE_ENDIAN__"},
    {"__FLOAT_WORD_ORDER__", "__ORDER_LITTLE_ENDIAN__"}, {"__ORDER_LITTLE_ENDIAN__", "1234"},
    {"__ORDER_BIG_ENDIAN__", "4321"}, {"__ORDER_PDP_ENDIAN__", "3412"}, {"__SCHAR_MAX__", "0x7f"},
    {"__SHRT_MAX__", "0x7fff"}, {"__INT_MAX__", "0x7fffffff"}, {"__LONG_MAX__", "0x7fffffffL"},
    {"__LONG_LONG_MAX__", "0x7fffffffffffffffLL"}, {"__WCHAR_MAX__", "0xffff"}, {"__WCHAR_MIN__", "0"},
    {"__SIZE_MAX__", "0xffffffffffffffffULL"}, {"__PTRDIFF_MAX__", "0x7fffffffffffffffLL"},
    {"__INTMAX_MAX__", "0x7fffffffffffffffLL"}, {"__UINTMAX_MAX__", "0xffffffffffffffffULL"},
    {"__INTPTR_MAX__", "0x7fffffffffffffffLL"}, {"__UINTPTR_MAX__", "0xffffffffffffffffULL"},
    {"__INT8_MAX__", "0x7f"}, {"__INT16_MAX__", "0x7fff"}, {"__INT32_MAX__", "0x7fffffff"},
    {"__INT64_MAX__", "0x7fffffffffffffffLL"}, {"__UINT8_MAX__", "0xff"}, {"__UINT16_MAX__", "0xffff"},
    {"__UINT32_MAX__", "0xffffffffU"}, {"__UINT64_MAX__", "0xffffffffffffffffULL"},
    {"__SIZE_TYPE__", "long long unsigned int"}, {"__PTRDIFF_TYPE__", "long long int"},
    {"__WCHAR_TYPE__", "short unsigned int"}, {"__CHAR16_TYPE__", "short unsigned int"},
    {"__CHAR32_TYPE__", "unsigned int"}, {"__INT8_TYPE__", "signed char"}, {"__INT16_TYPE__", "short int"},
    {"__INT32_TYPE__", "int"}, {"__INT64_TYPE__", "long long int"}, {"__UINT8_TYPE__", "unsigned char"},
    {"__UINT16_TYPE__", "short unsigned int"}, {"__UINT32_TYPE__", "unsigned int"},
    {"__UINT64_TYPE__", "long long unsigned int"}, {"__x86_64__", "1"}, {"__x86_64", "1"}, {"__amd64__", "1"},
    {"__amd64", "1"}, {"__MMX__", "1"}, {"__SSE__", "1"}, {"__SSE2__", "1"}, {"_WIN32", "1"}, {"_WIN64", "1"},
    {"__WIN32", "1"}, {"__WIN32__", "1"}, {"__WIN64", "1"}, {"__WIN64__", "1"}, {"WIN32", "1"}, {"WIN64", "1"},
    {"__WINNT", "1"}, {"__WINNT__", "1"}, {"WINNT", "1"}, {"__MINGW32__", "1"}, {"__MINGW64__", "1"},
    {"__MSVCRT__", "1"}, {"__SEH__", "1"},
});

constexpr auto kArmMacros = std::to_array<CMacro>({
    {"__STDC__", "1"}, {"__STDC_VERSION__", "201710L"}, {"__STDC_HOSTED__", "1"}, {"__STDC_UTF_16__", "1"},
    {"__STDC_UTF_32__", "1"}, {"__GNUC__", "12"}, {"__GNUC_MINOR__", "2"}, {"__GNUC_PATCHLEVEL__", "1"},
    {"__VERSION__", "\"12.2.1 20221205\""}, {"__CHAR_BIT__", "8"}, {"__CHAR_UNSIGNED__", "1"},
    {"__SIZEOF_SHORT__", "2"}, {"__SIZEOF_INT__", "4"}, {"__SIZEOF_LONG__", "4"}, {"__SIZEOF_LONG_LONG__", "8"},
    {"__SIZEOF_POINTER__", "4"}, {"__SIZEOF_FLOAT__", "4"}, {"__SIZEOF_DOUBLE__", "8"},
    {"__SIZEOF_LONG_DOUBLE__", "8"}, {"__SIZEOF_SIZE_T__", "4"}, {"__SIZEOF_WCHAR_T__", "4"},
    {"__SIZEOF_WINT_T__", "4"}, {"__SIZEOF_PTRDIFF_T__", "4"}, {"__BYTE_ORDER__", "__ORDER_LITTLE_ENDIAN__"},
    {"__FLOAT_WORD_ORDER__", "__ORDER_LITTLE_ENDIAN__"}, {"__ORDER_LITTLE_ENDIAN__", "1234"},
    {"__ORDER_BIG_ENDIAN__", "4321"}, {"__ORDER_PDP_ENDIAN__", "3412"}, {"__SCHAR_MAX__", "0x7f"},
    {"__SHRT_MAX__", "0x7fff"}, {"__INT_MAX__", "0x7fffffff"}, {"__LONG_MAX__", "0x7fffffffL"},
    {"__LONG_LONG_MAX__", "0x7fffffffffffffffLL"}, {"__WCHAR_MAX__", "0xffffffffU"}, {"__WCHAR_MIN__", "0U"},
    {"__SIZE_MAX__", "0xffffffffU"}, {"__PTRDIFF_MAX__", "0x7fffffff"}, {"__INTMAX_MAX__", "0x7fffffffffffffffLL"},
    {"__UINTMAX_MAX__", "0xffffffffffffffffULL"}, {"__INTPTR_MAX__", "0x7fffffff"},
    {"__UINTPTR_MAX__", "0xffffffffU"}, {"__INT8_MAX__", "0x7f"}, {"__INT16_MAX__", "0x7fff"},
    {"__INT32_MAX__", "0x7fffffffL"}, {"__INT64_MAX__", "0x7fffffffffffffffLL"}, {"__UINT8_MAX__", "0xff"},
    {"__UINT16_MAX__", "0xffff"}, {"__UINT32_MAX__", "0xffffffffUL"}, {"__UINT64_MAX__", "0xffffffffffffffffULL"},
    {"__SIZE_TYPE__", "unsigned int"}, {"__PTRDIFF_TYPE__", "int"}, {"__WCHAR_TYPE__", "unsigned int"},
    {"__CHAR16_TYPE__", "short unsigned int"}, {"__CHAR32_TYPE__", "long unsigned int"},
    {"__INT8_TYPE__", "signed char"}, {"__INT16_TYPE__", "short int"}, {"__INT32_TYPE__", "long int"},
    {"__INT64_TYPE__", "long long int"}, {"__UINT8_TYPE__", "unsigned char"},
    {"__UINT16_TYPE__", "short unsigned int"}, {"__UINT32_TYPE__", "long unsigned int"},
    {"__UINT64_TYPE__", "long long unsigned int"}, {"__arm__", "1"}, {"__ARM_EABI__", "1"}, {"__ARMEL__", "1"},
    {"__ARM_ARCH", "4"}, {"__ARM_ARCH_4T__", "1"}, {"__ARM_ARCH_ISA_ARM", "1"}, {"__ARM_ARCH_ISA_THUMB", "1"},
    {"__ARM_32BIT_STATE", "1"}, {"__APCS_32__", "1"}, {"__ARM_PCS", "1"}, {"__SOFTFP__", "1"},
    {"__VFP_FP__", "1"}, {"__ARM_SIZEOF_WCHAR_T", "4"}, {"__ARM_SIZEOF_MINIMAL_ENUM", "1"}, {"__ELF__", "1"},
});

// Marks of other compilers, systems, processors and languages. Only these
// count as undefined for certain: the headers an #include would have read
// define many reserved names (__GLIBC__, __BYTE_ORDER, _STDINT_H...), and
// options such as -O2 or -mavx2 others (__OPTIMIZE__, __AVX2__).
constexpr auto kForeignMarks = std::to_array<std::string_view>({"__cplusplus", "__OBJC__", "__CUDACC__",
    "__OPENCL_VERSION__", "_MSC_VER", "_MSC_FULL_VER", "_M_IX86", "_M_X64", "_M_AMD64", "_M_ARM", "_M_ARM64",
    "__clang__", "__clang_major__", "__llvm__", "__INTEL_COMPILER", "__ICC", "__AVR__", "__AVR_ARCH__", "__XC8",
    "__XC16", "__XC32", "__SDCC", "__IAR_SYSTEMS_ICC__", "__ICCARM__", "__CC_ARM", "__ARMCC_VERSION",
    "__TI_COMPILER_VERSION__", "__BORLANDC__", "__WATCOMC__", "__TINYC__", "__DJGPP__", "__CYGWIN__", "__APPLE__",
    "__MACH__", "__FreeBSD__", "__NetBSD__", "__OpenBSD__", "__DragonFly__", "__sun", "__ANDROID__", "__EMSCRIPTEN__",
    "__wasm__", "__i386__", "__i386", "_X86_", "__aarch64__", "__riscv", "__powerpc__", "__PPC__", "__mips__",
    "__sparc__", "__s390__", "__ARMEB__", "__AARCH64EB__", "__BIG_ENDIAN__", "__thumb__", "__thumb2__", "__x86_64__",
    "__amd64__", "__arm__", "__ARM_EABI__", "__CHAR_UNSIGNED__", "_WIN32", "_WIN64", "__WIN32__", "__MINGW32__",
    "__MINGW64__", "__MSVCRT__", "__linux__", "__gnu_linux__", "__unix__", "__ELF__", "_LP64", "__LP64__",
    "__STDC_IEC_559__"});

bool IsReservedForm(std::string_view name)
{
    return name.size() >= 2 && name[0] == '_' && (name[1] == '_' || (name[1] >= 'A' && name[1] <= 'Z'));
}

} // namespace

std::span<const std::pair<std::string_view, std::string_view>> CAbi::PredefinedMacros() const
{
    switch (name) {
    case CAbiName::X86_64Windows: return kWindowsMacros;
    case CAbiName::ArmEabi: return kArmMacros;
    case CAbiName::X86_64Linux: break;
    }
    return kLinuxMacros;
}

bool CAbi::IsReservedUndefined(std::string_view macro) const
{
    const auto macros = PredefinedMacros();
    return IsReservedForm(macro) && std::find(kForeignMarks.begin(), kForeignMarks.end(), macro) != kForeignMarks.end()
        && std::none_of(macros.begin(), macros.end(), [macro](const CMacro& defined) { return defined.first == macro; });
}
