#pragma once

#include "codec/ArrayCodec.h"

#include <string_view>

// One conversion, as the command line offers it; the main dialog offers
// the three it has buttons for.
struct CConversionCommand
{
    char option;                 // the command-line option's letter
    bool optionTakesByteUnit;    // a digit 1 to 9 may follow the letter
    // Any other byte after the letter converts as the letter alone: scripts
    // written for the first releases pass such options.
    bool optionToleratesSecondByte;
    int bareByteUnit = 1;        // the byte unit of the letter alone; 0: as wide as the declared type
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

// Command line only: the dialogs have no button for it.
inline constexpr CConversionCommand kCSourceToBin{.option = 'c',
    .optionTakesByteUnit = true,
    .optionToleratesSecondByte = false,
    .bareByteUnit = 0,
    .optionSummary = "C array to binary file as compiled",
    .destSuffix = ".bin",
    .presetScannedByteUnit = false,
    .lineUnitEnabled = false,
    .showDerivedDest = false,
    .convert = &CArrayCodec::CSourceToBin};

inline constexpr const CConversionCommand* kConversionCommands[]
    = {&kBinToText, &kTextToBin, &kInvertText, &kCSourceToBin};
