#pragma once

#include <string_view>

// Faces the dialogs use beside their templates' own (UTF-8).

// The fixed-width Korean face of a text whose lines are set in columns.
inline constexpr std::string_view kFixedWidthFace = "굴림체";

// What Windows falls back on, best first, when the template's face or the
// fixed-width face is missing. Under a Korean locale faces may be listed by
// their Korean names only, so each comes by both names. NanumGothic draws
// no more than the tip of the arrows in the buttons' texts, so
// NanumBarunGothic comes first. The last face is there on every system.
inline constexpr std::string_view kWin32DialogFaceStandIns[] = {"Gulim", "Malgun Gothic", "맑은 고딕",
    "NanumBarunGothic", "나눔바른고딕", "NanumGothic", "나눔고딕", "MS Shell Dlg"};
inline constexpr std::string_view kWin32FixedWidthStandIns[]
    = {"GulimChe", "NanumGothicCoding", "나눔고딕코딩", "Courier New"};
