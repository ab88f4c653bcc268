// The controller's resources, kept once: dialog templates, the string table,
// and the numbers of the icons and bitmaps. Every window host (Win32, Qt, in
// memory) builds its windows from these records; the artwork itself lives in
// controller/res/artwork/ as one editable source per picture.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/dialog_template.h"

namespace osa::res {

// The template types are the window hosts' (platform/dialog_template.h);
// here they are also known by the resources' own names (res::DialogTemplate).
using namespace ::osa::dlg;

// The template with the given number, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

// Every template, in number order.
std::span<const DialogTemplate> AllDialogTemplates();

struct StringEntry {
    int id;
    std::string_view text; // UTF-8
};

// The text of string `id`, or empty when the table has no such string.
std::string_view LoadString(int id);
bool HasString(int id);
std::span<const StringEntry> AllStrings();

// Numbers of the pictures the program shows. Every number here has one
// source in controller/res/artwork/.
std::span<const int> AllBitmapIds();
std::span<const int> AllIconIds();

} // namespace osa::res
