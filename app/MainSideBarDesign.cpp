#include "app/MainSideBarDesign.h"

#include "navbar/nbSideBar.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/FormOwner.h"
#include "platform/ui/ImageList.h"

#include <QBuffer>

namespace mainsidebar {

namespace {
// The program's "新宋体" at 12 pixels (9 points).
platform::Font SongFont(unsigned style = 0, TColor color = platform::clWindowText)
{
    return platform::Font(QStringLiteral("新宋体"), 9, color, style);
}
} // namespace

QList<QByteArray> HandlerNames()
{
    QList<QByteArray> names{"SideBarHeaders0Change"};
    for (int i = 0; i < 7; ++i)
        names.append(QByteArray("SideBarHeaders0Buttons") + QByteArray::number(i) + "Click");
    return names;
}

void Configure(TnbSideBar &bar, const platform::FormOwner &owner)
{
    const QList<QByteArray> handlers = HandlerNames();
    auto *images = qobject_cast<platform::ImageList *>(owner.FindComponent("Img32"));

    bar.BeginUpdate();
    bar.Loading();
    // 120 wide beside the content panels, as tall as the panel that holds it.
    bar.resize(120, 490);
    bar.SetAlign(platform::alLeft);
    bar.SetBorderStyle(platform::bsNone);
    bar.SetBevelOuter(platform::bvLowered);
    for (int side = 1; side <= 4; ++side)
        bar.Border()->SetValue(side, 5);
    bar.SetOptions({boAcceptOLEDrop, boAutoScroll, boAutoChangeHeader, boFocusOnMouseEnter, boHeaderFrame,
                    boInternalDrop});
    bar.Settings()->SetButtonView(bvWindows2000);
    bar.Settings()->SetButtonStyle(bsLarge);
    bar.Settings()->SetLargeWidth(60);
    bar.Settings()->SetLargeHeight(60);
    // A 60-pixel button holds its 32-pixel image and a 12-pixel label only with the
    // image close to the top and the label close to the image.
    bar.Settings()->SetGlyphTop(4);
    bar.Settings()->SetPicLabDistance(2);
    // Captions and labels in the program's font; hot ones in navy.
    bar.Settings()->SetFont(SongFont(platform::Font::Bold));
    bar.Settings()->SetHighlightFont(SongFont(platform::Font::Bold, platform::clNavy));
    bar.Settings()->SetButtonFont(SongFont());
    bar.Settings()->SetButtonHighlightFont(SongFont(0, platform::clNavy));

    bar.DeleteAllHeaders();
    TnbHeader *header = bar.AddHeader();
    header->SetCaption(QStringLiteral("Kestrune"));
    header->SetOpened(true);
    header->SetOptions({hoActivateOnSelect, hoButtonDown});
    header->SetFirstButtonTop(10);
    header->Images()->SetNormal(images);
    header->OnChange = owner.Method<TNotifyEvent>(handlers[0]);

    const char *const captions[] = {"Velmora",  "免费加入", "诚招代理", "广告征订",
                                    "商务助手", "手机查询", "地区查询"};
    for (int i = 0; i < 7; ++i) {
        TnbButton *button = header->AddButton();
        button->SetCaption(QString::fromUtf8(captions[i]));
        button->SetImageIndex(i);
        button->SetButtonStyle(bsLarge);
        button->SetWidth(100);
        button->SetHeight(60);
        button->SetCursor(platform::crHandPoint);
        button->SetOptions({boAutoWidthLabel, boUnderlineFont});
        button->OnClick = owner.Method<TNotifyEvent>(handlers[i + 1]);
    }
    bar.ReadActiveIndex(0);
    bar.Loaded();
    bar.EndUpdate();
}

QByteArray StoredForm()
{
    // A stand-in for the main window: its image list and its handlers, by name.
    QObject form;
    auto *images = new platform::ImageList(32, 32, &form);
    images->setObjectName(QStringLiteral("Img32"));
    platform::FormOwner owner(&form);
    for (const QByteArray &name : HandlerNames())
        owner.AddMethod<void(platform::Persistent *)>(name, [](platform::Persistent *) {});

    TnbSideBar bar;
    Configure(bar, owner);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    bar.SaveToStream(buffer);
    return data;
}

} // namespace mainsidebar
