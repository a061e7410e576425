#pragma once

#include <iterator>
#include <random>
#include <string>

// Long runs of one-byte items, as the writers make them, broken by every
// other shape a number can take, so that blocks meet each of them anywhere.
inline std::string RandomItemText(std::mt19937& random, std::size_t items)
{
    static const char* const kOddPieces[] = {"0x4", "0x123", "0x", "0X", "255", "0", "007", "0x10x12", "0x1G",
        "0xAg", "x", "\x80", "\r\n", " ", "\x1A", "0xab", "12345678901"};
    std::string text;
    for (std::size_t k = 0; k < items; ++k) {
        if (random() % 40 == 0) {
            text += kOddPieces[random() % std::size(kOddPieces)];
        } else {
            text += random() % 2 ? "0x" : "0X";
            text += "0123456789ABCDEFabcdef"[random() % 22];
            text += "0123456789ABCDEFabcdef"[random() % 22];
        }
        text += ",  ,;x\r"[random() % 8];
        if (random() % 10 == 0)
            text += "\r\n";
    }
    return text;
}
