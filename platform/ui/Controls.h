#pragma once

// Value types shared by the controls: the member names are the ones the stored window
// layouts use, so they stay as they are written there.
namespace platform {

enum Alignment { taLeftJustify, taRightJustify, taCenter };

enum BiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

enum CheckBoxState { cbUnchecked, cbChecked, cbGrayed };

enum BevelCut { bvNone, bvLowered, bvRaised, bvSpace };

enum BorderStyle { bsNone, bsSingle };

enum Align { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// Cursor identifiers; 0 is the default arrow.
using Cursor = int;
inline constexpr Cursor crDefault = 0;

} // namespace platform
