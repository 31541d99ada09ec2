#include "BarFixture.h"
#include "BarStreams.h"

#include "navbar/nbSideBar.h"
#include "platform/stream/FormReader.h"
#include "platform/stream/StreamError.h"
#include "platform/ui/FormOwner.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/PopupMenu.h"
#include "support/FreePascalForms.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QDir>
#include <gtest/gtest.h>

using namespace platform::stream;
using platform::FormOwner;

namespace {

const FormValue *Find(const PropertyList &properties, const QByteArray &name)
{
    for (const FormProperty &p : properties)
        if (p.name == name)
            return &p.value;
    return nullptr;
}

// A bar with something in every kind of property, including values that equal a stored
// default the constructor does not give.
void Configure(TnbSideBar &bar)
{
    bar.setObjectName(QStringLiteral("SideBar"));
    bar.resize(150, 320);
    bar.SetAlertColor(0x123456);
    bar.SetAlertInterval(750);
    bar.SetBevelInner(platform::bvSpace);
    bar.SetBevelOuter(platform::bvRaised);
    bar.SetBorderStyle(platform::bsSingle);
    bar.Border()->SetLeft(0);
    bar.Border()->SetSeparator(9);
    bar.SetFlat(false);
    bar.SetScrollView(ssExpress);
    bar.SetOptions({boAcceptOLEDrop, boExplorerBorder, hoShowFocusRect});
    bar.SetAlign(platform::alRight);
    bar.Background()->SetStyle(btGradient);
    bar.Background()->Gradient()->SetBeginColor(0);
    bar.Background()->Gradient()->SetDrawStyle(gtEllipse);
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    bar.Background()->SetBitmap(picture);
    bar.Settings()->SetButtonView(bvWindows2000);
    bar.Settings()->SetFont(
        platform::Font(QStringLiteral("新宋体"), 9, platform::clRed, platform::Font::Bold));
    bar.Settings()->SetHeaderPen(platform::Pen(platform::clWhite, 2, platform::Pen::Style::Dot));
    bar.Settings()->StatusButton()->SetBackground(platform::clBtnFace);
    bar.Settings()->XPColors()->SetUseShadow(false);
    bar.CloseButton()->SetCaption(QString());
    bar.CloseButton()->SetVisible(true);

    TnbHeader *h = bar.AddHeader();
    h->SetCaption(QStringLiteral("Kestrune"));
    h->SetOptions({hoActivateOnSelect, hoButtonDown});
    h->SetAllowSelected(true);
    h->Settings()->SetHeight(30);
    const char *captions[] = {"免费加入", "诚招代理", "广告征订"};
    for (const char *caption : captions) {
        TnbButton *b = h->AddButton();
        b->SetCaption(QString::fromUtf8(caption));
        b->SetImageIndex(h->ButtonCount() - 1);
        b->SetCursor(-21);
    }
    h->Button(0)->SetWidth(80);
    h->Button(1)->SetParentBiDiMode(true);
    h->Button(2)->SetBiDiMode(platform::bdRightToLeft);
    h->Button(2)->SetButtonKind(bkCheckBox);
    h->Button(2)->SetCheckState(platform::cbGrayed);
    h->Button(2)->SetHint(QStringLiteral("提示"));
    h->SetSelectedIndex(1);
    TnbHeader *second = bar.AddHeader();
    second->SetName(QStringLiteral("Second"));
    second->SetCaption(QStringLiteral("手机查询"));
    second->SetHeaderState(hsClosed);
    bar.SetActiveHeader(second);
}

} // namespace

