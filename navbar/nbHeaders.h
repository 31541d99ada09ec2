#pragma once

#include "navbar/nbBackground.h"
#include "navbar/nbButtons.h"
#include "navbar/nbImages.h"
#include "navbar/nbSettings.h"

#include <QImage>
#include <QSize>
#include <cstdint>
#include <memory>

// A header of the bar: a caption strip that opens onto a body of command buttons. Every
// setter compares, stores and reports the change through OnChangeParameter, which the
// bar wires to its repaint.
class TnbHeader : public platform::Persistent
{
public:
    // The HeaderIndex value the stored form leaves out.
    static constexpr int StoredHeaderIndex = -1;

    // `collection` is none for the private header of the close strip, which knows the
    // bar directly.
    TnbHeader(TnbHeaders *collection, TnbSideBar *sideBar);
    ~TnbHeader() override;

    const char *ClassName() const override { return "TnbHeader"; }
    // Copies the published properties, the buttons and the events (not the name) of
    // another header, then fires OnChange.
    void Assign(const platform::Persistent &source) override;

    TnbHeaders *Collection() const { return FCollection; }
    TnbSideBar *SideBar() const { return FSideBar; }

    bool AllowSelected() const { return FAllowSelected; }
    // Also clears the header's selection.
    void SetAllowSelected(bool value);
    TnbBackground *Background() const { return FBackground.get(); }
    void SetBackground(const TnbBackground &value) { FBackground->Assign(value); }
    TnbGlyph *Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TnbGlyph &value) { FGlyph->Assign(value); }
    TnbButtonImages *Images() const { return FImages.get(); }
    void SetImages(const TnbButtonImages &value) { FImages->Assign(value); }
    TnbButtons *Buttons() const { return FButtons.get(); }
    void SetButtons(const TnbButtons &value) { FButtons->Assign(value); }
    platform::BiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(platform::BiDiMode value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    std::uint16_t FirstButtonTop() const { return FFirstButtonTop; }
    void SetFirstButtonTop(std::uint16_t value);
    // The position in the collection; setting moves the header (clamped to the list).
    int HeaderIndex() const;
    void SetHeaderIndex(int value);
    TnbHeaderState HeaderState() const { return FHeaderState; }
    // Empties the layout rectangles of the header and its buttons; reported only in the
    // explorer-bar view, where the state is visible.
    void SetHeaderState(TnbHeaderState value);
    TnbBarSettings *Settings() const { return FSettings.get(); }
    void SetSettings(const TnbBarSettings &value) { FSettings->Assign(value); }
    TImageIndex ImageIndex() const { return FImageIndex; }
    void SetImageIndex(TImageIndex value);
    std::uint16_t Margin() const { return FMargin; }
    void SetMargin(std::uint16_t value);
    QString Name() const { return FName; }
    // Renames the header; a name another header of the bar bears (compared without case)
    // raises TnbError and leaves the name unchanged.
    void SetName(const QString &value);
    TnbHeaderOptions Options() const { return FOptions; }
    void SetOptions(TnbHeaderOptions value);
    bool Opened() const { return FHeaderState == hsOpened; }
    void SetOpened(bool value) { SetHeaderState(value ? hsOpened : hsClosed); }
    platform::PopupMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(platform::PopupMenu *value);
    int Tag() const { return FTag; }
    void SetTag(int value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    int SelectedIndex() const { return FSelectedIndex; }
    // -1 unless AllowSelected; clamped to -1..last button. Unless the bar has
    // EachHeaderSelection, the selection of every other header is cleared.
    void SetSelectedIndex(int value);
    std::uint16_t Spacing() const { return FSpacing; }
    void SetSpacing(std::uint16_t value);
    bool Visible() const { return FVisible; }
    // Hiding the active header leaves the bar without an active header.
    void SetVisible(bool value);

    // The settings block in effect: the header's own when the bar has no CommonStyle, the
    // header has hoCustomSettings or it is the close strip's header; else the bar's.
    TnbBarSettings *EffectiveSettings() const;
    // Height of the caption strip: the effective Height, plus ExplorerAddOn in the
    // explorer-bar view.
    int CaptionHeight() const;

    // Buttons.
    int ButtonCount() const { return FButtons->Count(); }
    TnbButton *Button(int index) const { return FButtons->Items(index); }
    TnbButton *AddButton() { return FButtons->Add(); }
    void DeleteButton(int index) { FButtons->Delete(index); }
    void DeleteButton(TnbButton *button) { FButtons->Delete(button); }
    void DeleteAllButtons() { FButtons->Clear(); }
    TnbButton *FirstVisibleButton() const;
    TnbButton *LastVisibleButton() const;

    // Button scrolling of the body.
    void ScrollUp();
    void ScrollDown();

    // Makes `button` the only checked button of the header.
    void CheckRadio(TnbButton *button);

    // Forward to the bar.
    virtual void BeginUpdate();
    virtual void EndUpdate();

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    // Also becomes the change event of Images, Settings, Background (and its gradient)
    // and Glyph.
    void SetOnChangeParameter(const TNotifyEvent &value);

    // Events.
    TNotifyEvent OnChange;
    TnbEventCheckScroll OnCheckScroll;
    TnbEventDrawHeader OnDrawHeaderButton;
    TnbEventDrawHeader OnAfterDrawHeaderButton;
    TnbEventDrawHeader OnDrawHeaderBody;
    TnbEventDrawHeader OnAfterDrawHeaderBody;
    TnbEventDrawStatusButton OnDrawStatusButton;

    // Runtime state, filled by layout and input.
    platform::Rect CaptionRect;
    // The body as laid out; for any header but the active one in the outlook view it
    // reads as empty.
    platform::Rect BodyRect() const;
    void SetBodyRect(const platform::Rect &value) { FBodyRect = value; }
    TnbButtonState ItemState() const { return FItemState; }
    // Also forgets the size at which the caption's state background was rendered.
    void SetItemState(TnbButtonState value);
    QSize StateBackgroundSize() const { return FStateBackgroundSize; }
    void SetStateBackgroundSize(QSize value) { FStateBackgroundSize = value; }
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int value) { FTopIndex = value; }
    int LastVisibleIndex() const { return FLastVisibleIndex; }
    void SetLastVisibleIndex(int value) { FLastVisibleIndex = value; }
    // The cached caption image.
    QImage CaptionImage;
    // Where the last paint put the caption's image, text and status button (hidden
    // rectangles when not drawn).
    platform::Rect CaptionImageRect;
    platform::Rect CaptionTextRect;
    platform::Rect StatusRect;

    // ---- Layout and painting, run by the bar's paint ----
    // Draws the caption strip into `k` and records it as CaptionRect.
    void PaintCaption(platform::Canvas &canvas, platform::Rect k);
    // Places the image, text and status button of the caption inside `k` (the strip
    // without its edge), shifted by `offset` when pressed.
    virtual void CalcCaptionLayout(platform::Canvas &canvas, const platform::Rect &k, QPoint offset);
    virtual void DrawCaptionImage(platform::Canvas &canvas);
    virtual void DrawCaptionText(platform::Canvas &canvas);
    // Lays out and draws image, text and status button.
    virtual void DrawCaption(platform::Canvas &canvas, const platform::Rect &k, QPoint offset);
    void DrawStatusButton(platform::Canvas &canvas);
    // Draws the body into `b`: background, glyph, frame, then the buttons.
    void PaintBody(platform::Canvas &canvas, const platform::Rect &b);
    void DrawGlyph(platform::Canvas &canvas, const platform::Rect &b);
    // Lays out the buttons from TopIndex in body `b` and draws them; a null canvas only
    // measures. Sets LastVisibleIndex.
    virtual void LayoutButtons(platform::Canvas *canvas, const platform::Rect &b);
    virtual void DoAfterDrawHeaderBody(platform::Canvas &canvas, const platform::Rect &b);
    virtual void DoAfterDrawHeaderButton(platform::Canvas &canvas, const platform::Rect &k);
    // Height of the body in the explorer layout: 0 when closed or without buttons.
    virtual int CalcBodyHeight();

protected:
    void Changed();

private:
    friend class TnbHeaders;
    friend class TnbSideBar;

    void Destroying();
    template <typename T> void Set(T &field, const T &value);

    TnbHeaders *FCollection;
    TnbSideBar *FSideBar;
    std::unique_ptr<TnbButtons> FButtons;
    std::unique_ptr<TnbBackground> FBackground;
    std::unique_ptr<TnbGlyph> FGlyph;
    std::unique_ptr<TnbButtonImages> FImages;
    std::unique_ptr<TnbBarSettings> FSettings;

    bool FAllowSelected = false;
    platform::BiDiMode FBiDiMode = platform::bdLeftToRight;
    QString FCaption;
    bool FEnabled = true;
    std::uint16_t FFirstButtonTop = 10;
    TnbHeaderState FHeaderState = hsOpened;
    TImageIndex FImageIndex = -1;
    std::uint16_t FMargin = 4;
    QString FName;
    TnbHeaderOptions FOptions{hoButtonDown,      hoDrawCaptionBorder, hoDrawDisabledButton,
                              hoDrawDownButton,  hoDrawFocusedButton, hoShowStatusButton,
                              hoUseHighlightFont};
    platform::PopupMenu *FPopupMenu = nullptr;
    int FTag = 0;
    bool FTransparent = false;
    int FSelectedIndex = -1;
    std::uint16_t FSpacing = 2;
    bool FVisible = true;
    TNotifyEvent FOnChangeParameter;

    platform::Rect FBodyRect;
    platform::ImageList *FCaptionList = nullptr;
    TnbButtonState FItemState = bstNormal;
    QSize FStateBackgroundSize;
    int FTopIndex = 0;
    int FLastVisibleIndex = -1;
};

