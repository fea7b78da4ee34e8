#include "platform/GlyphButton.h"

#include "platform/Handles.h"

namespace platform {

GlyphButton::GlyphButton(Form& owner, HWND parent, const std::wstring& name, const std::wstring& caption,
                         const Bounds& b)
    : Control(owner, parent, name, L"Button", caption, WS_TABSTOP | BS_OWNERDRAW, 0, b) {}

void GlyphButton::SetGlyph(const GlyphList* list, int normalIndex, int disabledIndex) {
    glyphs_ = list;
    normal_ = normalIndex;
    disabled_ = disabledIndex;
    Repaint();
}

void GlyphButton::SetColors(COLORREF frame, COLORREF face) {
    frameColor_ = frame;
    faceColor_ = face;
    Repaint();
}

void GlyphButton::SetHotTrack(bool on, COLORREF color) {
    hotTrack_ = on;
    hotColor_ = color;
    Repaint();
}

void GlyphButton::Command(WORD code) {
    if (code == BN_CLICKED && OnClick) {
        Control& self = *this;
        Guarded([&] { OnClick(self); });
    }
}

void GlyphButton::HotChanged() { InvalidateRect(Handle(), nullptr, FALSE); }

LRESULT GlyphButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDBLCLK:  // a quick second click is a click, not a double click
            return Default(WM_LBUTTONDOWN, wp, lp);
        case WM_GETDLGCODE: {
            // Report a push button so that the dialog manager handles it as one.
            HWND self = Handle();
            Form* f = &Owner();
            bool isDefault = f->DefaultButton() == self;
            return isDefault ? DLGC_DEFPUSHBUTTON | DLGC_BUTTON : DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON;
        }
        case WM_ENABLE:
        case WM_SETTEXT: {
            LRESULT r = Control::HandleMessage(msg, wp, lp);
            InvalidateRect(Handle(), nullptr, FALSE);
            return r;
        }
        case BM_SETSTYLE:  // the dialog manager must not turn it into a plain push button
            return Default(msg, (wp & ~static_cast<WPARAM>(0xF)) | BS_OWNERDRAW, lp);
        default:
            return Control::HandleMessage(msg, wp, lp);
    }
}

bool GlyphButton::DrawItem(const DRAWITEMSTRUCT& dis) {
    HDC dc = dis.hDC;
    RECT r = dis.rcItem;
    const bool pressed = (dis.itemState & ODS_SELECTED) != 0;
    const bool focused = (dis.itemState & ODS_FOCUS) != 0;
    const bool disabled = (dis.itemState & ODS_DISABLED) != 0 || !IsWindowEnabled(Handle());
    const bool isDefault = Owner().DefaultButton() == Handle();

    // The corners outside the rounded frame show the parent's colour.
    COLORREF parentColor = ButtonFace();
    if (Control* p = Control::FromHandle(GetParent(Handle())))
        parentColor = p->EffectiveColor();
    else if (Form* f = Form::FromHandle(GetParent(Handle())))
        parentColor = f->Color();
    FillRect(dc, &r, SolidBrush(parentColor));

    COLORREF face = faceColor_;
    if (pressed) {
        face = RGB(GetRValue(face) * 9 / 10, GetGValue(face) * 9 / 10, GetBValue(face) * 9 / 10);
    }
    {
        Pen framePen(CreatePen(PS_SOLID, 1, disabled ? GetSysColor(COLOR_GRAYTEXT) : frameColor_));
        SelectObjectScope sp(dc, framePen.get());
        SelectObjectScope sb(dc, SolidBrush(face));
        RoundRect(dc, r.left, r.top, r.right, r.bottom, 5, 5);
    }
    RECT inner = r;
    InflateRect(&inner, -1, -1);
    COLORREF innerColor = CLR_INVALID;
    if (!disabled && hotTrack_ && Hot())
        innerColor = hotColor_;
    else if (!disabled && (isDefault || focused))
        innerColor = highlight_;
    if (innerColor != CLR_INVALID) {
        Pen p(CreatePen(PS_INSIDEFRAME, 2, innerColor));
        SelectObjectScope sp(dc, p.get());
        SelectObjectScope sb(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, inner.left, inner.top, inner.right, inner.bottom, 4, 4);
    }

    // Glyph and caption, centred together.
    std::wstring text = Text();
    HFONT font = Font();
    SelectObjectScope sf(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE ts{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &ts);
    const bool glyph = HasGlyph();
    const int gs = glyph ? glyphs_->Size() : 0;
    const int total = ts.cx + (glyph ? gs + (text.empty() ? 0 : spacing_) : 0);
    int x = r.left + (r.right - r.left - total) / 2;
    const int shift = pressed ? 1 : 0;
    if (glyph) {
        int index = disabled && disabled_ >= 0 ? disabled_ : normal_;
        glyphs_->Draw(dc, index, x + shift, r.top + (r.bottom - r.top - gs) / 2 + shift);
        x += gs + spacing_;
    }
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : (TextColor() == CLR_INVALID ? RGB(0, 0, 0) : TextColor()));
    RECT tr{x + shift, r.top + shift, x + ts.cx + shift + 1, r.bottom + shift};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);

    if (focused && !(dis.itemState & ODS_NOFOCUSRECT)) {
        RECT fr = r;
        InflateRect(&fr, -3, -3);
        ::SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &fr);
    }
    return true;
}

}  // namespace platform