TEST(SideBarStream, SavedUnderTheFixedNameAndLoadedBack)
{
    TnbSideBar bar;
    Configure(bar);
    const QByteArray saved = Saved(bar);
    EXPECT_EQ(bar.objectName(), QStringLiteral("SideBar"));
    const FormComponent tree = Tree(bar);
    EXPECT_EQ(tree.className, "TnbSideBar");
    EXPECT_EQ(tree.name, "NBCOMPONENTSAVEDATA");

    TnbSideBar other;
    other.setObjectName(QStringLiteral("Other"));
    int changes = 0;
    other.OnChange = [&](platform::Persistent *, int, int) { ++changes; };
    Load(other, saved);
    EXPECT_EQ(other.objectName(), QStringLiteral("Other"));
    // Everything stored comes back: the loaded bar stores exactly the same.
    EXPECT_EQ(Saved(other), saved);

    EXPECT_EQ(other.width(), 150);
    EXPECT_EQ(other.BevelOuter(), platform::bvRaised);
    EXPECT_EQ(other.BorderStyle(), platform::bsSingle);
    EXPECT_EQ(other.Border()->Left(), 0);
    EXPECT_EQ(other.Background()->Gradient()->BeginColor(), 0u);
    EXPECT_EQ(other.Background()->Bitmap().pixel(2, 1), QColor(10, 20, 30).rgb());
    EXPECT_EQ(other.Settings()->StatusButton()->Background(), platform::clBtnFace);
    EXPECT_EQ(other.Settings()->Font().name(), QStringLiteral("新宋体"));
    EXPECT_EQ(other.Settings()->HeaderPen(), bar.Settings()->HeaderPen());
    EXPECT_EQ(other.CloseButton()->Caption(), QString());
    EXPECT_EQ(other.Align(), platform::alRight);
    ASSERT_EQ(other.HeaderCount(), 2);
    TnbHeader *h = other.Header(0);
    EXPECT_EQ(h->Button(0)->Width(), 80);
    EXPECT_TRUE(h->Button(1)->ParentBiDiMode());
    EXPECT_EQ(h->Button(2)->BiDiMode(), platform::bdRightToLeft);
    EXPECT_EQ(h->Button(2)->CheckState(), platform::cbGrayed);
    EXPECT_EQ(h->Button(2)->Caption(), QStringLiteral("广告征订"));
    EXPECT_EQ(h->SelectedIndex(), 1);
    EXPECT_EQ(other.Header(1)->Name(), QStringLiteral("Second"));
    EXPECT_FALSE(other.Header(1)->Opened());
    // The active header comes back directly, without a switch.
    EXPECT_EQ(other.ActiveHeader(), other.Header(1));
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(other.ChangePending());
}

