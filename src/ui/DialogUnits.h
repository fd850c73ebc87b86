#pragma once
// Dialog units: a quarter of the dialog font's average character width
// horizontally, an eighth of its height vertically.
#include <QFont>
#include <QRect>

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int averageWidth, int height) : m_avgWidth(averageWidth), m_height(height) {}

    int AverageWidth() const { return m_avgWidth; }
    int Height() const { return m_height; }

    int ToPixelsX(int x) const;
    int ToPixelsY(int y) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    int m_avgWidth;
    int m_height;
};

// a * b / c rounded to the nearest integer (halves away from zero).
int MulDivRounded(int a, int b, int c);
