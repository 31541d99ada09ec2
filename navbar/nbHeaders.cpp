#include "navbar/nbHeaders.h"

#include "navbar/nbSideBar.h"
#include "platform/ui/PopupMenu.h"

using namespace platform;

namespace {
const char *const HeaderNamePattern = "nbHeader%d";
} // namespace

// ---- TnbHeader ---------------------------------------------------------------------

TnbHeader::TnbHeader(TnbHeaders *collection, TnbSideBar *sideBar)
    : FCollection(collection), FSideBar(sideBar), FButtons(std::make_unique<TnbButtons>(this, sideBar)),
      FBackground(std::make_unique<TnbBackground>()), FGlyph(std::make_unique<TnbGlyph>()),
      FImages(std::make_unique<TnbButtonImages>(this)), FSettings(std::make_unique<TnbBarSettings>())
{
    FBackground->SetColor(clGray);
}

TnbHeader::~TnbHeader()
{
    // The buttons go first: they still look at their header while they are destroyed.
    FButtons->Clear();
    SetOnChangeParameter(nullptr);
}

void TnbHeader::Changed()
{
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

template <typename T> void TnbHeader::Set(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TnbHeader::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbHeader *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    BeginUpdate();
    SetBackground(*other->FBackground);
    SetGlyph(*other->FGlyph);
    SetImages(*other->FImages);
    SetButtons(*other->FButtons);
    SetBiDiMode(other->FBiDiMode);
    SetCaption(other->FCaption);
    SetEnabled(other->FEnabled);
    SetFirstButtonTop(other->FFirstButtonTop);
    SetHeaderState(other->FHeaderState);
    SetSettings(*other->FSettings);
    SetImageIndex(other->FImageIndex);
    SetMargin(other->FMargin);
    SetOptions(other->FOptions);
    SetPopupMenu(other->FPopupMenu);
    SetTag(other->FTag);
    SetTransparent(other->FTransparent);
    SetSpacing(other->FSpacing);
    SetVisible(other->FVisible);
    SetAllowSelected(other->FAllowSelected);
    SetSelectedIndex(other->FSelectedIndex);
    OnChange = other->OnChange;
    OnCheckScroll = other->OnCheckScroll;
    OnDrawHeaderButton = other->OnDrawHeaderButton;
    OnAfterDrawHeaderButton = other->OnAfterDrawHeaderButton;
    OnDrawHeaderBody = other->OnDrawHeaderBody;
    OnAfterDrawHeaderBody = other->OnAfterDrawHeaderBody;
    OnDrawStatusButton = other->OnDrawStatusButton;
    EndUpdate();
    if (OnChange)
        OnChange(this);
}

void TnbHeader::SetAllowSelected(bool value)
{
    if (value == FAllowSelected)
        return;
    FAllowSelected = value;
    FSelectedIndex = -1;
    Changed();
}

void TnbHeader::SetBiDiMode(platform::BiDiMode value)
{
    if (value == FBiDiMode)
        return;
    FBiDiMode = value;
    // Buttons that follow their parent follow the header.
    for (int i = 0; i < FButtons->Count(); ++i)
        if (TnbButton *b = FButtons->Items(i); b->ParentBiDiMode())
            b->FBiDiMode = value;
    Changed();
}

void TnbHeader::SetCaption(const QString &value)
{
    Set(FCaption, value);
}
void TnbHeader::SetEnabled(bool value)
{
    Set(FEnabled, value);
}
void TnbHeader::SetFirstButtonTop(std::uint16_t value)
{
    Set(FFirstButtonTop, value);
}

int TnbHeader::HeaderIndex() const
{
    return FCollection ? FCollection->IndexOf(this) : -1;
}

void TnbHeader::SetHeaderIndex(int value)
{
    if (FCollection)
        FCollection->Move(this, value);
}

void TnbHeader::SetHeaderState(TnbHeaderState value)
{
    if (value == FHeaderState)
        return;
    FHeaderState = value;
    CaptionRect = Rect();
    FBodyRect = Rect();
    for (int i = 0; i < FButtons->Count(); ++i)
        FButtons->Items(i)->ResetRects();
    // In the outlook view the state has no visible effect.
    if (FSideBar && FSideBar->ViewStyle() == vsExplorerBar)
        Changed();
}

void TnbHeader::SetImageIndex(TImageIndex value)
{
    Set(FImageIndex, value);
}
void TnbHeader::SetMargin(std::uint16_t value)
{
    Set(FMargin, value);
}

void TnbHeader::SetName(const QString &value)
{
    if (value.compare(FName, Qt::CaseInsensitive) == 0)
        return;
    if (FCollection)
        FCollection->Rename(this, value);
    else
        FName = value;
}

void TnbHeader::SetOptions(TnbHeaderOptions value)
{
    Set(FOptions, value);
}

void TnbHeader::SetPopupMenu(platform::PopupMenu *value)
{
    if (value == FPopupMenu)
        return;
    FPopupMenu = value;
    if (value && FSideBar)
        FSideBar->FreeNotification(value);
    Changed();
}

void TnbHeader::SetTag(int value)
{
    Set(FTag, value);
}
void TnbHeader::SetTransparent(bool value)
{
    Set(FTransparent, value);
}

void TnbHeader::SetSelectedIndex(int value)
{
    if (!FAllowSelected)
        value = -1;
    else
        value = std::clamp(value, -1, FButtons->Count() - 1);

    // Clearing other selections is not reported by itself; remember it so that the
    // screen follows even when this header's own value stays the same.
    bool othersCleared = false;
    if (FSideBar && FCollection && !FSideBar->EachHeaderSelection()) {
        for (int i = 0; i < FCollection->Count(); ++i) {
            TnbHeader *h = FCollection->Items(i);
            if (h != this && h->FSelectedIndex != -1)
                othersCleared = true;
            if (h != this)
                h->FSelectedIndex = -1;
        }
    }
    if (value != FSelectedIndex) {
        FSelectedIndex = value;
        Changed();
    } else if (othersCleared) {
        Changed();
    }
}

void TnbHeader::SetSpacing(std::uint16_t value)
{
    Set(FSpacing, value);
}

void TnbHeader::SetVisible(bool value)
{
    if (value == FVisible)
        return;
    FVisible = value;
    if (!value && FSideBar && FSideBar->FActiveHeader == this)
        FSideBar->FActiveHeader = nullptr;
    Changed();
}

TnbBarSettings *TnbHeader::EffectiveSettings() const
{
    if (!FCollection || !FSideBar || !FSideBar->CommonStyle() || FOptions.Contains(hoCustomSettings))
        return FSettings.get();
    return FSideBar->Settings();
}

int TnbHeader::CaptionHeight() const
{
    const TnbBarSettings *settings = EffectiveSettings();
    int height = settings->Height();
    if (FSideBar && FSideBar->ViewStyle() == vsExplorerBar)
        height += settings->ExplorerAddOn();
    return height;
}

TnbButton *TnbHeader::FirstVisibleButton() const
{
    for (int i = 0; i < FButtons->Count(); ++i)
        if (FButtons->Items(i)->Visible())
            return FButtons->Items(i);
    return nullptr;
}

TnbButton *TnbHeader::LastVisibleButton() const
{
    for (int i = FButtons->Count() - 1; i >= 0; --i)
        if (FButtons->Items(i)->Visible())
            return FButtons->Items(i);
    return nullptr;
}

void TnbHeader::ScrollUp()
{
    if (FTopIndex > 0)
        --FTopIndex;
}

void TnbHeader::ScrollDown()
{
    const int count = FButtons->Count();
    if (FLastVisibleIndex < count - 1)
        FTopIndex = std::clamp(FTopIndex + 1, 0, std::max(0, count - 1));
}

void TnbHeader::CheckRadio(TnbButton *button)
{
    BeginUpdate();
    for (int i = 0; i < FButtons->Count(); ++i)
        FButtons->Items(i)->SetChecked(false);
    if (button)
        button->SetChecked(true);
    EndUpdate();
}

void TnbHeader::BeginUpdate()
{
    if (FSideBar)
        FSideBar->BeginUpdate();
}

void TnbHeader::EndUpdate()
{
    if (FSideBar)
        FSideBar->EndUpdate();
}

void TnbHeader::SetOnChangeParameter(const TNotifyEvent &value)
{
    FOnChangeParameter = value;
    FImages->SetOnChangeParameter(value);
    FSettings->SetOnChangeParameter(value);
    FBackground->SetOnChangeParameter(value);
    FGlyph->SetOnChangeParameter(value);
}

Rect TnbHeader::BodyRect() const
{
    if (FSideBar && FSideBar->ViewStyle() == vsOutlook && FSideBar->ActiveHeader() != this)
        return Rect();
    return FBodyRect;
}

void TnbHeader::SetItemState(TnbButtonState value)
{
    if (value == FItemState)
        return;
    FItemState = value;
    FStateBackgroundSize = QSize();
}

void TnbHeader::Destroying()
{
    if (FSideBar)
        FSideBar->ForgetHeader(this);
}

// ---- TnbHeaders --------------------------------------------------------------------

TnbHeaders::TnbHeaders(TnbSideBar *sideBar) : FSideBar(sideBar) {}

TnbHeaders::~TnbHeaders()
{
    Clear();
}

void TnbHeaders::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbHeaders *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    AsOneUpdate(FSideBar, [&] {
        Clear();
        for (int i = 0; i < other->Count(); ++i)
            Add()->Assign(*other->Items(i));
    });
}