TEST(SideBarStream, WhatIsWritten)
{
    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    TnbButton *follows = h->AddButton();
    follows->SetParentBiDiMode(true);
    TnbButton *own = h->AddButton();
    bar.SetActiveHeader(h);
    FormComponent tree = Tree(bar);

    EXPECT_EQ(tree.Find("ActiveHeader"), nullptr);
    EXPECT_EQ(tree.Find("PreSet"), nullptr);
    // Properties without a stored default are written even at their initial values.
    EXPECT_EQ(*tree.Find("AlertInterval"), FormValue::Integer(500));
    EXPECT_EQ(*tree.Find("Settings.ButtonStyle"), FormValue::Ident("bsLarge"));
    EXPECT_EQ(*tree.Find("Settings.StatusButton.Background"), FormValue::Ident("clWhite"));
    EXPECT_EQ(*tree.Find("Version"), FormValue::Text(QStringLiteral("2.13")));
    EXPECT_EQ(*tree.Find("Options"),
              FormValue::Set({"boAcceptOLEDrop", "boAutoScroll", "boAutoChangeHeader", "boFocusOnMouseEnter",
                              "boHeaderFrame", "boInternalDrop"}));
    EXPECT_EQ(*tree.Find("AlertColor"), FormValue::Ident("clRed"));
    // Values at their stored defaults are not.
    EXPECT_EQ(*tree.Find("BevelOuter"), FormValue::Ident("bvLowered"));
    bar.SetBevelOuter(platform::bvRaised);
    bar.Border()->SetTop(0);
    tree = Tree(bar);
    EXPECT_EQ(tree.Find("BevelOuter"), nullptr);
    EXPECT_EQ(tree.Find("Border.Top"), nullptr);
    EXPECT_NE(tree.Find("Border.Left"), nullptr);

    // AlignInfo and ActiveIndex close the record.
    const auto n = tree.properties.size();
    EXPECT_EQ(tree.properties[n - 2].name, "AlignInfo");
    EXPECT_EQ(tree.properties[n - 2].value, FormValue::Text(QStringLiteral("alLeft")));
    EXPECT_EQ(tree.properties[n - 1].name, "ActiveIndex");
    EXPECT_EQ(tree.properties[n - 1].value, FormValue::Integer(0));

    const auto &buttons =
        Find(tree.Find("Headers")->CollectionItems()[0].properties, "Buttons")->CollectionItems();
    ASSERT_EQ(buttons.size(), 2u);
    // A button that follows its header stores neither its reading order nor the flag.
    EXPECT_EQ(Find(buttons[0].properties, "BiDiMode"), nullptr);
    EXPECT_EQ(Find(buttons[0].properties, "ParentBiDiMode"), nullptr);
    EXPECT_EQ(*Find(buttons[1].properties, "BiDiMode"), FormValue::Ident("bdLeftToRight"));
    EXPECT_EQ(*Find(buttons[1].properties, "ParentBiDiMode"), FormValue::Boolean(false));
    // Empty texts and missing references are left out; Width 100 is written.
    EXPECT_EQ(Find(buttons[1].properties, "Hint"), nullptr);
    EXPECT_EQ(Find(buttons[1].properties, "PopupMenu"), nullptr);
    EXPECT_EQ(*Find(buttons[1].properties, "Width"), FormValue::Integer(100));
    own->SetWidth(TnbButton::StoredWidth);
    EXPECT_EQ(Find(Find(Tree(bar).Find("Headers")->CollectionItems()[0].properties, "Buttons")
                       ->CollectionItems()[1]
                       .properties,
                   "Width"),
              nullptr);
}

TEST(SideBarStream, AlignInfoAndActiveIndexRules)
{
    TnbSideBar source;
    source.AddHeader();
    source.AddHeader();
    FormComponent tree = Tree(source);
    const auto set = [&tree](const QByteArray &name, const FormValue &value) {
        for (FormProperty &p : tree.properties)
            if (p.name == name)
                p.value = value;
    };

    struct Case
    {
        FormValue align;
        FormValue index;
        platform::Align wantAlign;
        int wantActive;
    } cases[] = {
        {FormValue::Text(QStringLiteral("alRight")), FormValue::Integer(0), platform::alRight, 0},
        {FormValue::Text(QStringLiteral("alClient")), FormValue::Integer(1), platform::alClient, 1},
        {FormValue::Text(QStringLiteral("alCustom")), FormValue::Integer(-1), platform::alTop, -1},
        {FormValue::Text(QStringLiteral("ALRIGHT")), FormValue::Integer(2), platform::alTop, -1},
        {FormValue::Text(QStringLiteral("Left")), FormValue::Integer(70000), platform::alTop, -1},
    };
    for (const Case &c : cases) {
        TnbSideBar bar;
        bar.SetAlign(platform::alTop);
        int events = 0;
        bar.OnChange = [&](platform::Persistent *, int, int) { ++events; };
        bar.OnCanChange = [&](platform::Persistent *, TnbHeader *, bool &) { ++events; };
        set("AlignInfo", c.align);
        set("ActiveIndex", c.index);
        Load(bar, Written(tree));
        EXPECT_EQ(bar.Align(), c.wantAlign) << c.align.ToText().toStdString();
        EXPECT_EQ(bar.ActiveIndex(), c.wantActive) << c.index.ToInteger();
        EXPECT_EQ(events, 0);
    }

    // A loaded bar reports the preset of a new bar: presets are not stored.
    TnbSideBar styled;
    styled.SetPreSet(psExplorerBar);
    TnbSideBar loaded;
    Load(loaded, Saved(styled));
    EXPECT_EQ(loaded.PreSet(), psOfficeXP);
    EXPECT_EQ(loaded.ViewStyle(), vsExplorerBar);
}

