// Fonts fitted to their texts, on the in-memory host's font model (every
// character half the height wide, a tenth more in bold).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/ui/text_fit.h"
#include "tests/test_support.h"

namespace osa {
namespace {

class TextFitTest : public test::CoreTest {};

TEST_F(TextFitTest, WrappedLinesBreakAtLineBreaksAndBetweenWords) {
    const Font font = host.CreateGuiFont(10, 400); // 5 pixels a character
    struct Row {
        const char* text;
        int width;
        int lines;
    } rows[] = {
        {"one two three", 200, 1},
        {"aaaa bbbb", 30, 2},    // "aaaa bbbb" is 45 wide
        {"aaaa bbbb", 45, 1},    // exactly as wide fits
        {"aaaaaaaaaaaa", 30, 1}, // a word wider than the width stands alone
        {"a\n\nb", 200, 3},      // an empty line counts
        {"a\r\nb", 200, 2},
        {"aa bb cc dd ee", 12, 5}, // one word a line
        {"", 200, 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(WrappedLines(font, r.text, r.width), r.lines)
            << '"' << r.text << "\" " << r.width;
    host.DeleteFont(font);
}

TEST_F(TextFitTest, TheLargestFontInWhichEveryTextFitsItsControl) {
    const Window main = host.CreateDialog(ids::DlgMain, Window{}, test::MainStandIn, 0);
    ASSERT_TRUE(main);
    std::vector<ControlText> labels;
    for (int id = ctl::StepLabelFirst; id <= ctl::StepLabelLast; ++id)
        labels.push_back({id, host.GetItemText(main, id)});
    const int asked = host.GetItemRect(main, ctl::StepLabelFirst).Height();

    const Font font = FontFittingOneLine(main, labels, asked, 700);
    const int height = host.TextExtent(font, "A").cy;
    EXPECT_LT(height, asked); // the labels are too wide at the asked height
    auto allFit = [&](Font f) {
        for (const ControlText& t : labels)
            if (host.TextExtent(f, t.text).cx > host.GetItemRect(main, t.id).Width()) return false;
        return true;
    };
    EXPECT_TRUE(allFit(font));
    const Font larger = host.CreateGuiFont(height + 1, 700);
    EXPECT_FALSE(allFit(larger)); // and no larger font would do
    host.DeleteFont(larger);
    host.DeleteFont(font);

    // Texts that fit keep the asked height.
    const ControlText shortOnes[] = {{ctl::StepLabelFirst, "ab"}, {ctl::StepLabelLast, ">"}};
    const Font kept = FontFittingOneLine(main, shortOnes, asked, 700);
    EXPECT_EQ(host.TextExtent(kept, "A").cy, asked);
    host.DeleteFont(kept);
    host.EndDialog(main, 0);
}

} // namespace
} // namespace osa