TnbHeader *TnbHeaders::Add()
{
    return Insert(Count());
}

TnbHeader *TnbHeaders::Insert(int index)
{
    auto header = std::make_unique<TnbHeader>(this, FSideBar);
    header->FName = UniqueName(HeaderNamePattern);
    if (FSideBar)
        header->SetOnChangeParameter(FSideBar->ChangeCallback());
    TnbHeader *raw = InsertItem(std::move(header), index);
    Changed(nullptr);
    return raw;
}

void TnbHeaders::Delete(int index)
{
    TnbHeader *header = Items(index);
    if (!header)
        return;
    header->Destroying();
    // The switch away from a deleted active header may have moved it.
    std::unique_ptr<TnbHeader> owned = ExtractItem(IndexOf(header));
    owned.reset();
    Changed(nullptr);
}

void TnbHeaders::Clear()
{
    if (Count() == 0)
        return;
    AsOneUpdate(FSideBar, [&] {
        while (Count() > 0)
            Delete(Count() - 1);
    });
}

void TnbHeaders::Update(TnbHeader *item)
{
    if (!FSideBar)
        return;
    if (item == FSideBar->FActiveHeader || (!item && !FSideBar->FActiveHeader))
        FSideBar->FActiveHeader = nullptr;
    FSideBar->RefreshBar();
}

