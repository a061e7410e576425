#pragma once

#include <QRect>

class QFontMetrics;

// Converts dialog units to pixels for one font: x and width count quarters
// of the font's average character width, y and height eighths of its height.
class CDialogUnits
{
public:
    explicit CDialogUnits(const QFontMetrics& metrics);
    CDialogUnits(int averageCharWidth, int charHeight);

    QRect ToPixels(int x, int y, int width, int height) const;

private:
    int m_nBaseX;
    int m_nBaseY;
};
