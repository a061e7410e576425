#include "ProgramRun.h"

#include "TempDir.h"
#include "fileio/Utf8Path.h"

#include <windows.h>

namespace {

// One argument quoted so that CommandLineToArgvW and the C runtime give it
// back unchanged: backslashes double only before a quote.
std::wstring Quoted(const std::wstring& arg)
{
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

HANDLE CreateInheritableFile(const std::filesystem::path& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE OpenInheritableInput(const std::filesystem::path& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Opened as cmd opens the file of ">>": made if missing, written at its end.
HANDLE OpenInheritableAppending(const std::filesystem::path& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        &inherit, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END);
    return file;
}

// Standard error is a text stream, with CR LF line ends on Windows; the tests
// compare its lines in the form of every platform.
std::string WithLfLineEnds(std::string text)
{
    for (std::size_t cr = text.find("\r\n"); cr != std::string::npos; cr = text.find("\r\n", cr))
        text.erase(cr, 1);
    return text;
}

} // namespace

std::filesystem::path ProgramPath(const std::string& program)
{
    const std::filesystem::path path = PathFromUtf8(program);
    if (path.is_absolute())
        return path;
    wchar_t testProgram[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, testProgram, MAX_PATH * 4);
    return (std::filesystem::path(testProgram).parent_path() / path).lexically_normal();
}

namespace {

CProgramOutcome RunOnce(const std::string& program, const std::filesystem::path& folder,
    const std::vector<std::string>& args, const std::filesystem::path& input, const std::filesystem::path& appendTo)
{
    const std::filesystem::path programPath = ProgramPath(program);
    std::wstring commandLine = Quoted(programPath.wstring());
    for (const std::string& arg : args)
        commandLine += L" " + Quoted(WideFromUtf8(arg));

    const std::wstring name = folder.filename().wstring();
    const std::filesystem::path outFile = folder.parent_path() / (L"morvex-out-" + name);
    const std::filesystem::path errFile = folder.parent_path() / (L"morvex-err-" + name);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.empty() ? GetStdHandle(STD_INPUT_HANDLE) : OpenInheritableInput(input);
    startup.hStdOutput = appendTo.empty() ? CreateInheritableFile(outFile) : OpenInheritableAppending(appendTo);
    startup.hStdError = CreateInheritableFile(errFile);
    PROCESS_INFORMATION process{};
    // Under wine a start fails now and then (about once in a few thousand,
    // never reproducibly) before the program runs; such a start says nothing
    // about the program, so it is tried again.
    bool started = false;
    DWORD startError = 0;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        started = CreateProcessW(programPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
            nullptr, folder.c_str(), &startup, &process);
        startError = started ? 0 : GetLastError();
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    if (!input.empty())
        CloseHandle(startup.hStdInput);
    DWORD exitCode = static_cast<DWORD>(-1);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CProgramOutcome outcome{started ? static_cast<int>(exitCode) : -1, WithLfLineEnds(CTempDir::Read(errFile.string())),
        CTempDir::Read(outFile.string())};
    if (!started)
        outcome.errors = "CreateProcessW failed, error " + std::to_string(startError) + ": " + outcome.errors;
    // wine may still be letting go of the files the program had open.
    for (const std::filesystem::path& file : {outFile, errFile}) {
        std::error_code stillOpen;
        for (int attempt = 0; attempt < 50 && !std::filesystem::remove(file, stillOpen) && stillOpen; ++attempt)
            Sleep(20);
    }
    return outcome;
}

} // namespace

CProgramOutcome RunProgramAppending(const std::string& program, const std::filesystem::path& folder,
    const std::vector<std::string>& args, const std::filesystem::path& input, const std::filesystem::path& output)
{
    // Under load, wine sometimes ends a started program before it runs a line
    // of its own. Morvex never fails without saying why, so a silent failure
    // is such a start, and is tried again.
    CProgramOutcome outcome = RunOnce(program, folder, args, input, output);
    for (int attempt = 1; attempt < 3 && outcome.exitCode != 0 && outcome.errors.empty(); ++attempt)
        outcome = RunOnce(program, folder, args, input, output);
    return outcome;
}

CProgramOutcome RunProgram(const std::string& program, const std::filesystem::path& folder,
    const std::vector<std::string>& args, const std::filesystem::path& input)
{
    return RunProgramAppending(program, folder, args, input, {});
}
