// The bar in the stored form: its own table of properties, the two defined properties
// AlignInfo and ActiveIndex, and saving and loading the whole bar.

#include "navbar/nbInplaceEditor.h"
#include "navbar/nbSideBar.h"
#include "navbar/nbStreamObjects.h"
#include "platform/stream/FormFile.h"
#include "platform/stream/FormReader.h"
#include "platform/ui/PopupMenu.h"

using namespace platform;
using platform::stream::FormComponent;

namespace nbstream {

namespace {

constexpr const char *BevelCutNames[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
constexpr const char *BorderStyleNames[] = {"bsNone", "bsSingle"};
constexpr const char *ExplorerMethodNames[] = {"emStandard", "emCloseUp"};
constexpr const char *HeaderScrollTypeNames[] = {"stNone", "stLinear", "stAccelerated"};
constexpr const char *ScrollViewNames[] = {"ssNormal", "ssExpress", "ssToolBox"};
constexpr const char *ViewStyleNames[] = {"vsExplorerBar", "vsOutlook"};
constexpr const char *BarOptionNames[] = {"boAcceptOLEDrop",      "boActivateToolBoxScroller",
                                          "boAlwaysFlatScroller", "boAutoScroll",
                                          "boAutoChangeHeader",   "boChangeToDisabled",
                                          "boExplorerBorder",     "boFocusOnMouseEnter",
                                          "boHeaderFrame",        "boInternalDrop",
                                          "hoShowFocusRect"};
// The alignments AlignInfo writes and accepts; the platform's custom alignment is written
// by its name too but never accepted.
constexpr const char *AlignNames[] = {"alNone",  "alTop",    "alBottom", "alLeft",
                                      "alRight", "alClient", "alCustom"};
constexpr int AcceptedAligns = 6;

using T = TnbSideBar;

// Align as text; only the six plain alignments are taken back, anything else leaves
// Align as it is.
Property<T> AlignInfoProperty()
{
    Property<T> p;
    p.name = "AlignInfo";
    p.write = [](const T &bar, const QByteArray &prefix, PropertyList &out) {
        const int align = int(bar.Align());
        if (align >= 0 && align < int(std::size(AlignNames)))
            Put(out, prefix + "AlignInfo", FormValue::Text(QString::fromLatin1(AlignNames[align])));
    };
    p.read = [](T &bar, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                const ReadContext &) {
        LeafOnly(rest, path);
        const QString text = TextFrom(value, path);
        for (int i = 0; i < AcceptedAligns; ++i)
            if (text == QLatin1String(AlignNames[i]))
                bar.SetAlign(platform::Align(i));
    };
    return p;
}

// The index of the active header; kept until Loaded makes that header active.
Property<T> ActiveIndexProperty()
{
    Property<T> p;
    p.name = "ActiveIndex";
    p.write = [](const T &bar, const QByteArray &prefix, PropertyList &out) {
        Put(out, prefix + "ActiveIndex", FormValue::Integer(bar.ActiveIndex()));
    };
    p.read = [](T &bar, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                const ReadContext &) {
        LeafOnly(rest, path);
        bar.ReadActiveIndex(int(
            IntegerIn(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), path)));
    };
    return p;
}

// Control properties that are written only while they differ from a shown, enabled
// control. Visibility is never reset before loading, which would show a bar that is
// still being set up.
Property<T> EnabledProperty()
{
    return Boolean<T>(
        "Enabled", [](const T &bar) { return !bar.testAttribute(Qt::WA_ForceDisabled); },
        [](T &bar, bool value) { bar.setEnabled(value); }, true);
}

Property<T> VisibleProperty()
{
    Property<T> p = Boolean<T>(
        "Visible",
        [](const T &bar) { return !(bar.testAttribute(Qt::WA_WState_ExplicitShowHide) && bar.isHidden()); },
        [](T &bar, bool value) { bar.setVisible(value); }, true);
    p.reset = nullptr;
    return p;
}

} // namespace

const Schema<TnbSideBar> &SideBarSchema()
{
    static const Schema<T> schema{
        Extent(Integer<T>(
            "Left", [](const T &bar) { return bar.x(); }, [](T &bar, int v) { bar.move(v, bar.y()); })),
        Extent(Integer<T>(
            "Top", [](const T &bar) { return bar.y(); }, [](T &bar, int v) { bar.move(bar.x(), v); })),
        Extent(Integer<T>(
            "Width", [](const T &bar) { return bar.width(); },
            [](T &bar, int v) { bar.resize(v, bar.height()); })),
        Extent(Integer<T>(
            "Height", [](const T &bar) { return bar.height(); },
            [](T &bar, int v) { bar.resize(bar.width(), v); })),
        Color<T>("Color", &T::Color, &T::SetColor),
        EnabledProperty(),
        VisibleProperty(),
        Reference<T, platform::PopupMenu>("PopupMenu", &T::PopupMenu, &T::SetPopupMenu),
        SideBarCursorProperty(),
        Color<T>("AlertColor", &T::AlertColor, &T::SetAlertColor),
        Integer<T>("AlertInterval", &T::AlertInterval, &T::SetAlertInterval),
        Integer<T>("AutoButtonScrollDelay", &T::AutoButtonScrollDelay, &T::SetAutoButtonScrollDelay),
        Integer<T>("AutoScrollDelay", &T::AutoScrollDelay, &T::SetAutoScrollDelay),
        Integer<T>("AutoChangeDelay", &T::AutoChangeDelay, &T::SetAutoChangeDelay),
        Object<T, TnbCustomBackground>("Background", &T::Background, BackgroundSchema()),
        Enum<T>("BevelInner", &T::BevelInner, &T::SetBevelInner, BevelCutNames),
        Enum<T>("BevelOuter", &T::BevelOuter, &T::SetBevelOuter, BevelCutNames, T::StoredBevelOuter),
        Extent(Integer<T>("BevelWidth", &T::BevelWidth, &T::SetBevelWidth)),
        Object<T, TnbBorder>("Border", &T::Border, BorderSchema()),
        Enum<T>("BorderStyle", &T::BorderStyle, &T::SetBorderStyle, BorderStyleNames, T::StoredBorderStyle),
        Extent(Integer<T>("BorderWidth", &T::BorderWidth, &T::SetBorderWidth)),
        Boolean<T>("CommonStyle", &T::CommonStyle, &T::SetCommonStyle),
        Object<T, TnbCloseButton>("CloseButton", &T::CloseButton, CloseButtonSchema()),
        Color<T>("DropMarkColor", &T::DropMarkColor, &T::SetDropMarkColor),
        Boolean<T>("EachHeaderSelection", &T::EachHeaderSelection, &T::SetEachHeaderSelection),
        Enum<T>("ExplorerMethod", &T::ExplorerMethod, &T::SetExplorerMethod, ExplorerMethodNames),
        Boolean<T>("Flat", &T::Flat, &T::SetFlat),
        Collection<T, TnbHeader>("Headers", &T::Headers, HeaderSchema),
        Object<T, TnbHeaderImages>("HeaderImages", &T::HeaderImages, HeaderImagesSchema()),
        Object<T, TnbInplaceEditor>("InplaceEditor", &T::InplaceEditor, InplaceEditorSchema()),
        Integer<T>("HeaderScrollAcceleration", &T::HeaderScrollAcceleration, &T::SetHeaderScrollAcceleration),
        Integer<T>("ScrollChange", &T::ScrollChange, &T::SetScrollChange),
        Enum<T>("HeaderScrollType", &T::HeaderScrollType, &T::SetHeaderScrollType, HeaderScrollTypeNames),
        Integer<T>("HeaderScrollValue", &T::HeaderScrollValue, &T::SetHeaderScrollValue),
        Integer<T>("ScrollBoxSize", &T::ScrollBoxSize, &T::SetScrollBoxSize),
        Object<T, TnbBarSettings>("Settings", &T::Settings, SettingsSchema()),
        Enum<T>("ScrollView", &T::ScrollView, &T::SetScrollView, ScrollViewNames),
        Set<T>("Options", &T::Options, &T::SetOptions, BarOptionNames),
        // Read-only: written for the record, ignored when read.
        Text<T>("Version", &T::Version, &T::SetVersion, false),
        Enum<T>("ViewStyle", &T::ViewStyle, &T::SetViewStyle, ViewStyleNames),
        EventMember<T>("OnChange", &T::OnChange),
        EventMember<T>("OnCanChange", &T::OnCanChange),
        EventMember<T>("OnChangeViewStyle", &T::OnChangeViewStyle),
        EventMember<T>("OnAfterChangeStyle", &T::OnAfterChangeStyle),
        EventMember<T>("OnDrawHeaderButtons", &T::OnDrawHeaderButtons),
        EventMember<T>("OnAfterDrawHeaderButtons", &T::OnAfterDrawHeaderButtons),
        EventMember<T>("OnDrawCloseButton", &T::OnDrawCloseButton),
        EventProperty<T, TnbEventDrawHeader>("OnDrawCloseHeader", &T::OnDrawCloseHeader,
                                             &T::SetOnDrawCloseHeader),
        EventProperty<T, TnbEventDrawHeader>("OnAfterDrawCloseHeader", &T::OnAfterDrawCloseHeader,
                                             &T::SetOnAfterDrawCloseHeader),
        EventProperty<T, TNotifyEvent>("OnClose", &T::OnClose, &T::SetOnClose),
        EventMember<T>("OnShow", &T::OnShow),
        EventMember<T>("OnHide", &T::OnHide),
        EventMember<T>("OnContextPopup", &T::OnContextPopup),
        EventMember<T>("OnEditorContextPopup", &T::OnEditorContextPopup),
        EventMember<T>("OnDragAllowed", &T::OnDragAllowed),
        EventMember<T>("OnDragOver", &T::OnDragOver),
        EventMember<T>("OnDragEnter", &T::OnDragEnter),
        EventMember<T>("OnDragDrop", &T::OnDragDrop),
        AlignInfoProperty(),
        ActiveIndexProperty(),
    };
    return schema;
}

} // namespace nbstream

