#include "DialogFont.h"

#include "QtText.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

// Faces that show Hangul well at small sizes, best match first.
constexpr std::string_view kSubstitutes[] = {"Gulim", "NanumGothic", "Noto Sans CJK KR", "UnDotum"};

} // namespace

QFont DialogFont(std::string_view face, int pointSize)
{
    const QStringList installed = QFontDatabase::families();
    QFont font;
    font.setPointSize(pointSize);
    if (installed.contains(ToQString(face))) {
        font.setFamily(ToQString(face));
        return font;
    }
    for (const std::string_view substitute : kSubstitutes) {
        if (installed.contains(ToQString(substitute))) {
            font.setFamily(ToQString(substitute));
            break;
        }
    }
    return font;
}
