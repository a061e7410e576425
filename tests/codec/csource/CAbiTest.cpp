#include "CompilerOracle.h"
#include "ExpressionTesting.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

namespace {

constexpr CAbiName kLinux = CAbiName::X86_64Linux;
constexpr CAbiName kWindows = CAbiName::X86_64Windows;
constexpr CAbiName kArm = CAbiName::ArmEabi;
constexpr CAbiName kPlatforms[] = {kLinux, kWindows, kArm};

// A type's facts as bytes: size, alignment, whether (T)-1 is negative,
// whether (T)0.5 is not zero (a floating type or bool), whether (T)2 is 1
// (bool alone).
std::string TypeFacts(const CScalarType& type)
{
    const bool floating = type.kind == CScalarType::Kind::Float || type.kind == CScalarType::Kind::Double;
    const bool isBool = type.kind == CScalarType::Kind::Bool;
    const char facts[] = {static_cast<char>(type.width), static_cast<char>(type.align),
        static_cast<char>(floating || (type.kind == CScalarType::Kind::Integer && type.isSigned)),
        static_cast<char>(floating || isBool), static_cast<char>(isBool)};
    return Hex({facts, sizeof facts});
}

// One source for every type, so that the compiler runs once: five bytes a type.
std::string TypeFactsSource(std::span<const std::string_view> spellings)
{
    std::string text = "const unsigned char a[] = {\n";
    for (const std::string_view spelling : spellings) {
        std::string t = "(";
        t += spelling;
        t += ')';
        text += "sizeof" + t + ", _Alignof" + t + ", " + t + "-1 < 0, " + t + "0.5 != 0, " + t + "2 == 1,\n";
    }
    return text + "};";
}

// Type names each platform's gcc and headers define, by keywords or by the
// C library's names.
constexpr std::string_view kCompilerTypes[] = {"char", "signed char", "unsigned char", "short", "unsigned short int",
    "short signed", "int", "unsigned", "signed", "long", "unsigned long", "long int", "long long",
    "unsigned long long int", "long unsigned", "int long long", "_Bool", "bool", "float", "double",
    "const volatile int", "int8_t", "uint8_t", "int16_t", "uint16_t", "int32_t", "uint32_t", "int64_t", "uint64_t",
    "int_least8_t", "uint_least16_t", "int_least32_t", "uint_least64_t", "int_fast8_t", "uint_fast8_t", "int_fast16_t",
    "uint_fast16_t", "int_fast32_t", "uint_fast32_t", "int_fast64_t", "intptr_t", "uintptr_t", "intmax_t", "uintmax_t",
    "size_t", "ssize_t", "ptrdiff_t", "wchar_t", "char16_t", "char32_t"};

class CAbiTypes : public testing::TestWithParam<CAbiName>
{};

// Each platform's compiler confirms every type's width, alignment,
// signedness and kind in one run.
TEST_P(CAbiTypes, AreTheCompilersTypes)
{
    const CAbi& abi = AbiFor(GetParam());
    const std::vector<COracleSource> sources = {COracleSource(TypeFactsSource(kCompilerTypes))};
    std::string prelude(kOraclePrelude);
    prelude += "#include <sys/types.h>\n";
    const COracleRun run = CompileWithOracle(GetParam(), sources, prelude);
    if (!run.missing.empty())
        GTEST_SKIP() << "no " << run.missing << " for " << AbiNameOf(GetParam());
    ASSERT_EQ(run.results.size(), 1U);
    ASSERT_TRUE(run.results[0].compiled) << run.results[0].error;
    const std::string facts = Hex(run.results[0].bytes);
    ASSERT_EQ(facts.size(), std::size(kCompilerTypes) * 10);
    for (std::size_t k = 0; k < std::size(kCompilerTypes); ++k) {
        const std::optional<CScalarType> type = TypeOfWords(abi, kCompilerTypes[k]);
        ASSERT_TRUE(type.has_value()) << kCompilerTypes[k];
        EXPECT_EQ(TypeFacts(*type), facts.substr(10 * k, 10)) << kCompilerTypes[k];
    }
}

INSTANTIATE_TEST_SUITE_P(Platforms, CAbiTypes, testing::ValuesIn(kPlatforms),
    [](const testing::TestParamInfo<CAbiName>& abi) { return PlatformTestName(abi.param); });

// What needs no compiler: the names only the kernel's, Windows' or a
// firmware's headers define, storage classes beside a type, and the
// facts that decide bytes on each platform.
struct TypeCase
{
    CAbiName abi;
    std::string_view spelling;
    int width;
    bool isSigned;
};

// clang-format off
const TypeCase kTypeCases[] = {
    {kLinux, "long", 8, true},
    {kWindows, "unsigned long", 4, false},
    {kArm, "long", 4, true},
    {kLinux, "char", 1, true},
    {kArm, "char", 1, false},
    {kArm, "signed char", 1, true},
    {kWindows, "wchar_t", 2, false},
    {kLinux, "uint_fast16_t", 8, false},
    {kLinux, "u16", 2, false},
    {kArm, "__s64", 8, true},
    {kWindows, "INT8", 1, true},
    {kWindows, "UINT64", 8, false},
    {kLinux, "u_int32_t", 4, false},
    {kLinux, "char8_t", 1, false},
    {kLinux, "static const unsigned char", 1, false},
    {kArm, "extern register volatile short", 2, true},
    {kLinux, "thread_local constexpr long long", 8, true},
};
// clang-format on

class CAbiTypeNames : public testing::TestWithParam<TypeCase>
{};

TEST_P(CAbiTypeNames, HaveThePlatformsWidthAndSign)
{
    const TypeCase& c = GetParam();
    const std::optional<CScalarType> type = TypeOfWords(AbiFor(c.abi), c.spelling);
    ASSERT_TRUE(type.has_value()) << c.spelling;
    EXPECT_EQ(type->kind, CScalarType::Kind::Integer) << c.spelling;
    EXPECT_EQ(type->width, c.width) << c.spelling;
    EXPECT_EQ(type->isSigned, c.isSigned) << c.spelling;
}

INSTANTIATE_TEST_SUITE_P(Rows, CAbiTypeNames, testing::ValuesIn(kTypeCases));

// Words that name no scalar type the reader stores, or clash; and the names
// whose width no header of these platforms fixes.
constexpr std::string_view kNoTypes[]
    = {"long double", "void", "_Complex double", "double _Complex", "signed unsigned int", "long long long",
        "short char", "short long", "int int", "float double", "unsigned float", "long bool", "const", "", "WORD",
        "DWORD", "BYTE", "ulong", "uint", "UINT", "ULONG", "mytype", "unsigned mytype", "struct pixel"};

TEST(CAbiTypeNames, NamesNoTypeForOtherWords)
{
    for (const CAbiName platform : kPlatforms)
        for (const std::string_view spelling : kNoTypes)
            EXPECT_FALSE(TypeOfWords(AbiFor(platform), spelling).has_value())
                << spelling << " on " << AbiNameOf(platform);
}

// Each predefined macro's full expansion beside the expansion of the
// reader's text for it, a line each.
std::string MacrosSource(const CAbi& abi)
{
    std::string definitions = "#define S(x) #x\n#define X(x) S(x)\n";
    std::string text = "const char a[] =\n";
    int k = 0;
    for (const auto& [name, value] : abi.PredefinedMacros()) {
        const std::string ours = "OURS" + std::to_string(k++);
        definitions += "#define " + ours + " " + std::string(value) + "\n";
        text += "X(" + std::string(name) + ") \"|\" X(" + ours + ") \"\\n\"\n";
    }
    return definitions + text + ";";
}

// A byte a mark: 1 where the compiler defines it.
std::string MarksSource(std::span<const std::string_view> marks)
{
    std::string text = "const char a[] = {\n";
    for (const std::string_view mark : marks)
        text += "#ifdef " + std::string(mark) + "\n1,\n#else\n0,\n#endif\n";
    return text + "};";
}

class CAbiMacros : public testing::TestWithParam<CAbiName>
{};

// Every predefined macro expands, all the way down, to what the compiler's
// own does; no mark the platform takes as undefined is defined by it.
TEST_P(CAbiMacros, AreTheCompilersOwn)
{
    const CAbi& abi = AbiFor(GetParam());
    const std::vector<std::string_view> marks = {"__cplusplus", "_MSC_VER", "__clang__", "__AVR__", "_WIN32", "_WIN64",
        "__MINGW32__", "__linux__", "__unix__", "__ELF__", "__x86_64__", "__arm__", "__ARM_EABI__", "__thumb__",
        "__CHAR_UNSIGNED__", "_LP64", "__i386__", "__aarch64__", "__APPLE__", "__STDC_IEC_559__"};
    std::vector<std::string_view> undefined;
    for (const std::string_view mark : marks)
        if (abi.IsReservedUndefined(mark))
            undefined.push_back(mark);
    const std::vector<COracleSource> sources
        = {COracleSource(MacrosSource(abi)), COracleSource(MarksSource(undefined))};
    const COracleRun run = CompileWithOracle(GetParam(), sources, "");
    if (!run.missing.empty())
        GTEST_SKIP() << "no " << run.missing << " for " << AbiNameOf(GetParam());
    ASSERT_EQ(run.results.size(), 2U);
    ASSERT_TRUE(run.results[0].compiled && run.results[1].compiled) << run.results[0].error << run.results[1].error;
    std::size_t at = 0;
    for (const auto& [name, value] : abi.PredefinedMacros()) {
        const std::string& bytes = run.results[0].bytes;
        const std::size_t end = bytes.find('\n', at);
        ASSERT_NE(end, std::string::npos) << name;
        const std::string line = bytes.substr(at, end - at);
        const std::size_t bar = line.find('|');
        EXPECT_EQ(line.substr(0, bar), line.substr(bar + 1)) << name;
        at = end + 1;
    }
    EXPECT_EQ(Hex(run.results[1].bytes), std::string(2 * undefined.size(), '0'))
        << "a mark taken as undefined is defined";
    EXPECT_FALSE(undefined.empty());
}

INSTANTIATE_TEST_SUITE_P(Platforms, CAbiMacros, testing::ValuesIn(kPlatforms),
    [](const testing::TestParamInfo<CAbiName>& abi) { return PlatformTestName(abi.param); });

// Only other compilers', systems' and languages' marks are undefined for
// certain: a reserved name that a header the file includes may define is not.
struct ReservedCase
{
    CAbiName abi;
    std::string_view name;
    bool undefined;
};

// clang-format off
const ReservedCase kReservedCases[] = {
    {kLinux, "__cplusplus", true},
    {kLinux, "_MSC_VER", true},
    {kLinux, "__AVR__", true},
    {kLinux, "_WIN32", true},
    {kWindows, "_WIN32", false},
    {kLinux, "__x86_64__", false},
    {kArm, "__x86_64__", true},
    {kArm, "__CHAR_UNSIGNED__", false},
    {kLinux, "__CHAR_UNSIGNED__", true},
    {kLinux, "__GLIBC__", false},
    {kLinux, "__BYTE_ORDER", false},
    {kLinux, "__OPTIMIZE__", false},
    {kLinux, "CONFIG_X", false},
    {kLinux, "_lower", false},
};
// clang-format on

class CAbiReservedNames : public testing::TestWithParam<ReservedCase>
{};

TEST_P(CAbiReservedNames, AreUndefinedOnlyForCertain)
{
    EXPECT_EQ(AbiFor(GetParam().abi).IsReservedUndefined(GetParam().name), GetParam().undefined) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Rows, CAbiReservedNames, testing::ValuesIn(kReservedCases));

} // namespace
