// Dialog units: a quarter of the average character width, an eighth of the height.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

#include "ui/DialogUnits.h"

struct MulDivCase {
    int a, b, c, expected;
};

class MulDiv : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDiv, RoundsToNearest)
{
    const auto& p = GetParam();
    EXPECT_EQ(MulDivRounded(p.a, p.b, p.c), p.expected);
}

// "187x6div4", "minus3x6div4": the case's own numbers, as its name and as the
// printed value that ctest shows beside it.
std::string MulDivText(const MulDivCase& p)
{
    auto number = [](int value) { return value < 0 ? "minus" + std::to_string(-value) : std::to_string(value); };
    return number(p.a) + "x" + number(p.b) + "div" + number(p.c);
}

void PrintTo(const MulDivCase& p, std::ostream* out)
{
    *out << MulDivText(p);
}

std::string MulDivName(const ::testing::TestParamInfo<MulDivCase>& info)
{
    return MulDivText(info.param);
}

INSTANTIATE_TEST_SUITE_P(Cases, MulDiv,
                         ::testing::Values(MulDivCase{187, 6, 4, 281},   // 280.5 rounds up
                                           MulDivCase{203, 13, 8, 330},  // 329.875
                                           MulDivCase{14, 13, 8, 23},    // 22.75
                                           MulDivCase{0, 6, 4, 0},
                                           MulDivCase{-3, 6, 4, -5},     // -4.5 rounds away from zero
                                           MulDivCase{1, 6, 4, 2}),
                         MulDivName);

TEST(DialogUnits, ConvertsRectanglesWithTheBaseUnits)
{
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixels(63, 3, 105, 14), QRect(95, 5, 158, 23));
    EXPECT_EQ(units.ToPixelsX(4), 6);
    EXPECT_EQ(units.ToPixelsY(8), 13);
}

TEST(DialogUnits, BaseUnitsComeFromTheFont)
{
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    const DialogUnits units(font);
    const QFontMetrics metrics(font);
    EXPECT_EQ(units.Height(), metrics.height());
    const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(units.AverageWidth(), (letters / 26 + 1) / 2);
    EXPECT_GT(units.AverageWidth(), 2);

    QFont larger = font;
    larger.setPointSize(16);
    EXPECT_GT(DialogUnits(larger).AverageWidth(), units.AverageWidth());
}