TEST(SideBarStream, EventsAndReferencesByName)
{
    QObject form;
    form.setObjectName(QStringLiteral("FmMainForm"));
    auto *images = new platform::ImageList(32, 32, &form);
    images->setObjectName(QStringLiteral("Img32"));
    auto *menu = new platform::PopupMenu(&form);
    menu->setObjectName(QStringLiteral("BarMenu"));
    QStringList calls;
    FormOwner owner(&form);
    owner.AddMethod<void(platform::Persistent *)>("SideBarHeaders0Buttons0Click",
                                                  [&](platform::Persistent *) { calls << "click"; });
    owner.AddMethod<void(platform::Persistent *)>("SideBarHeaders0Change",
                                                  [&](platform::Persistent *) { calls << "header"; });
    owner.AddMethod<void(platform::Persistent *, int, int)>(
        "SideBarChange",
        [&](platform::Persistent *, int from, int to) { calls << QString("%1>%2").arg(from).arg(to); });

    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    TnbButton *b = h->AddButton();
    b->OnClick = owner.Method<TNotifyEvent>("SideBarHeaders0Buttons0Click");
    h->AddButton()->OnClick = [](platform::Persistent *) {}; // not a form method: not storable
    h->OnChange = owner.Method<TNotifyEvent>("sidebarheaders0change");
    bar.OnChange = owner.Method<TnbEventHeaderChange>("SideBarChange");
    EXPECT_FALSE(owner.Method<TnbEventHeaderChange>("SideBarHeaders0Change")); // another signature
    h->Images()->SetNormal(images);
    bar.SetPopupMenu(menu);
    const FormComponent tree = Tree(bar);
    EXPECT_EQ(*tree.Find("OnChange"), FormValue::Ident("SideBarChange"));
    EXPECT_EQ(*tree.Find("PopupMenu"), FormValue::Ident("BarMenu"));
    const PropertyList &header = tree.Find("Headers")->CollectionItems()[0].properties;
    EXPECT_EQ(*Find(header, "OnChange"), FormValue::Ident("SideBarHeaders0Change"));
    EXPECT_EQ(*Find(header, "Images.Normal"), FormValue::Ident("Img32"));
    const auto &buttons = Find(header, "Buttons")->CollectionItems();
    EXPECT_EQ(*Find(buttons[0].properties, "OnClick"), FormValue::Ident("SideBarHeaders0Buttons0Click"));
    EXPECT_EQ(Find(buttons[1].properties, "OnClick"), nullptr);

    TnbSideBar loaded;
    loaded.SetOwnerForm(&owner);
    Load(loaded, Written(tree));
    EXPECT_EQ(loaded.Header(0)->Images()->NormalList(), images);
    EXPECT_EQ(loaded.PopupMenu(), menu);
    loaded.Header(0)->Button(0)->Click();
    loaded.SetActiveHeader(loaded.Header(0));
    EXPECT_EQ(calls, (QStringList{"click", "-1>0", "header"}));
    // Handlers made from one method are the same event.
    EXPECT_TRUE(loaded.Header(0)->Button(0)->OnClick == b->OnClick);

    // Without the form, or with a form that lacks the method, the stream cannot be read;
    // a component the form does not have reads as no reference.
    TnbSideBar orphan;
    EXPECT_THROW(Load(orphan, Written(tree)), StreamError);
    FormOwner poorer(&form);
    orphan.SetOwnerForm(&poorer);
    EXPECT_THROW(Load(orphan, Written(tree)), StreamError);
    EXPECT_FALSE(orphan.ChangePending());
    FormOwner elsewhere(nullptr);
    elsewhere.AddMethod<void(platform::Persistent *)>("SideBarHeaders0Buttons0Click",
                                                      [](platform::Persistent *) {});
    elsewhere.AddMethod<void(platform::Persistent *)>("SideBarHeaders0Change", [](platform::Persistent *) {});
    elsewhere.AddMethod<void(platform::Persistent *, int, int)>("SideBarChange",
                                                                [](platform::Persistent *, int, int) {});
    orphan.SetOwnerForm(&elsewhere);
    Load(orphan, Written(tree));
    EXPECT_EQ(orphan.Header(0)->Images()->NormalList(), nullptr);
}

