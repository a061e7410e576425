#pragma once

#include <span>
#include <string_view>

// A dialog described as data: its controls in template order (which is also
// the tab order), each placed in dialog units of the dialog's font, x and
// width in quarters of the average character width, y and height in eighths
// of the character height.

enum class EControlKind { Edit, PushButton, GroupBox, StaticText, ProgressBar };

// Control styles the dialog builder honours.
enum EControlStyle : unsigned {
    kNoStyle = 0,
    kTabStop = 1u << 0,        // reachable with Tab
    kDefaultButton = 1u << 1,  // Enter activates it
    kFlat = 1u << 2,           // push button without a raised border
    kAcceptFiles = 1u << 3,    // an edit box that takes a dropped file's path
    kIcon = 1u << 4,           // a static control showing the program's icon IDR_MAINFRAME
    kMultiLine = 1u << 5,      // an edit box of several lines, wrapped at its width
    kReadOnly = 1u << 6,       // an edit box the user cannot change
    kVScroll = 1u << 7,        // with a vertical scroll bar
    kPathEllipsis = 1u << 8,   // a static text on one line that shortens a long path in its middle
};

struct CControlTemplate
{
    int id;
    EControlKind kind;
    std::string_view text;  // UTF-8
    unsigned style;
    int x, y, width, height;
};

struct CDialogTemplate
{
    std::string_view caption;
    int width, height;
    std::string_view fontFace;
    int fontPointSize;
    std::span<const CControlTemplate> controls;
};
