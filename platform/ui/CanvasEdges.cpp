// Three-dimensional edges and the check box, radio button and push button marks.

#include "platform/ui/Canvas.h"

#include <array>

namespace platform {

namespace {

// Colour tables of the edges, indexed by the edge kind (outer bits 0-1, inner bits 2-3).
// 0 means "no line"; a lone inner edge is drawn with the colours in its outer slot.
constexpr TColor None = 0;
using Table = std::array<TColor, 16>;

constexpr Table LTInnerNormal = {None,           None, None, None,         None,         clBtnHighlight,
                                 clBtnHighlight, None, None, cl3DDkShadow, cl3DDkShadow, None,
                                 None,           None, None, None};
constexpr Table LTOuterNormal = {None,        cl3DLight, clBtnShadow,  None,      clBtnHighlight, cl3DLight,
                                 clBtnShadow, None,      cl3DDkShadow, cl3DLight, clBtnShadow,    None,
                                 None,        cl3DLight, clBtnShadow,  None};
constexpr Table RBInnerNormal = {None, None,      None,      None, None, clBtnShadow, clBtnShadow, None,
                                 None, cl3DLight, cl3DLight, None, None, None,        None,        None};
constexpr Table RBOuterNormal = {
    None,      cl3DDkShadow, clBtnHighlight, None, clBtnShadow, cl3DDkShadow, clBtnHighlight, None,
    cl3DLight, cl3DDkShadow, clBtnHighlight, None, None,        cl3DDkShadow, clBtnHighlight, None};
constexpr Table LTInnerSoft = {None, None,        None,        None, None, cl3DLight, cl3DLight, None,
                               None, clBtnShadow, clBtnShadow, None, None, None,      None,      None};
constexpr Table LTOuterSoft = {
    None,        clBtnHighlight, cl3DDkShadow, None, cl3DLight, clBtnHighlight, cl3DDkShadow, None,
    clBtnShadow, clBtnHighlight, cl3DDkShadow, None, None,      clBtnHighlight, cl3DDkShadow, None};

} // namespace

bool Canvas::DrawEdge(Rect &r, unsigned edge, unsigned flags)
{
    // A lone inner edge has its colours in the outer slot of the tables.
    const unsigned e = edge & 0xF;
    const bool soft = (flags & BF_SOFT) != 0;
    const TColor ltOuter = soft ? LTOuterSoft[e] : LTOuterNormal[e];
    const TColor ltInner = soft ? LTInnerSoft[e] : LTInnerNormal[e];
    const TColor rbOuter = RBOuterNormal[e];
    const TColor rbInner = RBInnerNormal[e];

    Rect k = r;
    // One frame: top and left lines first, bottom and right over them, so the two far
    // corners take the bottom-right colour.
    const auto frame = [&](TColor lt, TColor rb) {
        if (lt != None) {
            if (flags & BF_TOP)
                FillRect({k.Left, k.Top, k.Right, k.Top + 1}, lt);
            if (flags & BF_LEFT)
                FillRect({k.Left, k.Top, k.Left + 1, k.Bottom}, lt);
        }
        if (rb != None) {
            if (flags & BF_BOTTOM)
                FillRect({k.Left, k.Bottom - 1, k.Right, k.Bottom}, rb);
            if (flags & BF_RIGHT)
                FillRect({k.Right - 1, k.Top, k.Right, k.Bottom}, rb);
        }
    };
    const auto shrink = [&](bool any) {
        if (!any)
            return;
        if (flags & BF_LEFT)
            ++k.Left;
        if (flags & BF_TOP)
            ++k.Top;
        if (flags & BF_RIGHT)
            --k.Right;
        if (flags & BF_BOTTOM)
            --k.Bottom;
    };
    frame(ltOuter, rbOuter);
    shrink(ltOuter != None || rbOuter != None);
    frame(ltInner, rbInner);
    shrink(ltInner != None || rbInner != None);

    if (flags & BF_MIDDLE)
        FillRect(k, clBtnFace);
    if (flags & BF_ADJUST)
        r = k;
    return true;
}

bool Canvas::DrawFrameControl(const Rect &r, unsigned type, unsigned state)
{
    if (type != DFC_BUTTON || r.IsEmpty())
        return false;
    const bool inactive = state & DFCS_INACTIVE;
    const bool pushed = state & DFCS_PUSHED;
    const bool checked = state & DFCS_CHECKED;
    const bool flat = state & DFCS_FLAT;

    if (state & DFCS_BUTTONPUSH) {
        Rect k = r;
        if (flat) {
            FrameRect(k, clBtnShadow);
            FillRect(k.Inflated(-1, -1), clBtnFace);
        } else {
            DrawEdge(k, pushed || checked ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
        }
        if (checked && !pushed) {
            // A latched push button: a checker of face and highlight inside.
            const Rect in = r.Inflated(-2, -2);
            for (int y = in.Top; y < in.Bottom; ++y)
                for (int x = in.Left; x < in.Right; ++x)
                    if (((x + y) & 1) == 0)
                        SetPixel(x, y, clBtnHighlight);
        }
        return true;
    }

    // Check marks and radio dots sit in a 13 × 13 square centred in r.
    const int side = std::min({13, r.Width(), r.Height()});
    const int left = r.Left + (r.Width() - side) / 2;
    const int top = r.Top + (r.Height() - side) / 2;
    const Rect box = Rect::Bounds(left, top, side, side);
    const TColor face = inactive || pushed ? clBtnFace : clWindow;
    const TColor mark = inactive ? clBtnShadow : clWindowText;

    if (state & DFCS_BUTTONRADIO) {
        // Outer ring: shadow over the top-left half, highlight below-right; the inner ring
        // dark shadow / light; then the face and the dot.
        const Rect inner = box.Inflated(-1, -1);
        const Rect face2 = box.Inflated(-2, -2);
        for (int y = box.Top; y < box.Bottom; ++y)
            for (int x = box.Left; x < box.Right; ++x) {
                if (!InEllipse(box, x, y))
                    continue;
                const bool upperLeft = (x - box.Left) + (y - box.Top) < side - 1;
                TColor c;
                if (!InEllipse(inner, x, y))
                    c = upperLeft ? clBtnShadow : clBtnHighlight;
                else if (!InEllipse(face2, x, y))
                    c = upperLeft ? cl3DDkShadow : cl3DLight;
                else
                    c = face;
                SetPixel(x, y, c);
            }
        if (checked) {
            const Rect dot = Rect::Bounds(box.Left + (side - 5) / 2, box.Top + (side - 5) / 2, 5, 5);
            for (int y = dot.Top; y < dot.Bottom; ++y)
                for (int x = dot.Left; x < dot.Right; ++x)
                    if (InEllipse(dot, x, y))
                        SetPixel(x, y, mark);
        }
        return true;
    }

    // Check box.
    Rect k = box;
    if (flat) {
        FrameRect(k, clBtnShadow);
        k = k.Inflated(-1, -1);
    } else {
        DrawEdge(k, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    FillRect(k, face);
    if (checked) {
        // The classic seven-pixel tick, three pixels thick.
        const int x0 = k.Left + (k.Width() - 7) / 2;
        const int y0 = k.Top + (k.Height() - 7) / 2 + 2;
        static constexpr int rise[7] = {2, 3, 4, 3, 2, 1, 0};
        for (int i = 0; i < 7; ++i)
            for (int t = 0; t < 3; ++t)
                SetPixel(x0 + i, y0 + rise[i] + t - 2, mark);
    }
    return true;
}

} // namespace platform
