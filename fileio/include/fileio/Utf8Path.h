#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// Paths travel through the program as UTF-8. On Windows they reach the system
// through its wide-character calls, so that every name works whatever the
// code page; elsewhere the bytes go through unchanged.

std::FILE* OpenFile(const std::string& utf8Path, const char* mode);

std::filesystem::path PathFromUtf8(const std::string& utf8Path);
std::string Utf8FromPath(const std::filesystem::path& path);

#ifdef _WIN32
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
#endif
