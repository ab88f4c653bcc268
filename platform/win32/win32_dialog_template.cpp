#include "platform/win32/win32_dialog_template.h"

#include <iterator>
#include <string_view>

#include "platform/win32/win32_text.h"

namespace osa::win32 {

namespace {

using dlg::ControlClass;

class WordWriter {
  public:
    explicit WordWriter(std::vector<WORD>& out) : out_(out) {}
    void Word(WORD w) { out_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Short(int v) { Word(static_cast<WORD>(static_cast<std::int16_t>(v))); }
    void Text(std::string_view utf8) {
        for (wchar_t c : Widen(utf8))
            Word(static_cast<WORD>(c));
        Word(0);
    }
    void Ordinal(WORD n) {
        Word(0xFFFF);
        Word(n);
    }
    void AlignToDword() {
        if (out_.size() % 2 != 0) Word(0);
    }

  private:
    std::vector<WORD>& out_;
};

DWORD StaticAlignment(std::uint32_t flags) {
    if (flags & dlg::CsCenter) return SS_CENTER;
    if (flags & dlg::CsRight) return SS_RIGHT;
    return SS_LEFT;
}

DWORD ButtonAlignment(std::uint32_t flags) {
    DWORD style = 0;
    if (flags & dlg::CsLeft) style |= BS_LEFT;
    if (flags & dlg::CsCenter) style |= BS_CENTER;
    if (flags & dlg::CsRight) style |= BS_RIGHT;
    if (flags & dlg::CsCenterVertically) style |= BS_VCENTER;
    return style;
}

DWORD EditAlignment(std::uint32_t flags) {
    if (flags & dlg::CsCenter) return ES_CENTER;
    if (flags & dlg::CsRight) return ES_RIGHT;
    return ES_LEFT;
}

// The static image flags that apply to every kind of static.
DWORD StaticExtras(std::uint32_t flags) {
    DWORD style = 0;
    if (flags & dlg::CsCenterVertically) style |= SS_CENTERIMAGE;
    if (flags & dlg::CsSunken) style |= SS_SUNKEN;
    return style;
}

bool ShowsResource(ControlClass cls) {
    return cls == ControlClass::Picture || cls == ControlClass::Icon;
}

} // namespace

ControlAtom ControlClassAtom(ControlClass cls) {
    switch (cls) {
    case ControlClass::PushButton:
    case ControlClass::DefPushButton:
    case ControlClass::AutoCheckBox:
    case ControlClass::AutoRadioButton:
    case ControlClass::GroupBox:
        return ControlAtom::Button;
    case ControlClass::Edit:
        return ControlAtom::Edit;
    case ControlClass::DropDownList:
        return ControlAtom::ComboBox;
    case ControlClass::HScrollBar:
    case ControlClass::VScrollBar:
        return ControlAtom::ScrollBar;
    case ControlClass::Static:
    case ControlClass::Picture:
    case ControlClass::Icon:
    case ControlClass::BlackFrame:
        break;
    }
    return ControlAtom::Static;
}

Win32Styles DialogStyles(const dlg::DialogTemplate& dialog) {
    const std::uint32_t f = dialog.style;
    // The template always names its font.
    Win32Styles s{DS_SETFONT, 0};
    if (f & dlg::DsPopup) s.style |= WS_POPUP;
    if (f & dlg::DsChild) s.style |= WS_CHILD;
    if (f & dlg::DsVisible) s.style |= WS_VISIBLE;
    if (f & dlg::DsCaption) s.style |= WS_CAPTION;
    if (f & dlg::DsSysMenu) s.style |= WS_SYSMENU;
    if (f & dlg::DsMinimizeBox) s.style |= WS_MINIMIZEBOX;
    if (f & dlg::DsModalFrame) s.style |= DS_MODALFRAME;
    if (f & dlg::DsCentre) s.style |= DS_CENTER;
    if (f & dlg::DsSetForeground) s.style |= DS_SETFOREGROUND;
    if (f & dlg::DsControlParent) {
        // A page inside another dialog: Tab moves through its controls as
        // if they were the parent's own.
        s.style |= DS_CONTROL;
        s.exStyle |= WS_EX_CONTROLPARENT;
    }
    return s;
}

Win32Styles ControlStyles(const dlg::ControlTemplate& control) {
    const std::uint32_t f = control.style;
    Win32Styles s{WS_CHILD, 0};
    if (!(f & dlg::CsHidden)) s.style |= WS_VISIBLE;
    if (f & dlg::CsDisabled) s.style |= WS_DISABLED;
    if (f & dlg::CsGroup) s.style |= WS_GROUP;
    if (f & dlg::CsTabStop) s.style |= WS_TABSTOP;
    if (f & dlg::CsBorder) s.style |= WS_BORDER;
    if (f & dlg::CsVScroll) s.style |= WS_VSCROLL;

    switch (control.cls) {
    case ControlClass::PushButton:
        s.style |= BS_PUSHBUTTON | ButtonAlignment(f);
        break;
    case ControlClass::DefPushButton:
        s.style |= BS_DEFPUSHBUTTON | ButtonAlignment(f);
        break;
    case ControlClass::AutoCheckBox:
        s.style |= BS_AUTOCHECKBOX | ButtonAlignment(f);
        if (f & dlg::CsPushLike) s.style |= BS_PUSHLIKE;
        break;
    case ControlClass::AutoRadioButton:
        s.style |= BS_AUTORADIOBUTTON | ButtonAlignment(f);
        if (f & dlg::CsPushLike) s.style |= BS_PUSHLIKE;
        break;
    case ControlClass::GroupBox:
        s.style |= BS_GROUPBOX | ButtonAlignment(f);
        break;
    case ControlClass::Edit:
        s.style |= EditAlignment(f);
        if (f & dlg::CsAutoHScroll) s.style |= ES_AUTOHSCROLL;
        break;
    case ControlClass::DropDownList:
        s.style |= CBS_DROPDOWNLIST;
        break;
    case ControlClass::Static:
        s.style |= StaticAlignment(f) | StaticExtras(f);
        break;
    case ControlClass::Picture:
        s.style |= SS_BITMAP | StaticExtras(f);
        break;
    case ControlClass::Icon:
        s.style |= SS_ICON | StaticExtras(f);
        break;
    case ControlClass::BlackFrame:
        s.style |= SS_BLACKFRAME | StaticExtras(f);
        break;
    case ControlClass::HScrollBar:
        s.style |= SBS_HORZ;
        break;
    case ControlClass::VScrollBar:
        s.style |= SBS_VERT;
        break;
    }
    return s;
}

int BitmapScaleAtMost(int percent) {
    int best = BitmapScales[0];
    for (int scale : BitmapScales)
        if (scale <= percent + 2) best = scale;
    return best;
}

int ScaledBitmapId(int bitmap, int scale) {
    for (int k = 0; k < static_cast<int>(std::size(BitmapScales)); ++k)
        if (BitmapScales[k] == scale) return bitmap + 10000 * k;
    return bitmap;
}

DialogTemplateImage::DialogTemplateImage(const dlg::DialogTemplate& dialog,
                                         int (*bitmapFor)(int bitmap, const void* context),
                                         const void* context) {
    WordWriter w(words_);
    const Win32Styles styles = DialogStyles(dialog);

    w.Word(1);      // dlgVer
    w.Word(0xFFFF); // signature: extended template
    w.Dword(0);     // helpID
    w.Dword(styles.exStyle);
    w.Dword(styles.style);
    w.Word(static_cast<WORD>(dialog.controls.size()));
    w.Short(dialog.rect.x);
    w.Short(dialog.rect.y);
    w.Short(dialog.rect.cx);
    w.Short(dialog.rect.cy);
    w.Word(0); // no menu
    w.Word(0); // the predefined dialog class
    w.Text(dialog.caption);
    w.Word(static_cast<WORD>(dialog.pointSize));
    w.Word(FW_NORMAL);
    w.Word(static_cast<WORD>(DEFAULT_CHARSET << 8)); // italic 0 (low byte), charset
    w.Text(dialog.font);

    for (const dlg::ControlTemplate& control : dialog.controls) {
        w.AlignToDword();
        const Win32Styles cs = ControlStyles(control);
        w.Dword(0); // helpID
        w.Dword(cs.exStyle);
        w.Dword(cs.style);
        w.Short(control.rect.x);
        w.Short(control.rect.y);
        w.Short(control.rect.cx);
        w.Short(control.rect.cy);
        // NoId (-1) is stored as 0xFFFFFFFF, as a resource compiler writes it.
        w.Dword(static_cast<DWORD>(control.id));
        w.Ordinal(static_cast<WORD>(ControlClassAtom(control.cls)));
        if (control.cls == ControlClass::Picture && bitmapFor != nullptr)
            w.Ordinal(static_cast<WORD>(bitmapFor(control.resource, context)));
        else if (ShowsResource(control.cls))
            w.Ordinal(static_cast<WORD>(control.resource));
        else
            w.Text(control.text);
        w.Word(0); // no creation data
    }
}

} // namespace osa::win32
