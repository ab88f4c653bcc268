#include <gtest/gtest.h>

#include "controller/res/resources.h"
#include "controller/ui/confirm_box.h"
#include "tests/test_support.h"

namespace osa {
namespace {

class ConfirmBoxTest : public test::CoreTest {};

TEST_F(ConfirmBoxTest, OnlyOKProceeds) {
    struct Row {
        int id;
        unsigned icon;
    };
    const Row rows[] = {
        {confirm::TestCut, mb::IconQuestion},         {confirm::ManualMarkRead, mb::IconQuestion},
        {confirm::MarkReadingTest, mb::IconQuestion}, {confirm::CutWithoutMarks, mb::IconQuestion},
        {confirm::Calibration, mb::IconAsterisk},     {confirm::UpdateMedium, mb::IconQuestion},
    };
    const Window owner{0x31};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        for (int answer : {mb::IdOk, mb::IdCancel}) {
            host.ThenAnswer(answer);
            EXPECT_EQ(ConfirmBox(owner, row.id), answer == mb::IdOk);
            const auto& box = host.MessageBoxes().back();
            EXPECT_EQ(box.text, res::LoadString(row.id));
            EXPECT_EQ(box.caption, "Check");
            EXPECT_EQ(box.style, mb::OkCancel | row.icon);
            EXPECT_EQ(box.owner, owner);
        }
    }
    EXPECT_EQ(host.MessageBoxes().size(), 12u);
    EXPECT_EQ(host.MessageBoxes()[8].text,
              "Please read the instruction manual when you use the adjustment function.\nIf "
              "incorrect adjustment is used, the cutting position or cutting size may change.");
}

} // namespace
} // namespace osa
