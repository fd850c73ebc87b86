#include "ui/DialogUnits.h"

#include <QFontMetrics>

namespace {

// The average width of a font is taken over the Latin letters, which gives the
// same proportions as the dialog metrics the layouts were drawn for.
int AverageLetterWidth(const QFontMetrics& metrics)
{
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (width / 26 + 1) / 2;
}

} // namespace

int MulDivRounded(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    m_avgWidth = AverageLetterWidth(metrics);
    m_height = metrics.height();
}

int DialogUnits::ToPixelsX(int x) const
{
    return MulDivRounded(x, m_avgWidth, 4);
}

int DialogUnits::ToPixelsY(int y) const
{
    return MulDivRounded(y, m_height, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const
{
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}
