#include "platform/ui/Colors.h"
#include "platform/ui/Font.h"
#include "platform/ui/Pen.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Colors, LowBytesAreRedGreenBlue)
{
    EXPECT_EQ(RGB(1, 2, 3), 0x00030201u);
    EXPECT_EQ(ToQColor(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(FromQColor(QColor(10, 20, 30)), RGB(10, 20, 30));
    // A value with stray high bits that is no system colour keeps its low bytes.
    EXPECT_EQ(ColorToRGB(0x1F00FF00), clLime);
}

TEST(Colors, SystemColoursComeFromTheClassicPalette)
{
    EXPECT_EQ(clBtnFace, 0x8000000Fu);
    EXPECT_EQ(clBtnShadow, 0x80000010u);
    EXPECT_EQ(clBtnHighlight, 0x80000014u);
    EXPECT_TRUE(IsSystemColor(clBtnFace));
    EXPECT_FALSE(IsSystemColor(clGray));
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(128, 128, 128));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), RGB(255, 255, 255));
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ToQColor(clBtnFace), QColor(212, 208, 200));
    EXPECT_EQ(SystemColor(-1), clBlack);
    EXPECT_EQ(SystemColor(SystemColorCount), clBlack);
}

TEST(ValueObjects, FontDefaultsAndEquality)
{
    Font f;
    EXPECT_EQ(f.name(), "MS Sans Serif");
    EXPECT_EQ(f.size(), 8);
    EXPECT_EQ(f.height(), -11);
    EXPECT_EQ(f.color(), clWindowText);
    EXPECT_EQ(f.style(), 0u);
    Font g = f;
    EXPECT_EQ(f, g);
    g.setStyle(Font::Bold | Font::Underline);
    EXPECT_NE(f, g);
    const QFont q = g.toQFont();
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.italic());
    EXPECT_EQ(q.pixelSize(), 11);
    g.setHeight(-16);
    EXPECT_EQ(g.size(), 12);
}

TEST(ValueObjects, PenDefaultsAndEquality)
{
    Pen p;
    EXPECT_EQ(p.color(), clBlack);
    EXPECT_EQ(p.width(), 1);
    EXPECT_EQ(p.style(), Pen::Style::Solid);
    EXPECT_EQ(p.mode(), Pen::Mode::Copy);
    EXPECT_EQ(p, Pen(clBlack, 1));
    EXPECT_NE(p, Pen(clBlack, 1, Pen::Style::Solid, Pen::Mode::Xor));
}
