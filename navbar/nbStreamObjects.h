#pragma once

// The stored-property tables of the bar's classes.

#include "navbar/nbHeaders.h"
#include "navbar/nbStreamSchema.h"

class TnbInplaceEditor;
class TnbSideBar;

namespace nbstream {

const Schema<TnbGradient> &GradientSchema();
const Schema<TnbCustomBackground> &BackgroundSchema();
const Schema<TnbBorder> &BorderSchema();
const Schema<TnbXPColors> &XPColorsSchema();
const Schema<TnbStatusButton> &StatusButtonSchema();
const Schema<TnbGlyph> &GlyphSchema();
const Schema<TnbButtonImages> &ButtonImagesSchema();
const Schema<TnbHeaderImages> &HeaderImagesSchema();
const Schema<TnbBarSettings> &SettingsSchema();
const Schema<TnbCloseButton> &CloseButtonSchema();
const Schema<TnbInplaceEditor> &InplaceEditorSchema();
// The bar's own cursor.
Property<TnbSideBar> SideBarCursorProperty();
const Schema<TnbButton> &ButtonSchema();
const Schema<TnbHeader> &HeaderSchema();
const Schema<TnbSideBar> &SideBarSchema();

} // namespace nbstream
