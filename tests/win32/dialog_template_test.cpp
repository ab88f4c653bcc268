// Every dialog template of the program, built by the Win32 host and read
// back from the real windows: the dialog's caption, font and client size, and
// for each control in template order its class, id, type and flag styles,
// text and place. A fault in the in-memory template (misaligned item, wrong
// class ordinal, lost flag, mangled text) shows up as a dialog that fails to
// build or a control that differs from its row.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "controller/res/resources.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_host.h"
#include "tests/win32/win32_test_support.h"

namespace osa {
namespace {

using res::ControlClass;

std::intptr_t Quiet(Window, const DialogMessage&) {
    return 0;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

const char* ClassNameOf(ControlClass cls) {
    switch (cls) {
    case ControlClass::PushButton:
    case ControlClass::DefPushButton:
    case ControlClass::AutoCheckBox:
    case ControlClass::AutoRadioButton:
    case ControlClass::GroupBox:
        return "button";
    case ControlClass::Edit:
        return "edit";
    case ControlClass::DropDownList:
        return "combobox";
    case ControlClass::HScrollBar:
    case ControlClass::VScrollBar:
        return "scrollbar";
    case ControlClass::Static:
    case ControlClass::Picture:
    case ControlClass::Icon:
    case ControlClass::BlackFrame:
        break;
    }
    return "static";
}

// The type part of the style a control of the class must have.
bool HasTypeOf(ControlClass cls, std::uint32_t flags, LONG_PTR style) {
    const auto button = style & BS_TYPEMASK;
    const auto stat = style & SS_TYPEMASK;
    switch (cls) {
    case ControlClass::PushButton:
    case ControlClass::DefPushButton:
        // The dialog manager moves the default look between push buttons
        // as the focus moves.
        return button == BS_PUSHBUTTON || button == BS_DEFPUSHBUTTON;
    case ControlClass::AutoCheckBox:
        return button == BS_AUTOCHECKBOX &&
               ((style & BS_PUSHLIKE) != 0) == ((flags & res::CsPushLike) != 0);
    case ControlClass::AutoRadioButton:
        return button == BS_AUTORADIOBUTTON &&
               ((style & BS_PUSHLIKE) != 0) == ((flags & res::CsPushLike) != 0);
    case ControlClass::GroupBox:
        return button == BS_GROUPBOX;
    case ControlClass::Edit:
        return ((style & ES_AUTOHSCROLL) != 0) == ((flags & res::CsAutoHScroll) != 0);
    case ControlClass::DropDownList:
        return (style & 3) == CBS_DROPDOWNLIST;
    case ControlClass::Static: {
        const LONG_PTR align = (flags & res::CsCenter)  ? SS_CENTER
                               : (flags & res::CsRight) ? SS_RIGHT
                                                        : SS_LEFT;
        return stat == align && ((style & SS_SUNKEN) != 0) == ((flags & res::CsSunken) != 0) &&
               ((style & SS_CENTERIMAGE) != 0) == ((flags & res::CsCenterVertically) != 0);
    }
    case ControlClass::Picture:
        return stat == SS_BITMAP;
    case ControlClass::Icon:
        return stat == SS_ICON;
    case ControlClass::BlackFrame:
        return stat == SS_BLACKFRAME;
    case ControlClass::HScrollBar:
        return (style & SBS_VERT) == 0;
    case ControlClass::VScrollBar:
        return (style & SBS_VERT) != 0;
    }
    return false;
}

bool HasText(ControlClass cls) {
    return cls != ControlClass::Picture && cls != ControlClass::Icon &&
           cls != ControlClass::DropDownList && cls != ControlClass::HScrollBar &&
           cls != ControlClass::VScrollBar;
}

// A dialog that pictures resize to their image and a drop-down list is one
// line high when closed: only their top-left corner is fixed by the template.
bool KeepsTemplateSize(ControlClass cls) {
    return cls != ControlClass::Picture && cls != ControlClass::Icon &&
           cls != ControlClass::DropDownList;
}

// x, y, cx and cy each mapped on its own, as the dialog manager maps them.
RECT MapEach(HWND dialog, const res::DluRect& r) {
    RECT m{r.x, r.y, r.cx, r.cy};
    MapDialogRect(dialog, &m);
    return m;
}

RECT ClientRectIn(HWND window, HWND parent) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A plain pop-up to hold the child templates (pages).
constexpr res::DialogTemplate kHolder{
    9100, "Holder", res::DsPopup | res::DsCaption, "MS Sans Serif", 8, {0, 0, 460, 360}, {}};

class DialogTemplates : public ::testing::TestWithParam<int> {};

TEST_P(DialogTemplates, BuildAsTheirRowsSay) {
    const res::DialogTemplate* t = res::FindDialogTemplate(GetParam());
    ASSERT_NE(t, nullptr);
    win32::Win32WindowHost host{dlg::DialogTemplates(res::AllDialogTemplates())};

    Window holder{};
    if (t->style & res::DsChild) {
        holder = host.CreateDialogFrom(kHolder, Window{}, Quiet, 0);
        ASSERT_TRUE(holder);
    }
    const Window dialog = host.CreateDialogFrom(*t, holder, Quiet, 0);
    ASSERT_TRUE(dialog) << "template " << t->id << " did not build";
    HWND d = win32::ToHwnd(dialog);

    EXPECT_EQ(wintest::Text(d), std::string(t->caption));
    const LONG_PTR dialogStyle = GetWindowLongPtrW(d, GWL_STYLE);
    EXPECT_EQ((dialogStyle & WS_CHILD) != 0, (t->style & res::DsChild) != 0);
    EXPECT_EQ((dialogStyle & WS_CAPTION) == WS_CAPTION, (t->style & res::DsCaption) != 0);
    EXPECT_EQ((dialogStyle & WS_SYSMENU) != 0, (t->style & res::DsSysMenu) != 0);
    EXPECT_EQ((dialogStyle & WS_MINIMIZEBOX) != 0, (t->style & res::DsMinimizeBox) != 0);
    // Every dialog gets WS_EX_CONTROLPARENT from the dialog manager; a page
    // must have it for Tab to reach its controls.
    if (t->style & res::DsControlParent) {
        EXPECT_NE(GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
    }

    // The font of the template, at its point size.
    LOGFONTW lf{};
    auto font = reinterpret_cast<HFONT>(SendMessageW(d, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    ASSERT_NE(GetObjectW(font, sizeof lf, &lf), 0);
    HDC screen = GetDC(nullptr);
    const int pixels = MulDiv(t->pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(win32::Narrow(lf.lfFaceName), std::string(t->font));
    EXPECT_EQ(lf.lfHeight, -pixels);

    // Client size; a page also sits where its template puts it.
    const RECT size = MapEach(d, t->rect);
    RECT client{};
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, size.right) << "width";
    EXPECT_EQ(client.bottom, size.bottom) << "height";
    if (holder) {
        const RECT at = ClientRectIn(d, win32::ToHwnd(holder));
        EXPECT_EQ(at.left, size.left);
        EXPECT_EQ(at.top, size.top);
    }

    const std::vector<HWND> children = wintest::Children(d);
    ASSERT_EQ(children.size(), t->controls.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const res::ControlTemplate& c = t->controls[i];
        HWND w = children[i];
        SCOPED_TRACE("template " + std::to_string(t->id) + ", control #" + std::to_string(i) +
                     " (id " + std::to_string(c.id) + ")");
        const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
        EXPECT_EQ(GetDlgCtrlID(w), c.id);
        EXPECT_EQ(Lower(wintest::ClassName(w)), ClassNameOf(c.cls));
        EXPECT_TRUE(HasTypeOf(c.cls, c.style, style)) << std::hex << "style 0x" << style;
        EXPECT_EQ((style & WS_VISIBLE) != 0, (c.style & res::CsHidden) == 0);
        EXPECT_EQ((style & WS_DISABLED) != 0, (c.style & res::CsDisabled) != 0);
        EXPECT_EQ((style & WS_TABSTOP) != 0, (c.style & res::CsTabStop) != 0);
        EXPECT_EQ((style & WS_GROUP) != 0, (c.style & res::CsGroup) != 0);
        if (HasText(c.cls)) {
            EXPECT_EQ(wintest::Text(w), std::string(c.text));
        }

        const RECT want = MapEach(d, c.rect);
        const RECT got = ClientRectIn(w, d);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        if (KeepsTemplateSize(c.cls)) {
            EXPECT_EQ(got.right - got.left, want.right) << "width";
            EXPECT_EQ(got.bottom - got.top, want.bottom) << "height";
        }
    }

    host.EndDialog(dialog, 0);
    EXPECT_FALSE(IsWindow(d));
    if (holder) host.EndDialog(holder, 0);
}

std::vector<int> AllTemplateIds() {
    std::vector<int> ids;
    for (const res::DialogTemplate& t : res::AllDialogTemplates())
        ids.push_back(t.id);
    return ids;
}

INSTANTIATE_TEST_SUITE_P(Program, DialogTemplates, ::testing::ValuesIn(AllTemplateIds()),
                         [](const ::testing::TestParamInfo<int>& p) {
                             return "Template" + std::to_string(p.param);
                         });

} // namespace
} // namespace osa
