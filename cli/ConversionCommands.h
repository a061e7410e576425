#pragma once

#include "ArrayCodec.h"

#include <string_view>

// One of the three conversions, as the command line and the main dialog both
// offer it.
struct CConversionCommand
{
    char option;                 // the command-line option's letter
    bool optionTakesByteUnit;    // a digit 1 to 9 may follow the letter
    // Any other byte after the letter converts as the letter alone: scripts
    // written for the first releases pass such options.
    bool optionToleratesSecondByte;
    std::string_view optionSummary;  // what the option does, as the full help lists it
    std::string_view destSuffix; // appended to the source path when no destination is named
    bool presetScannedByteUnit;  // the unit dialog proposes the width of the source's widest number
    bool lineUnitEnabled;        // the line unit can be chosen in the unit dialog
    bool showDerivedDest;        // a derived destination is shown in the main dialog, as if typed
    CConversionResult (CArrayCodec::*convert)(int byteUnit, int lineUnit);
};

inline constexpr CConversionCommand kBinToText{.option = 'h',
    .optionTakesByteUnit = true,
    .optionToleratesSecondByte = true,
    .optionSummary = "binary file to text array",
    .destSuffix = ".txt",
    .presetScannedByteUnit = false,
    .lineUnitEnabled = true,
    .showDerivedDest = false,
    .convert = &CArrayCodec::BinToText};
inline constexpr CConversionCommand kTextToBin{.option = 'b',
    .optionTakesByteUnit = true,
    .optionToleratesSecondByte = false,
    .optionSummary = "text array to binary file",
    .destSuffix = ".bin",
    .presetScannedByteUnit = true,
    .lineUnitEnabled = false,
    .showDerivedDest = true,
    .convert = &CArrayCodec::TextToBin};
inline constexpr CConversionCommand kInvertText{.option = 'i',
    .optionTakesByteUnit = true,
    .optionToleratesSecondByte = false,
    .optionSummary = "invert a text array",
    .destSuffix = ".txt",
    .presetScannedByteUnit = true,
    .lineUnitEnabled = true,
    .showDerivedDest = false,
    .convert = &CArrayCodec::InvertText};

inline constexpr const CConversionCommand* kConversionCommands[] = {&kBinToText, &kTextToBin, &kInvertText};
