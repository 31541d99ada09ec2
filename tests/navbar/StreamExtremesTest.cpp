// Integers a stream sets, at the ends of what the stored form can hold: whatever the bar
// accepts, it lays out and paints without overflowing (the sanitizer build checks the
// arithmetic); what it refuses leaves it as it was.

#include "BarStreams.h"

#include "navbar/nbSideBar.h"
#include "platform/stream/FormReader.h"
#include "platform/stream/StreamError.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <limits>
#include <utility>

using namespace platform::stream;

namespace {

void Put(PropertyList &properties, const QByteArray &name, const FormValue &value)
{
    for (FormProperty &p : properties)
        if (p.name == name) {
            p.value = value;
            return;
        }
    properties.push_back({name, value});
}

// Sets a property of the first header (level 1) or of its first button (level 2).
void PutInItem(PropertyList &properties, int level, const QByteArray &name, const FormValue &value)
{
    if (level == 0) {
        Put(properties, name, value);
        return;
    }
    const QByteArray collection = level == 2 ? "Buttons" : "Headers";
    for (FormProperty &p : properties)
        if (p.name == "Headers" || p.name == collection) {
            std::vector<CollectionItem> items = p.value.CollectionItems();
            PutInItem(items.front().properties, p.name == collection ? 0 : level, name, value);
            p.value = FormValue::Collection(std::move(items));
            return;
        }
    FAIL() << "no collection for " << name.constData();
}

// A bar with two headers, buttons with images and captions, the first header active.
FormComponent BaseRecord()
{
    TnbSideBar bar;
    bar.resize(140, 320);
    for (int h = 0; h < 2; ++h) {
        TnbHeader *header = bar.AddHeader();
        header->SetCaption(QStringLiteral("手机查询"));
        for (int b = 0; b < 3; ++b) {
            TnbButton *button = header->AddButton();
            button->SetCaption(QStringLiteral("地区查询"));
            button->SetImageIndex(b);
        }
    }
    bar.SetActiveHeader(bar.Header(0));
    bar.CloseButton()->SetVisible(true);
    QByteArray data = Saved(bar);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return ReadFormStream(buffer);
}

} // namespace

TEST(StreamExtremes, EveryIntegerAtItsExtremesLaysOutAndPaints)
{
    const struct
    {
        int level; // 0 the bar, 1 a header, 2 a button
        const char *name;
    } integers[] = {
        {0, "Left"},
        {0, "Top"},
        {0, "Width"},
        {0, "Height"},
        {0, "AlertInterval"},
        {0, "AutoButtonScrollDelay"},
        {0, "AutoScrollDelay"},
        {0, "AutoChangeDelay"},
        {0, "BevelWidth"},
        {0, "BorderWidth"},
        {0, "HeaderScrollAcceleration"},
        {0, "ScrollChange"},
        {0, "HeaderScrollValue"},
        {0, "ScrollBoxSize"},
        {0, "Background.AlphaBlend"},
        {0, "Border.Top"},
        {0, "Border.Bottom"},
        {0, "Border.Left"},
        {0, "Border.Right"},
        {0, "Border.Separator"},
        {0, "Settings.Distance"},
        {0, "Settings.ExplorerAddOn"},
        {0, "Settings.GlyphTop"},
        {0, "Settings.Height"},
        {0, "Settings.LargeWidth"},
        {0, "Settings.LargeHeight"},
        {0, "Settings.PicLabDistance"},
        {0, "Settings.SmallHeight"},
        {0, "Settings.ButtonUp.AlphaBlend"},
        {0, "CloseButton.Height"},
        {0, "CloseButton.ImageIndex"},
        {0, "CloseButton.Margin"},
        {0, "ActiveIndex"},
        {1, "FirstButtonTop"},
        {1, "ImageIndex"},
        {1, "Margin"},
        {1, "Tag"},
        {1, "SelectedIndex"},
        {1, "Spacing"},
        {1, "Settings.Height"},
        {1, "Settings.Distance"},
        {1, "Background.AlphaBlend"},
        {2, "ButtonIndex"},
        {2, "HelpContext"},
        {2, "Height"},
        {2, "ImageIndex"},
        {2, "Margin"},
        {2, "Tag"},
        {2, "Width"},
    };
    const qint64 values[] = {
        std::numeric_limits<qint32>::min(), -32768, 32767, 65535, std::numeric_limits<qint32>::max(),
        std::numeric_limits<quint32>::max()};
    const FormComponent base = BaseRecord();
    TnbSideBar bar;
    int accepted = 0;
    for (const auto &integer : integers)
        for (qint64 value : values)
            for (const auto &[view, style] :
                 {std::pair("vsOutlook", "bsLarge"), std::pair("vsExplorerBar", "bsSmall")}) {
                FormComponent record = base;
                Put(record.properties, "ViewStyle", FormValue::Ident(view));
                Put(record.properties, "Settings.ButtonStyle", FormValue::Ident(style));
                PutInItem(record.properties, integer.level, integer.name, FormValue::Integer(value));
                const QByteArray stream = Written(record);
                const QByteArray before = Saved(bar);
                try {
                    Load(bar, stream);
                    ++accepted;
                } catch (const StreamError &) {
                    EXPECT_EQ(Saved(bar), before) << integer.name << " = " << value;
                }
                EXPECT_FALSE(bar.PaintImage().isNull()) << integer.name << " = " << value;
            }
    // Most values are within range of their property.
    EXPECT_GT(accepted, 0);
}
