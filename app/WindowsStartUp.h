#pragma once

#include <string>
#include <vector>

// What a Windows process needs before the program proper starts.

// No system box for a missing drive or an empty floppy: the program reports
// the failure itself. Standard output in binary mode, so that the bytes
// written to it arrive exactly (no LF turned into CR LF).
void PrepareWindowsProcess();

// The wide command-line arguments as UTF-8, the encoding every path has inside
// the program.
std::vector<std::string> Utf8Arguments(int argc, wchar_t* argv[]);