// ---- Saving and loading ----------------------------------------------------------------

void TnbSideBar::SaveToStream(QIODevice &stream)
{
    FormComponent root;
    root.className = ClassName();
    // The stored record carries this fixed name, whatever the bar is called.
    root.name = SaveDataName;
    nbstream::WriteObject(*this, nbstream::SideBarSchema(), QByteArray(), root.properties);
    platform::stream::WriteFormStream(stream, root);
}

void TnbSideBar::LoadFromStream(QIODevice &stream)
{
    BeginUpdate();
    try {
        // The whole stream is read, and applied to a scratch bar, before anything here
        // changes: a stream that is damaged, or one this bar refuses (an unknown property,
        // a value of the wrong kind, wherever it stands), leaves the bar exactly as it
        // was. The bar's own name is never taken from the stream.
        const FormComponent root = platform::stream::ReadFormStream(stream);
        if (root.className != ClassName() || !root.children.empty())
            throw platform::stream::StreamError(
                QStringLiteral("组件流中的组件 %1 不是导航栏").arg(QString::fromLatin1(root.className)));
        {
            // Inside a widget that is never shown, so a stored Visible shows nothing.
            QWidget hidden;
            TnbSideBar scratch(&hidden);
            scratch.SetOwnerForm(FOwnerForm);
            scratch.ApplyStoredProperties(root);
        }
        ApplyStoredProperties(root);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TnbSideBar::ApplyStoredProperties(const FormComponent &root)
{
    try {
        Loading();
        // Headers replaced by the stream go without a header switch.
        FActiveHeader = nullptr;
        FStoredActiveIndex = -1;
        nbstream::ResetObject(*this, nbstream::SideBarSchema());
        nbstream::ReadProperties(*this, nbstream::SideBarSchema(), root.properties,
                                 nbstream::ReadContext{FOwnerForm});
        Loaded();
    } catch (const TnbError &error) {
        FLoading = false;
        throw platform::stream::StreamError(error.Message());
    } catch (...) {
        FLoading = false;
        throw;
    }
}

void TnbSideBar::SaveToFile(const QString &fileName)
{
    platform::stream::SaveStreamFile(fileName, [this](QIODevice &file) { SaveToStream(file); });
}

void TnbSideBar::LoadFromFile(const QString &fileName)
{
    platform::stream::LoadStreamFile(fileName, [this](QIODevice &file) { LoadFromStream(file); });
}
