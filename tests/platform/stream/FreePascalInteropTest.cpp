#include "StreamSamples.h"

#include "support/FreePascalForms.h"

#include <gtest/gtest.h>

using namespace platform::stream;
using samples::Bytes;
using samples::Parse;

// Free Pascal's reader prints our streams as the text form, and we read what its writer
// makes of a text form. (Its reader knows no Single, Currency or Date values and reads
// a collection item's order differently, so those stay out of this exchange.)
TEST(FreePascalInterop, FreePascalReadsOurStreams)
{
    FormComponent root;
    root.className = "TnbSideBar";
    root.name = "NBCOMPONENTSAVEDATA";
    root.properties = {
        {"Left", FormValue::Integer(0)},
        {"Big", FormValue::Integer(-100000)},
        {"Huge", FormValue::Integer(12345678901LL)},
        {"Ratio", FormValue::Float(1.5)},
        {"Caption", FormValue::Text(QStringLiteral("Kestrune"))},
        {"Long", FormValue::SingleByteText("abc", ValueType::LString)},
        {"Wide", FormValue::Text(QStringLiteral("免费加入"))},
        {"Utf8", FormValue::Text(QStringLiteral("a诚b"), ValueType::Utf8String)},
        {"Flat", FormValue::Boolean(true)},
        {"Style", FormValue::Ident("bsLarge")},
        {"Options", FormValue::Set({"boAcceptOLEDrop", "boAutoScroll"})},
        {"None", FormValue::Set({})},
        {"Bitmap.Data", FormValue::Binary(QByteArray("\x01\x02\xFF", 3))},
        {"List", FormValue::List({FormValue::Integer(1), FormValue::Text(QStringLiteral("x"))})},
        {"Menu", FormValue::Nil()},
        {"Headers",
         FormValue::Collection({samples::Item({{"Caption", FormValue::Text(QStringLiteral("手机"))}})})},
    };
    FormComponent child;
    child.flags = FormComponent::Inline | FormComponent::ChildPosition;
    child.position = FormValue::Integer(5);
    child.className = "TButton";
    child.name = "Child";
    root.children = {child};

    const QString expected = QStringLiteral("object NBCOMPONENTSAVEDATA: TnbSideBar\n"
                                            "  Left = 0\n"
                                            "  Big = -100000\n"
                                            "  Huge = 12345678901\n"
                                            "  Ratio =  1.50000000000000000000E+0000\n"
                                            "  Caption = 'Kestrune'\n"
                                            "  Long = 'abc'\n"
                                            "  Wide = #20813#36153#21152#20837\n"
                                            "  Utf8 = 'a'#35802'b'\n"
                                            "  Flat = True\n"
                                            "  Style = bsLarge\n"
                                            "  Options = [boAcceptOLEDrop, boAutoScroll]\n"
                                            "  None = []\n"
                                            "  Bitmap.Data = {\n"
                                            "    0102FF\n"
                                            "  }\n"
                                            "  List = (\n"
                                            "    1\n"
                                            "    'x'\n"
                                            "  )\n"
                                            "  Menu = nil\n"
                                            "  Headers = <  \n"
                                            "    item\n"
                                            "      Caption = #25163#26426\n"
                                            "    end>\n"
                                            "  inline Child: TButton[5]\n"
                                            "  end\n"
                                            "end\n");
    EXPECT_EQ(FreePascalForms::Instance().ToText(Bytes(root)).toStdString(), expected.toStdString());
}

TEST(FreePascalInterop, WeReadFreePascalStreams)
{
    const QByteArray text = "object SideBar: TnbSideBar\n"
                            "  Width = 120\n"
                            "  Big = 70000\n"
                            "  Negative = -5\n"
                            "  Ratio = 2.25\n"
                            "  Caption = 'Kestrune'\n"
                            "  Chinese = #20813#36153#21152#20837\n"
                            "  Options = [boAcceptOLEDrop, boInternalDrop]\n"
                            "  ViewStyle = vsOutlook\n"
                            "  Flat = False\n"
                            "  Glyph.Data = {0A0B}\n"
                            "  Headers = <\n"
                            "    item\n"
                            "      Caption = 'A'\n"
                            "      Buttons = <\n"
                            "        item\n"
                            "          Caption = #22320#21306#26597#35810\n"
                            "        end>\n"
                            "    end\n"
                            "    item\n"
                            "    end>\n"
                            "  object Timer1: TTimer\n"
                            "    Interval = 1000\n"
                            "  end\n"
                            "end\n";
    const QByteArray binary = FreePascalForms::Instance().ToBinary(text);
    ASSERT_FALSE(binary.isEmpty());
    const FormComponent root = Parse(binary);

    EXPECT_EQ(root.className, "TnbSideBar");
    EXPECT_EQ(root.name, "SideBar");
    EXPECT_EQ(root.Find("Width")->ToInteger(), 120);
    EXPECT_EQ(root.Find("Big")->ToInteger(), 70000);
    EXPECT_EQ(root.Find("Negative")->ToInteger(), -5);
    EXPECT_EQ(root.Find("Ratio")->ToFloat(), 2.25);
    EXPECT_EQ(root.Find("Caption")->ToText(), QStringLiteral("Kestrune"));
    EXPECT_EQ(root.Find("Chinese")->ToText(), QStringLiteral("免费加入"));
    EXPECT_EQ(root.Find("Options")->Members(), (QList<QByteArray>{"boAcceptOLEDrop", "boInternalDrop"}));
    EXPECT_EQ(root.Find("ViewStyle")->Bytes(), "vsOutlook");
    EXPECT_EQ(*root.Find("Flat"), FormValue::Boolean(false));
    EXPECT_EQ(root.Find("Glyph.Data")->Bytes(), QByteArray("\x0A\x0B"));
    const auto &headers = root.Find("Headers")->CollectionItems();
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0].properties[1].value.CollectionItems()[0].properties[0].value.ToText(),
              QStringLiteral("地区查询"));
    EXPECT_TRUE(headers[1].properties.empty());
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].name, "Timer1");
    EXPECT_EQ(root.children[0].Find("Interval")->ToInteger(), 1000);

    // What we read we write back byte for byte.
    EXPECT_EQ(Bytes(root), binary);
}
