#include "navbar/nbImages.h"

#include "navbar/nbHeaders.h"
#include "navbar/nbSideBar.h"

using platform::ImageList;

namespace {

// The image list if it holds image `index`, else none.
ImageList *Holding(ImageList *list, int index)
{
    return list && index >= 0 && index < list->Count() ? list : nullptr;
}

} // namespace

// ---- TnbButtonImages ---------------------------------------------------------------

TnbButtonImages::TnbButtonImages(TnbHeader *owner) : FOwner(owner)
{
    for (auto &link : FLinks)
        link.OnChange = [this] { Changed(); };
}

TnbButtonImages::~TnbButtonImages() = default;

void TnbButtonImages::Assign(const platform::Persistent &source)
{
    const auto *other = dynamic_cast<const TnbButtonImages *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    for (int i = Normal; i <= DisabledSmall; ++i)
        SetList(i, other->List(i));
}

ImageList *TnbButtonImages::List(int index) const
{
    if (index < Normal || index > DisabledSmall)
        return nullptr;
    return FLists[std::size_t(index - 1)];
}

void TnbButtonImages::SetList(int index, ImageList *value)
{
    if (index < Normal || index > DisabledSmall)
        return;
    const std::size_t i = std::size_t(index - 1);
    // A list that went away has already detached the link.
    if (FLinks[i].Sender())
        FLinks[i].Sender()->UnRegisterChanges(FLinks[i]);
    FLists[i] = value;
    if (value) {
        value->RegisterChanges(FLinks[i]);
        if (FOwner && FOwner->SideBar())
            FOwner->SideBar()->FreeNotification(value);
    }
    Changed();
}

ImageList *TnbButtonImages::ListFor(TnbButtonStyle style, TnbButtonState state, bool enabled,
                                    int imageIndex) const
{
    const bool large = style == bsLarge;
    ImageList *normal = List(large ? Normal : Small);
    ImageList *chosen = normal;
    if (state == bstDisabled || !enabled) {
        if (ImageList *disabled = List(large ? Disabled : DisabledSmall))
            chosen = disabled;
    } else if (state == bstDown || state == bstHot) {
        if (ImageList *hot = List(large ? Hot : HotSmall))
            chosen = hot;
    }
    return Holding(chosen, imageIndex);
}

void TnbButtonImages::Changed()
{
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

// ---- TnbHeaderImages ---------------------------------------------------------------

TnbHeaderImages::TnbHeaderImages(TnbSideBar *owner) : FOwner(owner) {}

void TnbHeaderImages::Assign(const platform::Persistent &source)
{
    const auto *other = dynamic_cast<const TnbHeaderImages *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    SetNormal(other->FNormal);
    SetHot(other->FHot);
}

ImageList *TnbHeaderImages::List(int index) const
{
    switch (index) {
    case Normal:
        return FNormal;
    case Hot:
        return FHot;
    default:
        return nullptr;
    }
}

void TnbHeaderImages::SetList(int index, ImageList *value)
{
    if (index != Normal && index != Hot)
        return;
    (index == Normal ? FNormal : FHot) = value;
    if (value && FOwner)
        FOwner->FreeNotification(value);
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

ImageList *TnbHeaderImages::ListFor(TnbButtonState state, bool selectedImage, int imageIndex) const
{
    ImageList *chosen = FNormal;
    if ((state == bstDown || state == bstHot || selectedImage) && FHot)
        chosen = FHot;
    return Holding(chosen, imageIndex);
}