void TnbHeaders::Rename(TnbHeader *header, const QString &name)
{
    if (NameTaken(name, header))
        throw TnbError(QString::fromUtf8("该控件已经包含了模块名称 %1\n\r请设置其它名称继续.").arg(name));
    header->FName = name;
    Changed(header);
}

void TnbHeaders::Move(TnbHeader *header, int index)
{
    if (MoveItem(IndexOf(header), index))
        Changed(nullptr);
}

// ---- TnbCloseButton ----------------------------------------------------------------

TnbCloseButton::TnbCloseButton(TnbSideBar *sideBar)
    : FSideBar(sideBar), FHeader(std::make_unique<TnbHeader>(nullptr, sideBar))
{
    FHeader->SetOptions({hoAlwaysFlat, hoCustomSettings});
    FHeader->Settings()->SetExplorerAddOn(0);
    FHeader->Settings()->SetAlignment(taLeftJustify);
    FHeader->SetCaption(QStringLiteral("Favorites"));
    FHeader->SetVisible(false);
}

TnbCloseButton::~TnbCloseButton() = default;

void TnbCloseButton::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbCloseButton *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    if (FSideBar)
        FSideBar->BeginUpdate();
    SetCaption(other->Caption());
    SetFont(other->Font());
    SetHeight(other->Height());
    SetImageIndex(other->ImageIndex());
    SetMargin(other->Margin());
    SetTransparent(other->Transparent());
    SetVisible(other->Visible());
    if (FSideBar)
        FSideBar->EndUpdate();
}

void TnbCloseButton::SetCaption(const QString &value)
{
    FHeader->SetCaption(value);
    Refresh();
}

void TnbCloseButton::SetFont(const platform::Font &value)
{
    FHeader->Settings()->SetFont(value);
    Refresh();
}

void TnbCloseButton::SetHeight(int value)
{
    FHeader->Settings()->SetHeight(value);
    Refresh();
}

void TnbCloseButton::SetImageIndex(TImageIndex value)
{
    FHeader->SetImageIndex(value);
    Refresh();
}

void TnbCloseButton::SetMargin(std::uint16_t value)
{
    FHeader->SetMargin(value);
    Refresh();
}

void TnbCloseButton::SetTransparent(bool value)
{
    FHeader->SetTransparent(value);
    Refresh();
}

void TnbCloseButton::SetVisible(bool value)
{
    FHeader->SetVisible(value);
    Refresh();
}

void TnbCloseButton::Refresh()
{
    if (FSideBar)
        FSideBar->RefreshBar();
}
