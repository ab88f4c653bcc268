#include "controller/ui/text_fit.h"

#include <string>

#include "platform/services.h"

namespace osa {

namespace {

// Tries heights from `pixelHeight` down to the smallest legible one; the
// first font for which `fits` holds, or the smallest.
template <typename Fits> Font LargestFitting(int pixelHeight, int weight, Fits fits) {
    WindowHost& w = Windows();
    int height = pixelHeight;
    if (height <= 0) {
        Font gui = w.CreateGuiFont(0, weight);
        height = w.TextExtent(gui, "Ag").cy;
        w.DeleteFont(gui);
    }
    constexpr int Smallest = 6;
    for (;; --height) {
        Font font = w.CreateGuiFont(height, weight);
        if (height <= Smallest || fits(font)) return font;
        w.DeleteFont(font);
    }
}

} // namespace

int WrappedLines(Font font, std::string_view text, int width) {
    WindowHost& w = Windows();
    int lines = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        ++lines;
        std::string line;
        std::size_t at = 0;
        while (at < paragraph.size()) {
            std::size_t next = paragraph.find(' ', at);
            if (next == std::string_view::npos) next = paragraph.size();
            const std::string_view word = paragraph.substr(at, next - at);
            std::string longer = line.empty() ? std::string(word) : line + " " + std::string(word);
            if (!line.empty() && w.TextExtent(font, longer).cx > width) {
                ++lines;
                longer = std::string(word);
            }
            line = std::move(longer);
            at = next + 1;
        }
        start = end + 1;
    }
    return lines;
}

Font FontFittingOneLine(Window dialog, std::span<const ControlText> texts, int pixelHeight,
                        int weight) {
    WindowHost& w = Windows();
    return LargestFitting(pixelHeight, weight, [&](Font font) {
        for (const ControlText& t : texts)
            if (w.TextExtent(font, t.text).cx > w.GetItemRect(dialog, t.id).Width()) return false;
        return true;
    });
}

Font FontFittingWrapped(Window dialog, std::span<const ControlText> texts, int pixelHeight,
                        int weight) {
    WindowHost& w = Windows();
    return LargestFitting(pixelHeight, weight, [&](Font font) {
        const int lineHeight = w.TextExtent(font, "Ag").cy;
        for (const ControlText& t : texts) {
            const Rect r = w.GetItemRect(dialog, t.id);
            if (WrappedLines(font, t.text, r.Width()) * lineHeight > r.Height()) return false;
        }
        return true;
    });
}

} // namespace osa