TEST(SideBarStream, FailuresLeaveTheBarUsable)
{
    TnbSideBar bar;
    Configure(bar);
    const QByteArray before = Saved(bar);
    const QByteArray good = before;

    // Damaged: cut short, foreign signature, another class.
    for (qsizetype n : {qsizetype(0), qsizetype(3), good.size() / 2, good.size() - 1}) {
        EXPECT_THROW(Load(bar, good.left(n)), StreamError) << n;
        EXPECT_FALSE(bar.ChangePending());
        EXPECT_FALSE(bar.IsLoading());
        EXPECT_EQ(Saved(bar), before);
    }
    FormComponent foreign;
    foreign.className = "TButton";
    foreign.name = "NBCOMPONENTSAVEDATA";
    EXPECT_THROW(Load(bar, Written(foreign)), StreamError);
    EXPECT_EQ(Saved(bar), before);

    // Values the bar refuses: an unknown property, a value of the wrong kind or beyond
    // what the layout computes with, a name given twice; first in an otherwise empty
    // record (everything with a stored default would be reset before it) or last in a
    // full one. The bar stays exactly as it was, active header and close strip included,
    // the lock is released and the bar still paints.
    const TnbHeader *active = bar.ActiveHeader();
    ASSERT_NE(active, nullptr);
    for (FormProperty bad :
         {FormProperty{"NoSuchProperty", FormValue::Integer(1)}, FormProperty{"Flat", FormValue::Integer(1)},
          FormProperty{"BevelWidth", FormValue::Integer(1LL << 40)},
          FormProperty{"Settings.GlyphTop", FormValue::Integer(2147483647)},
          FormProperty{"Settings.ButtonView", FormValue::Ident("bvFancy")},
          FormProperty{"Headers", FormValue::Collection({{{}, {{"Name", FormValue::Text("A")}}},
                                                         {{}, {{"Name", FormValue::Text("a")}}}})}}) {
        FormComponent first;
        first.className = "TnbSideBar";
        first.properties = {bad};
        FormComponent last = Tree(bar);
        last.properties.push_back(bad);
        for (const FormComponent &tree : {first, last}) {
            EXPECT_THROW(Load(bar, Written(tree)), StreamError) << bad.name.toStdString();
            EXPECT_EQ(Saved(bar), before) << bad.name.toStdString();
            EXPECT_EQ(bar.ActiveHeader(), active);
            EXPECT_FALSE(bar.ChangePending());
            EXPECT_FALSE(bar.IsLoading());
            EXPECT_FALSE(bar.PaintImage().isNull());
        }
    }

    // Files.
    TempDir dir;
    const QString file = dir.file(QStringLiteral("bar.nbf"));
    bar.SaveToFile(file);
    TnbSideBar fromFile;
    fromFile.LoadFromFile(file);
    EXPECT_EQ(Saved(fromFile), Saved(bar));
    const QByteArray untouched = Saved(fromFile);
    EXPECT_THROW(fromFile.LoadFromFile(dir.file(QStringLiteral("missing.nbf"))), FileError);
    EXPECT_EQ(Saved(fromFile), untouched);
    EXPECT_FALSE(fromFile.ChangePending());
    EXPECT_THROW(bar.SaveToFile(dir.file(QStringLiteral("no/such/folder/bar.nbf"))), FileError);
}

