#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr std::uint16_t kGuiSubsystem = 2;
constexpr std::uint16_t kConsoleSubsystem = 3;

std::uint32_t ReadLittleEndian(const std::string& bytes, std::size_t offset, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    return value;
}

// The subsystem field of a PE image: after the "PE\0\0" signature, the
// 20-byte file header and 68 bytes of the optional header.
std::uint32_t Subsystem(const std::string& image)
{
    const std::size_t peHeader = ReadLittleEndian(image, 0x3C, 4);
    return ReadLittleEndian(image, peHeader + 4 + 20 + 68, 2);
}

// Explorer and the Start menu start morvex.exe: a console program would open
// a console window. cmd.exe and PowerShell find morvex.com first and must
// wait for it and see its streams, which only a console program gives them.
TEST(Subsystem, TheGuiProgramAndItsConsoleTwin)
{
    const struct
    {
        const char* program;
        std::uint32_t subsystem;
    } cases[] = {{MORVEX_EXE, kGuiSubsystem}, {MORVEX_COM, kConsoleSubsystem}};
    for (const auto& c : cases) {
        std::ifstream in(ProgramPath(c.program), std::ios::binary);
        const std::string image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_GT(image.size(), 0x40u) << c.program;
        EXPECT_EQ(image.substr(0, 2), "MZ") << c.program;
        EXPECT_EQ(Subsystem(image), c.subsystem) << c.program;
    }
}

} // namespace
