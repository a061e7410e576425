#pragma once

#include "ArrayCodec.h"

#include <string_view>

// One of the three conversions, as the command line and the main dialog both
// offer it.
struct CConversionCommand
{
    char option;                 // the command-line option's letter
    bool optionTakesByteUnit;    // a digit 1 to 9 may follow the letter
    std::string_view destSuffix; // appended to the source path when no destination is named
    bool presetScannedByteUnit;  // the unit dialog proposes the width of the source's widest number
    bool lineUnitEnabled;        // the line unit can be chosen in the unit dialog
    bool showDerivedDest;        // a derived destination is shown in the main dialog, as if typed
    bool (CArrayCodec::*convert)(int byteUnit, int lineUnit);
};

inline constexpr CConversionCommand kBinToText{'h', true, ".txt", false, true, false, &CArrayCodec::BinToText};
inline constexpr CConversionCommand kTextToBin{'b', false, ".bin", true, false, true, &CArrayCodec::TextToBin};
inline constexpr CConversionCommand kInvertText{'i', false, ".txt", true, true, false, &CArrayCodec::InvertText};

inline constexpr const CConversionCommand* kConversionCommands[] = {&kBinToText, &kTextToBin, &kInvertText};
