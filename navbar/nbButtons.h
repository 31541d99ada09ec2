#pragma once

#include "navbar/nbCollection.h"
#include "platform/ui/Action.h"
#include "platform/ui/Font.h"

#include <cstdint>
#include <memory>

class TnbButtonActionLink;

// A command button in a header's body: a large icon with its label under it, or a small
// icon with the label beside it; also a label, check box, push button or radio button.
// Every setter compares, stores and reports the change through the button's change
// callback, which its collection wires to the bar.
class TnbButton : public platform::Persistent
{
public:
    // Values the stored form leaves out where they differ from the initial ones.
    static constexpr std::uint16_t StoredWidth = 80;
    static constexpr bool StoredParentBiDiMode = true;

    TnbButton(TnbButtons *collection);
    ~TnbButton() override;

    const char *ClassName() const override { return "TnbButton"; }
    // Copies the published properties and the events (not the name) of another button.
    void Assign(const platform::Persistent &source) override;

    TnbButtons *Collection() const { return FCollection; }
    TnbHeader *Header() const;
    TnbSideBar *SideBar() const;

    platform::Action *Action() const;
    // Links the button to an action (none frees the link).
    void SetAction(platform::Action *value);
    TnbButtonActionLink *ActionLink() const { return FActionLink.get(); }

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    platform::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(platform::Alignment value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool value);
    // The position in the collection; setting moves the button (clamped to the list).
    int ButtonIndex() const;
    void SetButtonIndex(int value);
    TnbButtonKind ButtonKind() const { return FButtonKind; }
    void SetButtonKind(TnbButtonKind value);
    TnbButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TnbButtonStyle value);
    TnbButtonView ButtonView() const { return FButtonView; }
    void SetButtonView(TnbButtonView value);
    platform::BiDiMode BiDiMode() const { return FBiDiMode; }
    // Also turns ParentBiDiMode off.
    void SetBiDiMode(platform::BiDiMode value);
    bool Checked() const { return FChecked; }
    // Sets CheckState to cbChecked or cbUnchecked as well.
    void SetChecked(bool value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    TColor Color() const { return FColor; }
    // Reports the change only when the button is not Transparent.
    void SetColor(TColor value);
    platform::Cursor Cursor() const { return FCursor; }
    void SetCursor(platform::Cursor value);
    platform::CheckBoxState CheckState() const { return FCheckState; }
    // cbChecked and cbUnchecked set Checked accordingly; cbGrayed leaves it.
    void SetCheckState(platform::CheckBoxState value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    const platform::Font &Font() const { return FFont; }
    void SetFont(const platform::Font &value);
    const platform::Font &HighlightFont() const { return FHighlightFont; }
    void SetHighlightFont(const platform::Font &value);
    THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(THelpContext value);
    std::uint16_t Height() const { return FHeight; }
    // Not reported while AutoSize is on.
    void SetHeight(std::uint16_t value);
    QString Hint() const { return FHint; }
    void SetHint(const QString &value);
    TImageIndex ImageIndex() const { return FImageIndex; }
    void SetImageIndex(TImageIndex value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    QString Name() const { return FName; }
    // Renames the button; a name another button of the header bears (compared without
    // case) raises TnbError and leaves the name unchanged.
    void SetName(const QString &value);
    platform::PopupMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(platform::PopupMenu *value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    // Turning it on takes the header's reading order.
    void SetParentBiDiMode(bool value);
    int Tag() const { return FTag; }
    void SetTag(int value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    TnbButtonOptions Options() const { return FOptions; }
    void SetOptions(TnbButtonOptions value);
    QString UserString() const { return FUserString; }
    // Free for the user; no change is reported.
    void SetUserString(const QString &value) { FUserString = value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    std::uint16_t Width() const { return FWidth; }
    // Not reported while AutoSize is on.
    void SetWidth(std::uint16_t value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);

    // The style and view in effect: the button's own with boCustomStyle/boCustomView,
    // else those of its header's settings.
    TnbButtonStyle EffectiveStyle() const;
    TnbButtonView EffectiveView() const;
    // The label font: the button's own with boCustomFont, else the settings' button font;
    // `highlight` picks the highlight variant.
    const platform::Font &LabelFont(bool highlight) const;
    // The image list for the given drawing state, or none (see TnbButtonImages::ListFor).
    platform::ImageList *ImageListFor(TnbButtonState state) const;

    // Runs the button: nothing when disabled; otherwise ends its alert, then calls
    // OnClick or executes the linked action.
    virtual void Click();
    // Copies the action's properties; with `checkDefaults` only into properties that
    // still hold their defaults.
    virtual void ActionChange(platform::Persistent *sender, bool checkDefaults);

    // Change callback (set by the collection).
    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    void SetOnChangeParameter(const TNotifyEvent &value) { FOnChangeParameter = value; }

    // Events.
    TNotifyEvent OnClick;
    TnbEventBeforeDrawCommandButton OnBeforeDrawButton;
    TnbEventDrawCommandButton OnDrawButton;
    TnbEventAfterDrawCommandButton OnAfterDrawButton;

    // Runtime state, filled by layout and input.
    TnbButtonState ItemState() const { return FItemState; }
    void SetItemState(TnbButtonState value) { FItemState = value; }
    bool Pressed() const { return FPressed; }
    void SetPressed(bool value) { FPressed = value; }
    platform::Rect ButtonRect;
    platform::Rect ImageRect;
    platform::Rect LabelRect;
    platform::Rect FocusRect;
    // The image list chosen for the current state by the last layout.
    platform::ImageList *Images = nullptr;
    bool Alerting() const { return FAlerting; }
    bool AlertPhase() const { return FAlertPhase; }
    void SetAlertPhase(bool value) { FAlertPhase = value; }
    // Empties the four layout rectangles.
    void ResetRects();
    // Moves the four layout rectangles out of sight (-1000, -1000).
    void HideRects();

    // ---- Layout and painting, run by the header's LayoutButtons ----
    // The state the button is drawn in: bstDown while it is its header's selected
    // button, else its ItemState.
    TnbButtonState DrawState() const;
    // Lays the button out at `y` in body `b`, draws it unless `canvas` is null or it
    // does not fit above the body's bottom, and advances `y` past it.
    virtual void LayoutAndDraw(platform::Canvas *canvas, const platform::Rect &b, int &y);
    virtual void DrawLabel(platform::Canvas &canvas, TnbButtonState state, bool offset, bool underline);
    // The 13 × 13 mark of a check box, push button or radio button at one end of `label`,
    // which loses that end.
    virtual void DrawCheckMark(platform::Canvas &canvas, TnbButtonState state, platform::Rect &label);
    virtual void DrawEdgeFrame(platform::Canvas &canvas, TnbButtonState state);
    virtual void DrawXPFrame(platform::Canvas &canvas, TnbButtonState state);
    virtual void DrawImage(platform::Canvas &canvas, TnbButtonState state);
    virtual void DrawImageShadow(platform::Canvas &canvas, TnbButtonState state);
    virtual void DoBeforeDrawButton(platform::Canvas &canvas);
    virtual void DoDrawButton(platform::Canvas &canvas, TnbButtonView view, TnbButtonState state);
    virtual void DoAfterDrawButton(platform::Canvas &canvas);

protected:
    void Changed();

private:
    friend class TnbButtons;
    friend class TnbHeader;
    friend class TnbSideBar;

    void Destroying();
    template <typename T> void Set(T &field, const T &value);

    TnbButtons *FCollection;
    std::unique_ptr<TnbButtonActionLink> FActionLink;
    bool FAutoSize = false;
    platform::Alignment FAlignment = platform::taCenter;
    bool FAllowGrayed = false;
    TnbButtonKind FButtonKind = bkButton;
    TnbButtonStyle FButtonStyle = bsLarge;
    TnbButtonView FButtonView = bvNormal;
    platform::BiDiMode FBiDiMode = platform::bdLeftToRight;
    bool FChecked = false;
    QString FCaption;
    TColor FColor = platform::clBtnFace;
    platform::Cursor FCursor = platform::crDefault;
    platform::CheckBoxState FCheckState = platform::cbUnchecked;
    bool FEnabled = true;
    platform::Font FFont;
    platform::Font FHighlightFont;
    THelpContext FHelpContext = 0;
    std::uint16_t FHeight = 60;
    QString FHint;
    TImageIndex FImageIndex = -1;
    int FMargin = 4;
    QString FName;
    platform::PopupMenu *FPopupMenu = nullptr;
    bool FShowAccelChar = true;
    bool FParentBiDiMode = false;
    int FTag = 0;
    bool FTransparent = true;
    TnbButtonOptions FOptions{boAutoWidthLabel, boUnderlineFont};
    QString FUserString;
    bool FVisible = true;
    std::uint16_t FWidth = 100;
    bool FWordWrap = false;
    TNotifyEvent FOnChangeParameter;

    TnbButtonState FItemState = bstNormal;
    bool FPressed = false;
    bool FAlerting = false;
    bool FAlertPhase = false;
};

// Links a button to an action: a property of the button is linked while it equals the
// action's, and only then does a change of the action reach the button.
class TnbButtonActionLink : public platform::ActionLink
{
public:
    explicit TnbButtonActionLink(TnbButton *client) : FClient(client) {}

    TnbButton *Client() const { return FClient; }

    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHelpContextLinked() const override;
    bool IsHintLinked() const override;
    bool IsImageIndexLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsOnExecuteLinked() const override;

    void SetCaption(const QString &value) override;
    void SetEnabled(bool value) override;
    void SetHelpContext(int value) override;
    void SetHint(const QString &value) override;
    void SetImageIndex(int value) override;
    void SetVisible(bool value) override;
    void SetOnExecute(const platform::NotifyEvent &value) override;

private:
    TnbButton *FClient;
};

// The buttons of one header. New buttons are named "nbButton<n>" and get the bar's
// change callback at once; change reports of the collection itself are ignored.
class TnbButtons : public TnbCollection<TnbButton>
{
public:
    TnbButtons(TnbHeader *header, TnbSideBar *sideBar);
    ~TnbButtons() override;

    const char *ClassName() const override { return "TnbButtons"; }
    // Replaces the buttons by copies of those of another collection.
    void Assign(const platform::Persistent &source) override;

    TnbHeader *Header() const { return FHeader; }
    TnbSideBar *SideBar() const { return FSideBar; }

    TnbButton *Add();
    TnbButton *Insert(int index);
    // Deletes one button (ending its alert first); an index outside the list is ignored.
    void Delete(int index);
    void Delete(TnbButton *button) { Delete(IndexOf(button)); }
    // Deletes every button, last first.
    void Clear();

protected:
    void Update(TnbButton *) override {}

private:
    friend class TnbButton;
    void Rename(TnbButton *button, const QString &name);
    void Move(TnbButton *button, int index);

    TnbHeader *FHeader;
    TnbSideBar *FSideBar;
};