// Free Pascal's reader and writer of the format stand for every other implementation.
TEST(SideBarStream, FreePascalReadsAndWritesOurBars)
{
    TnbSideBar bar;
    Configure(bar);
    bar.SetAlign(platform::alLeft);
    bar.SetActiveHeader(bar.Header(0));
    const QByteArray ours = Saved(bar);
    const QByteArray text = FreePascalForms::Instance().ToText(ours);
    const QString printed = QString::fromLatin1(text);
    EXPECT_TRUE(printed.startsWith(QStringLiteral("object NBCOMPONENTSAVEDATA: TnbSideBar\n")));
    EXPECT_TRUE(printed.contains(QStringLiteral("\n      Caption = 'Kestrune'\n")));
    EXPECT_TRUE(printed.contains(QStringLiteral("\n          Caption = #20813#36153#21152#20837\n")));
    EXPECT_TRUE(printed.contains(QStringLiteral("\n      Name = 'Second'\n")));
    EXPECT_TRUE(printed.contains(QStringLiteral("\n  Settings.HeaderPen.Style = psDot\n")));
    EXPECT_TRUE(printed.endsWith(QStringLiteral("\n  AlignInfo = 'alLeft'\n  ActiveIndex = 0\nend\n")));
    // Its writer gives back exactly our bytes, and our bar reads them.
    const QByteArray theirs = FreePascalForms::Instance().ToBinary(text);
    EXPECT_EQ(theirs, ours);
    TnbSideBar loaded;
    Load(loaded, theirs);
    EXPECT_EQ(Saved(loaded), ours);
}

TEST(SideBarStream, WeReadBarsFreePascalWrote)
{
    QObject form;
    auto *images = new platform::ImageList(32, 32, &form);
    images->setObjectName(QStringLiteral("Img32"));
    int clicks = 0;
    FormOwner owner(&form);
    owner.AddMethod<void(platform::Persistent *)>("SideBarHeaders0Buttons1Click",
                                                  [&](platform::Persistent *) { ++clicks; });
    const QByteArray text = "object SideBar: TnbSideBar\n"
                            "  Width = 120\n"
                            "  BevelOuter = bvLowered\n"
                            "  BorderStyle = bsNone\n"
                            "  Border.Left = 5\n"
                            "  Headers = <\n"
                            "    item\n"
                            "      Caption = 'Kestrune'\n"
                            "      Options = [hoActivateOnSelect, hoButtonDown]\n"
                            "      Images.Normal = Img32\n"
                            "      Buttons = <\n"
                            "        item\n"
                            "          Caption = 'Velmora'\n"
                            "        end\n"
                            "        item\n"
                            "          Caption = #20813#36153#21152#20837\n"
                            "          ImageIndex = 1\n"
                            "          Cursor = crHandPoint\n"
                            "          OnClick = SideBarHeaders0Buttons1Click\n"
                            "        end>\n"
                            "    end>\n"
                            "  Settings.ButtonView = bvWindows2000\n"
                            "  Settings.Font.Name = #26032#23435#20307\n"
                            "  AlignInfo = 'alLeft'\n"
                            "  ActiveIndex = 0\n"
                            "end\n";
    TnbSideBar bar;
    bar.SetAlign(platform::alNone);
    bar.SetOwnerForm(&owner);
    Load(bar, FreePascalForms::Instance().ToBinary(text));
    EXPECT_EQ(bar.width(), 120);
    EXPECT_EQ(bar.BevelOuter(), platform::bvLowered);
    EXPECT_EQ(bar.Border()->Left(), 5);
    EXPECT_EQ(bar.Border()->Top(), 0); // left out: its stored default
    EXPECT_EQ(bar.Settings()->ButtonView(), bvWindows2000);
    EXPECT_EQ(bar.Settings()->Font().name(), QStringLiteral("新宋体"));
    EXPECT_EQ(bar.Align(), platform::alLeft);
    ASSERT_EQ(bar.HeaderCount(), 1);
    EXPECT_EQ(bar.ActiveHeader(), bar.Header(0));
    TnbHeader *h = bar.Header(0);
    EXPECT_EQ(h->Options(), TnbHeaderOptions({hoActivateOnSelect, hoButtonDown}));
    EXPECT_EQ(h->Images()->NormalList(), images);
    ASSERT_EQ(h->ButtonCount(), 2);
    EXPECT_EQ(h->Button(1)->Caption(), QStringLiteral("免费加入"));
    EXPECT_EQ(h->Button(1)->Cursor(), -21);
    h->Button(1)->Click();
    EXPECT_EQ(clicks, 1);
}
