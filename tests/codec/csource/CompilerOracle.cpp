#include "CompilerOracle.h"

#include "ProgramRun.h"
#include "TempDir.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>

namespace {

// The object holding the size of the wanted one: a COFF section is padded
// to its alignment, so its length is not the object's.
constexpr std::string_view kSizeSymbol = "morvex_oracle_size";

std::string_view ObjcopyOf(CAbiName abi)
{
    switch (abi) {
    case CAbiName::X86_64Windows: return "x86_64-w64-mingw32-objcopy";
    case CAbiName::ArmEabi: return "arm-none-eabi-objcopy";
    case CAbiName::X86_64Linux: break;
    }
    return "objcopy";
}

// Letters, digits and '_' only: the name goes into section names and the
// shell script unquoted.
bool IsIdentifier(std::string_view name)
{
    return !name.empty() && (name[0] < '0' || name[0] > '9') && std::all_of(name.begin(), name.end(), [](char c) {
        return c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// The file the compiler sees: the macro options, the prelude, the source
// by #include (so its errors keep their lines) and the size object.
std::string Wrapper(const COracleSource& source, std::size_t k, std::string_view prelude)
{
    std::ostringstream text;
    for (const CMacroOption& macro : source.macros) {
        if (macro.undefine)
            text << "#undef " << macro.name << '\n';
        else
            text << "#define " << macro.name << ' ' << macro.value << '\n';
    }
    text << prelude << "#include \"s" << k << ".c\"\n;\nstatic const unsigned long long " << kSizeSymbol
         << " __attribute__((used)) = sizeof(" << source.symbol << ");\n";
    return text.str();
}

// Each section the symbol's bytes may sit in, ELF's and COFF's, as objcopy options.
std::string SectionOptions(std::string_view symbol)
{
    std::string options;
    for (std::string_view prefix : {".data.", ".rodata.", ".data.rel.ro.", ".data.rel.ro.local.", ".data$", ".rdata$"})
        options += " --only-section='" + std::string(prefix) + std::string(symbol) + "'";
    return options;
}

// One shell run: the tools' presence, one compiler run for every wrapper,
// then two objcopy runs per object that was made.
std::string Script(CAbiName abi, std::span<const COracleSource> sources)
{
    const std::string compiler(OracleCompiler(abi));
    const std::string objcopy(ObjcopyOf(abi));
    std::ostringstream script;
    for (const std::string& tool : {compiler, objcopy})
        script << "command -v " << tool << " >/dev/null 2>&1 || { echo " << tool << " >missing; exit 0; }\n";
    script << "LC_ALL=C " << compiler
           << " -c -std=gnu17 -w -fdata-sections -fno-common -fno-zero-initialized-in-bss"
              " -fno-diagnostics-show-caret";
    for (std::size_t k = 0; k < sources.size(); ++k) {
        if (IsIdentifier(sources[k].symbol))
            script << " w" << k << ".c";
    }
    script << " 2>errors\n";
    for (std::size_t k = 0; k < sources.size(); ++k) {
        script << "[ -f w" << k << ".o ] && " << objcopy << " -O binary" << SectionOptions(sources[k].symbol) << " w"
               << k << ".o b" << k << " && " << objcopy << " -O binary" << SectionOptions(kSizeSymbol) << " w" << k
               << ".o n" << k << "\n";
    }
    script << "exit 0\n";
    return script.str();
}

// The source a diagnostic line names, by "sK.c:" or "wK.c:" at its start
// or after "In file included from ".
std::optional<std::size_t> SourceOfLine(std::string_view line)
{
    constexpr std::string_view kIncluded = "In file included from ";
    if (line.starts_with(kIncluded))
        line.remove_prefix(kIncluded.size());
    if (line.size() < 2 || (line[0] != 's' && line[0] != 'w'))
        return std::nullopt;
    std::size_t k = 0;
    std::size_t at = 1;
    for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at)
        k = k * 10 + static_cast<std::size_t>(line[at] - '0');
    if (at == 1 || !line.substr(at).starts_with(".c:"))
        return std::nullopt;
    return k;
}

// Each source's first error line, its file name taken off; the compiler
// reads the files in order, so a header's error belongs to the last source named.
std::vector<std::string> FirstErrors(const std::string& errors, std::size_t count)
{
    std::vector<std::string> first(count);
    std::optional<std::size_t> current;
    std::istringstream lines(errors);
    for (std::string line; std::getline(lines, line);) {
        if (const std::optional<std::size_t> named = SourceOfLine(line))
            current = named;
        if (!current || *current >= count || !first[*current].empty() || line.find(" error:") == std::string::npos)
            continue;
        const std::size_t colon = line.find(".c:");
        first[*current] = SourceOfLine(line) ? line.substr(colon + 3) : line;
    }
    return first;
}

// "w3.o": a file of source 3 in the run's folder.
std::string Named(std::string_view stem, std::size_t k, std::string_view extension = {})
{
    std::string name(stem);
    name += std::to_string(k);
    name += extension;
    return name;
}

std::uint64_t LittleEndian(std::string_view bytes)
{
    std::uint64_t value = 0;
    for (std::size_t k = bytes.size(); k-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[k]);
    return value;
}

COracleResult ResultOf(const CTempDir& dir, std::size_t k, std::string error)
{
    COracleResult result;
    result.compiled = std::filesystem::exists(dir.Path(Named("w", k, ".o")));
    if (!result.compiled) {
        result.error = error.empty() ? "no object" : std::move(error);
        return result;
    }
    // The size's own section is padded on COFF too: its first eight bytes.
    const std::string size = CTempDir::Read(dir.Path(Named("n", k)));
    const std::string bytes = CTempDir::Read(dir.Path(Named("b", k)));
    if (size.size() < 8 || bytes.size() < LittleEndian(std::string_view(size).substr(0, 8)))
        return result;
    result.found = true;
    result.bytes = bytes.substr(0, LittleEndian(std::string_view(size).substr(0, 8)));
    return result;
}

} // namespace

std::string_view OracleCompiler(CAbiName abi)
{
    switch (abi) {
    case CAbiName::X86_64Windows: return "x86_64-w64-mingw32-gcc";
    case CAbiName::ArmEabi: return "arm-none-eabi-gcc";
    case CAbiName::X86_64Linux: break;
    }
    return "cc";
}

COracleRun CompileWithOracle(CAbiName abi, std::span<const COracleSource> sources, std::string_view prelude)
{
    CTempDir dir;
    for (std::size_t k = 0; k < sources.size(); ++k) {
        dir.Write(Named("s", k, ".c"), sources[k].text);
        dir.Write(Named("w", k, ".c"), Wrapper(sources[k], k, prelude));
    }
    dir.Write("oracle.sh", Script(abi, sources));
    COracleRun run;
    const CProgramOutcome shell = RunProgram("sh", dir.Root(), {"oracle.sh"});
    if (shell.exitCode != 0) {
        run.missing = "sh (exit " + std::to_string(shell.exitCode) + ")";
        return run;
    }
    if (std::filesystem::exists(dir.Path("missing"))) {
        run.missing = CTempDir::Read(dir.Path("missing"));
        run.missing.erase(run.missing.find_last_not_of('\n') + 1);
        return run;
    }
    std::vector<std::string> errors = FirstErrors(CTempDir::Read(dir.Path("errors")), sources.size());
    for (std::size_t k = 0; k < sources.size(); ++k) {
        if (IsIdentifier(sources[k].symbol))
            run.results.push_back(ResultOf(dir, k, std::move(errors[k])));
        else
            run.results.push_back({false, "'" + sources[k].symbol + "' is no identifier", false, {}});
    }
    return run;
}
