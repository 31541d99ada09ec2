#include "navbar/nbButtons.h"

#include "navbar/nbHeaders.h"
#include "navbar/nbSideBar.h"
#include "platform/ui/PopupMenu.h"

using namespace platform;

namespace {
const char *const ButtonNamePattern = "nbButton%d";
} // namespace

// ---- TnbButton ---------------------------------------------------------------------

TnbButton::TnbButton(TnbButtons *collection) : FCollection(collection) {}

TnbButton::~TnbButton() = default;

TnbHeader *TnbButton::Header() const
{
    return FCollection ? FCollection->Header() : nullptr;
}

TnbSideBar *TnbButton::SideBar() const
{
    return FCollection ? FCollection->SideBar() : nullptr;
}

void TnbButton::Changed()
{
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

template <typename T> void TnbButton::Set(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TnbButton::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbButton *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    TnbSideBar *bar = SideBar();
    if (bar)
        bar->BeginUpdate();
    SetAction(other->Action());
    SetAutoSize(other->FAutoSize);
    SetAlignment(other->FAlignment);
    SetAllowGrayed(other->FAllowGrayed);
    SetButtonKind(other->FButtonKind);
    SetButtonStyle(other->FButtonStyle);
    SetButtonView(other->FButtonView);
    SetCaption(other->FCaption);
    SetColor(other->FColor);
    SetCursor(other->FCursor);
    // Checked first: it would reset a grayed state copied before it.
    SetChecked(other->FChecked);
    SetCheckState(other->FCheckState);
    SetEnabled(other->FEnabled);
    SetFont(other->FFont);
    SetHighlightFont(other->FHighlightFont);
    SetHelpContext(other->FHelpContext);
    FAutoSize = false; // sizes are copied even from an auto-sized button
    SetHeight(other->FHeight);
    SetWidth(other->FWidth);
    SetAutoSize(other->FAutoSize);
    SetHint(other->FHint);
    SetImageIndex(other->FImageIndex);
    SetMargin(other->FMargin);
    SetPopupMenu(other->FPopupMenu);
    SetShowAccelChar(other->FShowAccelChar);
    SetBiDiMode(other->FBiDiMode);
    SetParentBiDiMode(other->FParentBiDiMode);
    SetTag(other->FTag);
    SetTransparent(other->FTransparent);
    SetOptions(other->FOptions);
    SetUserString(other->FUserString);
    SetVisible(other->FVisible);
    SetWordWrap(other->FWordWrap);
    OnClick = other->OnClick;
    OnBeforeDrawButton = other->OnBeforeDrawButton;
    OnDrawButton = other->OnDrawButton;
    OnAfterDrawButton = other->OnAfterDrawButton;
    if (bar)
        bar->EndUpdate();
}

Action *TnbButton::Action() const
{
    return FActionLink ? FActionLink->GetAction() : nullptr;
}

void TnbButton::SetAction(platform::Action *value)
{
    if (!value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink)
        FActionLink = std::make_unique<TnbButtonActionLink>(this);
    FActionLink->SetAction(value);
    TnbSideBar *bar = SideBar();
    ActionChange(value, !bar || !bar->FLoaded);
    if (bar)
        bar->FreeNotification(value);
}

void TnbButton::ActionChange(Persistent *sender, bool checkDefaults)
{
    const auto *action = dynamic_cast<platform::Action *>(sender);
    if (!action)
        return;
    if (!checkDefaults || FCaption.isEmpty() || FCaption == FName)
        SetCaption(action->Caption());
    if (!checkDefaults || FEnabled)
        SetEnabled(action->Enabled());
    if (!checkDefaults || FHelpContext == 0)
        SetHelpContext(action->HelpContext());
    if (!checkDefaults || FHint.isEmpty())
        SetHint(action->Hint());
    if (!checkDefaults || FImageIndex == -1)
        SetImageIndex(action->ImageIndex());
    if (!checkDefaults || FVisible)
        SetVisible(action->Visible());
    if (!checkDefaults || !OnClick)
        OnClick = action->OnExecute();
}

void TnbButton::Click()
{
    if (!FEnabled)
        return;
    if (TnbSideBar *bar = SideBar(); bar && bar->AlertButton() == this)
        bar->SetAlertButton(nullptr);
    platform::Action *action = Action();
    if (OnClick && action && !(action->OnExecute() == OnClick)) {
        // The handler was changed after linking: the button's own handler wins.
        const TNotifyEvent handler = OnClick;
        handler(this);
    } else if (action) {
        FActionLink->Execute(this);
    } else if (OnClick) {
        const TNotifyEvent handler = OnClick;
        handler(this);
    }
}

void TnbButton::SetAutoSize(bool value)
{
    Set(FAutoSize, value);
}
void TnbButton::SetAlignment(platform::Alignment value)
{
    Set(FAlignment, value);
}
void TnbButton::SetAllowGrayed(bool value)
{
    Set(FAllowGrayed, value);
}

int TnbButton::ButtonIndex() const
{
    return FCollection ? FCollection->IndexOf(this) : -1;
}

void TnbButton::SetButtonIndex(int value)
{
    if (FCollection)
        FCollection->Move(this, value);
}

void TnbButton::SetButtonKind(TnbButtonKind value)
{
    Set(FButtonKind, value);
}
void TnbButton::SetButtonStyle(TnbButtonStyle value)
{
    Set(FButtonStyle, value);
}
void TnbButton::SetButtonView(TnbButtonView value)
{
    Set(FButtonView, value);
}

void TnbButton::SetBiDiMode(platform::BiDiMode value)
{
    FParentBiDiMode = false;
    Set(FBiDiMode, value);
}

void TnbButton::SetParentBiDiMode(bool value)
{
    if (value == FParentBiDiMode)
        return;
    FParentBiDiMode = value;
    if (value && Header())
        FBiDiMode = Header()->BiDiMode();
    Changed();
}

void TnbButton::SetChecked(bool value)
{
    const CheckBoxState state = value ? cbChecked : cbUnchecked;
    if (value == FChecked && state == FCheckState)
        return;
    FChecked = value;
    FCheckState = state;
    Changed();
}

void TnbButton::SetCheckState(CheckBoxState value)
{
    if (value == FCheckState)
        return;
    FCheckState = value;
    if (value == cbChecked)
        FChecked = true;
    else if (value == cbUnchecked)
        FChecked = false;
    Changed();
}

void TnbButton::SetCaption(const QString &value)
{
    Set(FCaption, value);
}

void TnbButton::SetColor(TColor value)
{
    if (value == FColor)
        return;
    FColor = value;
    // A transparent button does not show its colour.
    if (!FTransparent)
        Changed();
}

void TnbButton::SetCursor(platform::Cursor value)
{
    Set(FCursor, value);
}
void TnbButton::SetEnabled(bool value)
{
    Set(FEnabled, value);
}
void TnbButton::SetFont(const platform::Font &value)
{
    Set(FFont, value);
}
void TnbButton::SetHighlightFont(const platform::Font &value)
{
    Set(FHighlightFont, value);
}
void TnbButton::SetHelpContext(THelpContext value)
{
    Set(FHelpContext, value);
}

void TnbButton::SetHeight(std::uint16_t value)
{
    if (value == FHeight)
        return;
    FHeight = value;
    if (!FAutoSize)
        Changed();
}

void TnbButton::SetWidth(std::uint16_t value)
{
    if (value == FWidth)
        return;
    FWidth = value;
    if (!FAutoSize)
        Changed();
}

void TnbButton::SetHint(const QString &value)
{
    Set(FHint, value);
}
void TnbButton::SetImageIndex(TImageIndex value)
{
    Set(FImageIndex, value);
}
void TnbButton::SetMargin(int value)
{
    Set(FMargin, value);
}

void TnbButton::SetName(const QString &value)
{
    if (value.compare(FName, Qt::CaseInsensitive) == 0)
        return;
    if (FCollection)
        FCollection->Rename(this, value);
    else
        FName = value;
}

void TnbButton::SetPopupMenu(platform::PopupMenu *value)
{
    if (value == FPopupMenu)
        return;
    FPopupMenu = value;
    if (value && SideBar())
        SideBar()->FreeNotification(value);
    Changed();
}

void TnbButton::SetShowAccelChar(bool value)
{
    Set(FShowAccelChar, value);
}
void TnbButton::SetTag(int value)
{
    Set(FTag, value);
}
void TnbButton::SetTransparent(bool value)
{
    Set(FTransparent, value);
}
void TnbButton::SetOptions(TnbButtonOptions value)
{
    Set(FOptions, value);
}
void TnbButton::SetVisible(bool value)
{
    Set(FVisible, value);
}
void TnbButton::SetWordWrap(bool value)
{
    Set(FWordWrap, value);
}

TnbButtonStyle TnbButton::EffectiveStyle() const
{
    if (FOptions.Contains(boCustomStyle) || !Header())
        return FButtonStyle;
    return Header()->EffectiveSettings()->ButtonStyle();
}

TnbButtonView TnbButton::EffectiveView() const
{
    if (FOptions.Contains(boCustomView) || !Header())
        return FButtonView;
    return Header()->EffectiveSettings()->ButtonView();
}

const platform::Font &TnbButton::LabelFont(bool highlight) const
{
    if (FOptions.Contains(boCustomFont) || !Header())
        return highlight ? FHighlightFont : FFont;
    const TnbBarSettings *settings = Header()->EffectiveSettings();
    return highlight ? settings->ButtonHighlightFont() : settings->ButtonFont();
}

ImageList *TnbButton::ImageListFor(TnbButtonState state) const
{
    if (!Header())
        return nullptr;
    return Header()->Images()->ListFor(EffectiveStyle(), state, FEnabled, FImageIndex);
}

void TnbButton::ResetRects()
{
    ButtonRect = ImageRect = LabelRect = FocusRect = Rect();
}

void TnbButton::Destroying()
{
    if (TnbSideBar *bar = SideBar())
        bar->ForgetButton(this);
    FActionLink.reset();
}

// ---- TnbButtonActionLink -----------------------------------------------------------

namespace {
const Action *ActionOf(const ActionLink &link)
{
    return link.GetAction();
}
} // namespace

bool TnbButtonActionLink::IsCaptionLinked() const
{
    return ActionLink::IsCaptionLinked() && FClient->Caption() == ActionOf(*this)->Caption();
}

bool TnbButtonActionLink::IsEnabledLinked() const
{
    return ActionLink::IsEnabledLinked() && FClient->Enabled() == ActionOf(*this)->Enabled();
}

bool TnbButtonActionLink::IsHelpContextLinked() const
{
    return ActionLink::IsHelpContextLinked() && FClient->HelpContext() == ActionOf(*this)->HelpContext();
}

bool TnbButtonActionLink::IsHintLinked() const
{
    return ActionLink::IsHintLinked() && FClient->Hint() == ActionOf(*this)->Hint();
}

bool TnbButtonActionLink::IsImageIndexLinked() const
{
    return ActionLink::IsImageIndexLinked() && FClient->ImageIndex() == ActionOf(*this)->ImageIndex();
}

bool TnbButtonActionLink::IsVisibleLinked() const
{
    return ActionLink::IsVisibleLinked() && FClient->Visible() == ActionOf(*this)->Visible();
}

bool TnbButtonActionLink::IsOnExecuteLinked() const
{
    return ActionLink::IsOnExecuteLinked() && FClient->OnClick == ActionOf(*this)->OnExecute();
}

void TnbButtonActionLink::SetCaption(const QString &value)
{
    if (IsCaptionLinked())
        FClient->SetCaption(value);
}

void TnbButtonActionLink::SetEnabled(bool value)
{
    if (IsEnabledLinked())
        FClient->SetEnabled(value);
}

void TnbButtonActionLink::SetHelpContext(int value)
{
    if (IsHelpContextLinked())
        FClient->SetHelpContext(value);
}

void TnbButtonActionLink::SetHint(const QString &value)
{
    if (IsHintLinked())
        FClient->SetHint(value);
}

void TnbButtonActionLink::SetImageIndex(int value)
{
    if (IsImageIndexLinked())
        FClient->SetImageIndex(value);
}

void TnbButtonActionLink::SetVisible(bool value)
{
    if (IsVisibleLinked())
        FClient->SetVisible(value);
}

void TnbButtonActionLink::SetOnExecute(const NotifyEvent &value)
{
    if (IsOnExecuteLinked())
        FClient->OnClick = value;
}

// ---- TnbButtons --------------------------------------------------------------------

TnbButtons::TnbButtons(TnbHeader *header, TnbSideBar *sideBar) : FHeader(header), FSideBar(sideBar) {}

TnbButtons::~TnbButtons()
{
    Clear();
}

void TnbButtons::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbButtons *>(&source);
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

TnbButton *TnbButtons::Add()
{
    return Insert(Count());
}

TnbButton *TnbButtons::Insert(int index)
{
    auto button = std::make_unique<TnbButton>(this);
    button->FName = UniqueName(ButtonNamePattern);
    if (FSideBar)
        button->SetOnChangeParameter(FSideBar->ChangeCallback());
    TnbButton *raw = InsertItem(std::move(button), index);
    Changed(nullptr);
    raw->Changed();
    return raw;
}

void TnbButtons::Delete(int index)
{
    TnbButton *button = Items(index);
    if (!button)
        return;
    button->Destroying();
    std::unique_ptr<TnbButton> owned = ExtractItem(index);
    if (FSideBar)
        FSideBar->RefreshBar();
    owned.reset();
    Changed(nullptr);
}

void TnbButtons::Clear()
{
    if (Count() == 0)
        return;
    AsOneUpdate(FSideBar, [&] {
        while (Count() > 0)
            Delete(Count() - 1);
    });
}

void TnbButtons::Rename(TnbButton *button, const QString &name)
{
    if (NameTaken(name, button))
        throw TnbError(QString::fromUtf8("该控件模块已经包含了功能名称 %1\n\r请设置其它名称继续.").arg(name));
    button->FName = name;
    Changed(button);
}

void TnbButtons::Move(TnbButton *button, int index)
{
    if (MoveItem(IndexOf(button), index)) {
        Changed(nullptr);
        // The collection ignores its own reports; the bar must still show the new order.
        button->Changed();
    }
}