// The headers of a bar. New headers are named "nbHeader<n>". A change reported for the
// active header (or for none while no header is active) leaves the bar without an
// active header; every report repaints the bar.
class TnbHeaders : public TnbCollection<TnbHeader>
{
public:
    explicit TnbHeaders(TnbSideBar *sideBar);
    ~TnbHeaders() override;

    const char *ClassName() const override { return "TnbHeaders"; }
    // Replaces the headers by copies of those of another collection.
    void Assign(const platform::Persistent &source) override;

    TnbSideBar *SideBar() const { return FSideBar; }

    TnbHeader *Add();
    TnbHeader *Insert(int index);
    // Deletes one header; an index outside the list is ignored.
    void Delete(int index);
    void Delete(TnbHeader *header) { Delete(IndexOf(header)); }
    // Deletes every header, last first.
    void Clear();

protected:
    void Update(TnbHeader *item) override;

private:
    friend class TnbHeader;
    void Rename(TnbHeader *header, const QString &name);
    void Move(TnbHeader *header, int index);

    TnbSideBar *FSideBar;
};

// The "close" strip at the top of the bar: a caption with a close box, drawn through a
// private header that belongs to no collection. Every setter changes that header and
// repaints the bar.
class TnbCloseButton : public platform::Persistent
{
public:
    // The Visible value the stored form leaves out.
    static constexpr bool StoredVisible = false;

