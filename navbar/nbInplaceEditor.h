#pragma once

// The bar's caption editor: an edit box that stands over a header caption or a button
// label and, when the edit ends, writes its text back as that item's caption.

#include "navbar/nbTypes.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/Font.h"
#include "platform/ui/PopupMenu.h"

#include <QPointer>
#include <QTextEdit>
#include <functional>

class QImage;

// The edit box of the caption editor: a multi-line edit whose frame the box draws itself
// (flat, in BorderColor, or sunken). Enter, Escape and leaving the box are reported
// through OnKeyDown and OnExit, right clicks through OnContextPopup.
class TnbInplaceEdit : public QTextEdit, public platform::Persistent
{
public:
    // Edit styles of the box's window.
    static constexpr unsigned ES_LEFT = 0x0;
    static constexpr unsigned ES_CENTER = 0x1;
    static constexpr unsigned ES_RIGHT = 0x2;
    static constexpr unsigned ES_MULTILINE = 0x4;
    static constexpr unsigned ES_AUTOVSCROLL = 0x40;
    static constexpr unsigned ES_AUTOHSCROLL = 0x80;
    // Virtual keys the box reports.
    static constexpr int VK_RETURN = 13;
    static constexpr int VK_ESCAPE = 27;
    // Width of the frame round the text, the system's client edge.
    static constexpr int FrameWidth = 2;

    explicit TnbInplaceEdit(QWidget *parent);

    const char *ClassName() const override { return "TnbInplaceEdit"; }

    platform::Alignment Alignment() const { return FAlignment; }
    // Recreates the window.
    void SetAlignment(platform::Alignment value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    bool ShowBorder() const { return FShowBorder; }
    void SetShowBorder(bool value);
    TColor BorderColor() const { return FBorderColor; }
    // Redraws the frame when Flat.
    void SetBorderColor(TColor value);
    bool WordWrap() const { return FWordWrap; }
    // Recreates the window.
    void SetWordWrap(bool value);
    // The box's own colour: its background and the colour that covers the system border.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    const platform::Font &Font() const { return FFont; }
    void SetFont(const platform::Font &value);
    platform::PopupMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(platform::PopupMenu *value) { FPopupMenu = value; }
    QString Text() const { return toPlainText(); }
    void SetText(const QString &value) { setPlainText(value); }

    // The edit styles the window has for the current properties: always multi-line;
    // automatic horizontal scrolling only without WordWrap; the alignment.
    unsigned WindowStyle() const;

    // Draws the frame over the border of `image`, an image of the whole box.
    void PaintFrame(QImage &image) const;

    // Key (a virtual key) may be set to 0 to swallow it. Shift holds the modifier keys.
    std::function<void(platform::Persistent *Sender, int &Key, platform::ShiftState Shift)> OnKeyDown;
    TNotifyEvent OnExit;
    TContextPopupEvent OnContextPopup;

protected:
    // Makes the window anew with the edit styles of the current properties.
    virtual void RecreateWnd();
    // Invalidates the whole box with its frame.
    void RedrawFrame();

    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void ApplyStyle();

    platform::Alignment FAlignment = platform::taLeftJustify;
    bool FFlat = true;
    bool FShowBorder = true;
    TColor FBorderColor = platform::clBtnShadow;
    bool FWordWrap = true;
    TColor FColor = platform::clWindow;
    platform::Font FFont;
    // A menu that goes away leaves the box without one.
    QPointer<platform::PopupMenu> FPopupMenu;
};

// The caption editor a bar owns. No operation of the bar opens an edit; an open edit
// ends by Enter (commit), Escape (cancel) or leaving the box (commit). While it is open
// the bar leaves mouse input and the focus alone.
class TnbInplaceEditor : public platform::Persistent
{
public:
    // The edit box is created hidden with `sideBar` as its parent.
    explicit TnbInplaceEditor(TnbSideBar *sideBar);
    ~TnbInplaceEditor() override;
    TnbInplaceEditor(const TnbInplaceEditor &) = delete;
    TnbInplaceEditor &operator=(const TnbInplaceEditor &) = delete;

    const char *ClassName() const override { return "TnbInplaceEditor"; }
    // Copies the font, Flat, BorderColor and ShowBorder of another editor (not Alignment
    // or WordWrap), then fires OnChange.
    void Assign(const platform::Persistent &source) override;

    platform::Alignment Alignment() const { return FEdit->Alignment(); }
    void SetAlignment(platform::Alignment value) { FEdit->SetAlignment(value); }
    TColor BorderColor() const { return FEdit->BorderColor(); }
    void SetBorderColor(TColor value) { FEdit->SetBorderColor(value); }
    bool Flat() const { return FEdit->Flat(); }
    void SetFlat(bool value) { FEdit->SetFlat(value); }
    bool ShowBorder() const { return FEdit->ShowBorder(); }
    void SetShowBorder(bool value) { FEdit->SetShowBorder(value); }
    const platform::Font &Font() const { return FEdit->Font(); }
    void SetFont(const platform::Font &value) { FEdit->SetFont(value); }
    bool WordWrap() const { return FEdit->WordWrap(); }
    void SetWordWrap(bool value) { FEdit->SetWordWrap(value); }
    platform::PopupMenu *PopupMenu() const { return FEdit->PopupMenu(); }
    void SetPopupMenu(platform::PopupMenu *value) { FEdit->SetPopupMenu(value); }
    const TContextPopupEvent &OnContextPopup() const { return FEdit->OnContextPopup; }
    void SetOnContextPopup(const TContextPopupEvent &value) { FEdit->OnContextPopup = value; }

    // Fired with the editor as sender after a commit.
    TNotifyEvent OnChange;

    TnbInplaceEdit *EditBox() const { return FEdit; }
    // An edit is open.
    bool Editing() const { return FOpen; }
    // The item being edited (a header or a button) and whether it is a header.
    platform::Persistent *EditItem() const { return FEditItem; }
    bool HeaderEdit() const { return FHeaderEdit; }

    // Opens an edit of a header caption or a button label: the box stands over it with
    // the caption as its text and takes the focus.
    void BeginEdit(TnbHeader *header);
    void BeginEdit(TnbButton *button);
    // Ends an open edit (nothing when none is open): hides the box and, unless
    // `cancel`, writes its text back as the item's caption.
    void EndEdit(bool cancel);
    // An item that goes away ends its edit without writing back.
    void ForgetItem(platform::Persistent *item);

protected:
    // Writes the text back as the caption of the edited item and fires OnChange, unless
    // `cancel`.
    virtual void ApplyEdit(bool cancel);

private:
    void Open(platform::Persistent *item, bool header, const QString &caption, const platform::Rect &where);

    TnbSideBar *FSideBar;
    TnbInplaceEdit *FEdit;
    platform::Persistent *FEditItem = nullptr;
    bool FHeaderEdit = false;
    bool FOpen = false;
};
