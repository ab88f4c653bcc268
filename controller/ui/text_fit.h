// Fonts made to fit their texts. The main window's title, step and message
// fonts are the default GUI font at the heights and weights its table gives;
// where a text the program puts into one of their controls would not fit the
// control's rectangle in that font, the whole group's font is made smaller,
// one pixel of height at a time, until every text fits (docs/DECISIONS.md).
#pragma once
#include <span>
#include <string>
#include <string_view>

#include "platform/window_host.h"

namespace osa {

// A text that control `id` shows.
struct ControlText {
    int id = 0;
    std::string text;
};

// The default GUI font at `weight` (0 keeps it) and the largest height, from
// `pixelHeight` (0: the font's own) down, at which every text is no wider
// than its control of `dialog` on one line. The caller owns the font.
Font FontFittingOneLine(Window dialog, std::span<const ControlText> texts, int pixelHeight,
                        int weight);

// The same for texts that a static wraps at its width: every text's lines
// (broken at its line breaks and between words, as a static breaks them)
// fit in its control's height.
Font FontFittingWrapped(Window dialog, std::span<const ControlText> texts, int pixelHeight,
                        int weight);

// The lines `text` takes in `font` when wrapped at `width` pixels: line
// breaks start a new line, and a line ends before the word that would make
// it wider than `width` (a word wider than the width stands alone).
int WrappedLines(Font font, std::string_view text, int width);

} // namespace osa
