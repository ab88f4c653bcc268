// Dialog templates in memory. The controller keeps its dialogs once, as the
// records of controller/res; this file turns one record into the extended
// dialog template (DLGTEMPLATEEX followed by DLGITEMTEMPLATEEX items) that
// DialogBoxIndirectParamW and CreateDialogIndirectParamW read, the same bytes
// a resource compiler would have written for a DIALOGEX statement.
//
// Layout (learn.microsoft.com, "DLGTEMPLATEEX structure" and
// "DLGITEMTEMPLATEEX structure"): a header of fixed fields, then the menu,
// class and title as sz_Or_Ord arrays of WORDs, then the font (point size,
// weight, italic, charset, face name) because DS_SETFONT is set; each item
// starts on a DWORD boundary, names its class by ordinal (0x0080 button,
// 0x0081 edit, 0x0082 static, 0x0084 scroll bar, 0x0085 combo box) and its
// title by text or, for SS_BITMAP and SS_ICON, by the resource number as an
// ordinal (0xFFFF, n), and ends with an empty creation-data count.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/win32/win32_api.h"

namespace osa::win32 {

// Window class ordinals of the predefined controls.
enum class ControlAtom : WORD {
    Button = 0x0080,
    Edit = 0x0081,
    Static = 0x0082,
    ScrollBar = 0x0084,
    ComboBox = 0x0085,
};

struct Win32Styles {
    DWORD style = 0;
    DWORD exStyle = 0;
};

// The window styles of a dialog and of a control, from the template flags.
Win32Styles DialogStyles(const dlg::DialogTemplate& dialog);
Win32Styles ControlStyles(const dlg::ControlTemplate& control);
ControlAtom ControlClassAtom(dlg::ControlClass cls);

// Bitmaps are also drawn at 125, 150, 175 and 200 %, for screens of more
// than 96 dpi; the one drawn at the k-th of these scales is resource
// <n> + 10000 * k (the artwork's build makes them).
inline constexpr int BitmapScales[] = {100, 125, 150, 175, 200};
// The largest scale of the list that is not above `percent` (with 2 % to
// spare for rounding): a picture so drawn never grows past the place its
// dialog gives it.
int BitmapScaleAtMost(int percent);
// The resource number of bitmap `bitmap` drawn at `scale`, one of BitmapScales.
int ScaledBitmapId(int bitmap, int scale);

// A built template. The WORD vector keeps the DWORD alignment the items need:
// its storage comes from operator new, aligned for any fundamental type.
class DialogTemplateImage {
  public:
    // `bitmapFor` gives the resource number a picture control loads in
    // place of its template's (the bitmap drawn at the screen's scale).
    explicit DialogTemplateImage(const dlg::DialogTemplate& dialog,
                                 int (*bitmapFor)(int bitmap, const void* context) = nullptr,
                                 const void* context = nullptr);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
    std::size_t SizeInBytes() const { return words_.size() * sizeof(WORD); }

  private:
    std::vector<WORD> words_;
};

} // namespace osa::win32
