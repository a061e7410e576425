#pragma once

#include "codec/ArrayCodec.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>

// Inputs for the benchmarks, made once per process in memory-backed files
// (/dev/shm), so that no disk is measured.
namespace bench_data {

inline constexpr std::size_t kInputSize = 16 << 20;

inline std::filesystem::path Folder();

// Removes the folder when the process ends.
struct CCleanUp
{
    ~CCleanUp()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Folder(), ignored);
    }
};

inline std::filesystem::path Folder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path path
            = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        path /= "morvex-bench-" + std::to_string(getpid());
        std::filesystem::create_directories(path);
        return path;
    }();
    // Made after the folder's name, so it is undone before it.
    static CCleanUp cleanUp;
    return folder;
}

inline std::string ReadWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// kInputSize random bytes, as a file.
inline const std::string& RandomBinaryFile()
{
    static const std::string path = [] {
        std::string bytes(kInputSize, '\0');
        std::mt19937_64 random(2026);
        for (std::size_t at = 0; at < bytes.size(); at += 8) {
            const std::uint64_t word = random();
            for (std::size_t k = 0; k < 8; ++k)
                bytes[at + k] = static_cast<char>(word >> (8 * k));
        }
        const std::string file = (Folder() / "random.bin").string();
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }();
    return path;
}

// The text array that the engine itself writes for the random file with the
// given byte unit, as a file.
inline std::string TextArrayFile(int byteUnit)
{
    const std::string file = (Folder() / ("random-h" + std::to_string(byteUnit) + ".txt")).string();
    if (!std::filesystem::exists(file)) {
        CArrayCodec codec;
        codec.SetSourcePath(RandomBinaryFile());
        codec.SetDestPath(file);
        codec.BinToText(byteUnit, 10);
    }
    return file;
}

// The same numbers as decimals, the form that inversion keeps for them.
inline std::string DecimalTextFile()
{
    const std::string file = (Folder() / "random-decimal.txt").string();
    if (!std::filesystem::exists(file)) {
        std::ofstream out(file, std::ios::binary);
        const std::string bytes = ReadWhole(RandomBinaryFile());
        for (const char byte : bytes)
            out << static_cast<unsigned>(static_cast<unsigned char>(byte)) << ',';
    }
    return file;
}

} // namespace bench_data
