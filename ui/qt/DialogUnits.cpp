#include "DialogUnits.h"

#include <QFontMetrics>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetLength = 52;

// value * numerator / denominator, rounded to the nearest integer.
int Scale(int value, int numerator, int denominator)
{
    return (value * numerator * 2 + denominator) / (denominator * 2);
}

int AverageCharWidth(const QFontMetrics& metrics)
{
    return Scale(metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)), 1, kAlphabetLength);
}

} // namespace

CDialogUnits::CDialogUnits(const QFontMetrics& metrics)
    : CDialogUnits(AverageCharWidth(metrics), metrics.height())
{
}

CDialogUnits::CDialogUnits(int averageCharWidth, int charHeight)
    : m_nBaseX(averageCharWidth)
    , m_nBaseY(charHeight)
{
}

QRect CDialogUnits::ToPixels(int x, int y, int width, int height) const
{
    return {Scale(x, m_nBaseX, 4), Scale(y, m_nBaseY, 8), Scale(width, m_nBaseX, 4), Scale(height, m_nBaseY, 8)};
}
