#pragma once

#include "navbar/nbTypes.h"
#include "platform/ui/ImageList.h"

#include <array>

// The image lists of one header's buttons, one per size and state. The lists are only
// referenced; a change inside any of them is reported like a change of this object.
class TnbButtonImages : public platform::Persistent
{
public:
    enum Index { Normal = 1, Hot, Small, HotSmall, Disabled, DisabledSmall };

    explicit TnbButtonImages(TnbHeader *owner);
    ~TnbButtonImages() override;

    const char *ClassName() const override { return "TnbButtonImages"; }
    void Assign(const platform::Persistent &source) override;

    // Indexed access, 1 to 6 in the order of Index; other indexes read none and are
    // ignored when written.
    platform::ImageList *List(int index) const;
    void SetList(int index, platform::ImageList *value);

    platform::ImageList *NormalList() const { return List(Normal); }
    void SetNormal(platform::ImageList *value) { SetList(Normal, value); }
    platform::ImageList *HotList() const { return List(Hot); }
    void SetHot(platform::ImageList *value) { SetList(Hot, value); }
    platform::ImageList *SmallList() const { return List(Small); }
    void SetSmall(platform::ImageList *value) { SetList(Small, value); }
    platform::ImageList *HotSmallList() const { return List(HotSmall); }
    void SetHotSmall(platform::ImageList *value) { SetList(HotSmall, value); }
    platform::ImageList *DisabledList() const { return List(Disabled); }
    void SetDisabled(platform::ImageList *value) { SetList(Disabled, value); }
    platform::ImageList *DisabledSmallList() const { return List(DisabledSmall); }
    void SetDisabledSmall(platform::ImageList *value) { SetList(DisabledSmall, value); }

    // The list a button of the given effective style shows in the given state (a
    // disabled button counts as bstDisabled), or none when that list is missing or does
    // not hold `imageIndex`.
    platform::ImageList *ListFor(TnbButtonStyle style, TnbButtonState state, bool enabled,
                                 int imageIndex) const;

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    void SetOnChangeParameter(const TNotifyEvent &value) { FOnChangeParameter = value; }

private:
    void Changed();

    TnbHeader *FOwner;
    std::array<platform::ImageList *, 6> FLists{};
    std::array<platform::ImageListChangeLink, 6> FLinks;
    TNotifyEvent FOnChangeParameter;
};

// The image lists of the header captions of one bar: Normal (1) and Hot (2).
class TnbHeaderImages : public platform::Persistent
{
public:
    enum Index { Normal = 1, Hot };

    explicit TnbHeaderImages(TnbSideBar *owner);

    const char *ClassName() const override { return "TnbHeaderImages"; }
    void Assign(const platform::Persistent &source) override;

    platform::ImageList *List(int index) const;
    void SetList(int index, platform::ImageList *value);
    platform::ImageList *NormalList() const { return List(Normal); }
    void SetNormal(platform::ImageList *value) { SetList(Normal, value); }
    platform::ImageList *HotList() const { return List(Hot); }
    void SetHot(platform::ImageList *value) { SetList(Hot, value); }

    // The list a caption shows: Hot (if assigned, else Normal) when the caption is
    // pressed or hot or `selectedImage` (the active caption of a header with
    // hoShowSelectedImage); Normal otherwise. None when the list lacks `imageIndex`.
    platform::ImageList *ListFor(TnbButtonState state, bool selectedImage, int imageIndex) const;

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    void SetOnChangeParameter(const TNotifyEvent &value) { FOnChangeParameter = value; }

private:
    TnbSideBar *FOwner;
    platform::ImageList *FNormal = nullptr;
    platform::ImageList *FHot = nullptr;
    TNotifyEvent FOnChangeParameter;
};
