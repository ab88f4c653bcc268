// The owners of the core's brushes and fonts: each object is deleted once,
// by whichever owner holds it last.
#include <utility>

#include "controller/ui/drawing_owners.h"
#include "tests/test_support.h"

namespace osa {
namespace {

using DrawingOwnersTest = test::CoreTest;

TEST_F(DrawingOwnersTest, TheLastHolderDeletesOnResetAndAtItsEnd) {
    {
        BrushOwner first(host.CreateSolidBrush(Rgb(1, 2, 3)));
        const Brush made = first.Get();
        BrushOwner second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get().value, made.value);
        first = std::move(second); // back again: still one brush, held once
        EXPECT_EQ(host.LiveBrushes(), 1u);

        first.Reset(host.CreateSolidBrush(Rgb(4, 5, 6))); // the old one goes
        EXPECT_EQ(host.LiveBrushes(), 1u);
        EXPECT_EQ(host.BrushColour(first.Get()), Rgb(4, 5, 6));

        FontOwner font(host.CreateGuiFont(14, 700));
        FontOwner other(host.CreateGuiFont(8, 0));
        other = std::move(font); // the 8-pixel font goes, the bold one moves
        EXPECT_EQ(host.LiveFonts(), 1u);
        EXPECT_EQ(host.FontOf(other.Get())->weight, 700);
    }
    EXPECT_EQ(host.LiveBrushes(), 0u);
    EXPECT_EQ(host.LiveFonts(), 0u);
}

} // namespace
} // namespace osa