    explicit TnbCloseButton(TnbSideBar *sideBar);
    ~TnbCloseButton() override;

    const char *ClassName() const override { return "TnbCloseButton"; }
    // Copies the seven properties inside one update of the bar.
    void Assign(const platform::Persistent &source) override;

    TnbHeader *Header() const { return FHeader.get(); }

    QString Caption() const { return FHeader->Caption(); }
    void SetCaption(const QString &value);
    const platform::Font &Font() const { return FHeader->Settings()->Font(); }
    void SetFont(const platform::Font &value);
    int Height() const { return FHeader->Settings()->Height(); }
    void SetHeight(int value);
    TImageIndex ImageIndex() const { return FHeader->ImageIndex(); }
    void SetImageIndex(TImageIndex value);
    std::uint16_t Margin() const { return FHeader->Margin(); }
    void SetMargin(std::uint16_t value);
    bool Transparent() const { return FHeader->Transparent(); }
    void SetTransparent(bool value);
    bool Visible() const { return FHeader->Visible(); }
    void SetVisible(bool value);

    // Fired (with the bar as sender) after the close box was released.
    TNotifyEvent OnClose;

    // Runtime: the strip's rectangle, the close box inside it (hidden while the caption
    // text reaches into it) and the close box state (0 idle, 1 pressed, 2 hot).
    platform::Rect CloseRect;
    platform::Rect BoxRect = HiddenRect;
    int State = 0;

private:
    void Refresh();

    TnbSideBar *FSideBar;
    std::unique_ptr<TnbHeader> FHeader;
};
