// Dialog templates: what a window host builds a dialog from. A template is
// a table of records, as a resource script's DIALOGEX is: the dialog's
// caption, styles, font and size, and its controls in creation (and tab)
// order, with rectangles in dialog units. The program's own templates live
// with its resources; tests make small ones of their own.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace osa::dlg {

// A rectangle in dialog units, as a template gives it: x, y, width, height.
struct DluRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

enum class ControlClass : std::uint8_t {
    PushButton,
    DefPushButton,
    AutoCheckBox,
    AutoRadioButton,
    Edit,
    DropDownList,
    Static,     // text; alignment from the style flags
    Picture,    // static showing bitmap `resource`
    Icon,       // static showing icon `resource`
    BlackFrame, // static black frame
    GroupBox,
    HScrollBar,
    VScrollBar,
};

// Style flags of a control; they map one to one onto the Win32 styles.
enum ControlStyle : std::uint32_t {
    CsNone = 0,
    CsGroup = 1u << 0,
    CsTabStop = 1u << 1,
    CsHidden = 1u << 2, // not visible at creation
    CsDisabled = 1u << 3,
    CsLeft = 1u << 4, // text alignment (statics)
    CsCenter = 1u << 5,
    CsRight = 1u << 6,
    CsCenterVertically = 1u << 7,
    CsSunken = 1u << 8,
    CsBorder = 1u << 9,
    CsAutoHScroll = 1u << 10,
    CsVScroll = 1u << 11,
    CsPushLike = 1u << 12, // check box drawn as a push button
};

enum DialogStyle : std::uint32_t {
    DsNone = 0,
    DsPopup = 1u << 0,
    DsChild = 1u << 1,
    DsVisible = 1u << 2,
    DsCaption = 1u << 3,
    DsSysMenu = 1u << 4,
    DsMinimizeBox = 1u << 5,
    DsModalFrame = 1u << 6,
    DsCentre = 1u << 7,
    DsSetForeground = 1u << 8,
    DsControlParent = 1u << 9,
};

inline constexpr int NoId = -1; // controls the program never addresses

struct ControlTemplate {
    int id = NoId;
    ControlClass cls = ControlClass::Static;
    std::uint32_t style = CsNone;
    std::string_view text{}; // UTF-8; \n is a line break; for Picture and
                             // Icon what the picture shows (for assistive
                             // technology; never drawn)
    int resource = 0;        // bitmap or icon number for Picture and Icon
    DluRect rect{};
};

struct DialogTemplate {
    int id = 0;
    std::string_view caption{}; // UTF-8
    std::uint32_t style = DsNone;
    std::string_view font = "MS Sans Serif";
    int pointSize = 8;
    DluRect rect{}; // position (for child pages) and size
    std::span<const ControlTemplate> controls{};
};

// The control of a template with the given id (the first one), or nullptr.
const ControlTemplate* FindControl(const DialogTemplate& dialog, int id);

// The text static that labels `control` (one of `dialog`'s) as a reader of
// the dialog sees it: among the text statics on its line (their rectangles
// overlap vertically) that end left of it, the nearest one ending in ":",
// else the nearest; with none on its line, the nearest text static above it
// that overlaps it horizontally. nullptr when there is none.
const ControlTemplate* LabelOf(const DialogTemplate& dialog, const ControlTemplate& control);

// A label's text as a name: without "&", line breaks as blanks, one blank
// between words and no ":" or blanks at its ends ("Width:" names the edit
// "Width").
std::string LabelName(std::string_view labelText);

// The templates a window host can show, looked up by number.
class DialogTemplates {
  public:
    DialogTemplates() = default;
    explicit DialogTemplates(std::span<const DialogTemplate> all) : all_(all) {}
    // The template with the given number, or nullptr.
    const DialogTemplate* Find(int id) const;
    std::span<const DialogTemplate> All() const { return all_; }

  private:
    std::span<const DialogTemplate> all_{};
};

} // namespace osa::dlg
