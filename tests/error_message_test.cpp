#include <gtest/gtest.h>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/error_message.h"
#include "tests/test_support.h"

namespace osa {
namespace {

const std::string kPortInUse =
    "The USB port is currently in use.\nPlease wait ten seconds, and then try again.";
const std::string kNoCutter =
    "Cannot communicate with Ostrandel.\nCheck that the USB cable is connected correctly, press "
    "Ostrandel's standby switch, and then confirm that the LED is lit.";

class ErrorMessageTest : public test::CoreTest {};

TEST_F(ErrorMessageTest, MessageBoxPresentations) {
    struct Row {
        ResultCode code;
        unsigned icon;
        std::string text;
    };
    const Row rows[] = {
        {56, mb::IconHand, kPortInUse + " [code = 56]"},
        {208, mb::IconExclamation,
         "Registration mark reading failure. Please reload the medium. [code = 208]"},
        {211, mb::IconHand, "Startup Animated Instructions Error !!! [code = 211]"},
        {51, mb::IconExclamation,
         "Ostrandel Controller is already active.\nPlease shut the controller down and perform "
         "the operation once again. [code = 51]"},
        {200, mb::IconExclamation, std::string(res::LoadString(200)) + " [code = 200]"},
        {210, mb::IconExclamation, std::string(res::LoadString(210)) + " [code = 210]"},
        {250, mb::IconExclamation, std::string(res::LoadString(250)) + " [code = 250]"},
        {254, mb::IconExclamation, std::string(res::LoadString(254)) + " [code = 254]"},
        {100, mb::IconHand,
         "Ostrandel communication error.\nPress the standby switch twice. [code = 100]"},
        {212, mb::IconHand, " [code = 212]"}, // no string: only the code
        {9999, mb::IconHand, " [code = 9999]"},
    };
    Window owner{0x77};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.code);
        std::size_t before = host.MessageBoxes().size();
        EXPECT_EQ(ShowErrorMessage(owner, r.code), mb::IdOk);
        ASSERT_EQ(host.MessageBoxes().size(), before + 1);
        const auto& box = host.MessageBoxes().back();
        EXPECT_EQ(box.text, r.text);
        EXPECT_EQ(box.caption, "Ostrandel Controller");
        EXPECT_EQ(box.style, mb::Ok | r.icon);
        EXPECT_EQ(box.owner, owner);
    }
    EXPECT_EQ(host.Beeps(), 0);
    EXPECT_TRUE(host.DialogsShown().empty());
}

TEST_F(ErrorMessageTest, CommunicationCodesBeepAndShowTheCutterBox) {
    for (ResultCode code : {57u, 62u}) {
        SCOPED_TRACE(code);
        int beeps = host.Beeps();
        std::string seen;
        host.Then([&](MemoryWindowHost& h) {
            const auto* box = h.FindByTemplate(ids::DlgCommError);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(h.Active(), box->handle);
            seen = h.FindControl(box->handle, ids::CommErrorText)->text;
            EXPECT_TRUE(h.Click(mb::IdOk));
        });
        EXPECT_EQ(ShowErrorMessage(Window{0x77}, code), 1);
        EXPECT_EQ(seen, kNoCutter + " [code = " + std::to_string(code) + "]");
        EXPECT_EQ(host.Beeps(), beeps + 1);
        EXPECT_TRUE(host.MessageBoxes().empty());
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(ErrorMessageTest, CutterBoxIsOwnedByTheMainWindowWhateverOwnerIsPassed) {
    App().mainDialog = 0x4242;
    host.Then([](MemoryWindowHost& h) {
        EXPECT_EQ(h.Find(h.Active())->owner, Window{0x4242});
        (void)h.Click(mb::IdOk);
    });
    (void)ShowErrorMessage(Window{0x1234}, 57);
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(ErrorMessageTest, CutterBoxEndsWithOneOnCloseButOnlyOnOkOrClose) {
    // Esc is not an answer; the close button is.
    host.Then([](MemoryWindowHost& h) { EXPECT_TRUE(h.PressEscape()); });
    host.Then([](MemoryWindowHost& h) {
        EXPECT_NE(h.FindByTemplate(ids::DlgCommError), nullptr); // still open
        EXPECT_TRUE(h.CloseBox());
    });
    EXPECT_EQ(ShowErrorMessage(Window{}, 62), 1);
    EXPECT_EQ(host.Starved(), 0);
    EXPECT_EQ(host.FindByTemplate(ids::DlgCommError), nullptr);
}

TEST(FormatErrorText, JoinsTextAndCode) {
    EXPECT_EQ(FormatErrorText(0), "Normal [code = 0]");
    EXPECT_EQ(FormatErrorText(58), kPortInUse + " [code = 58]");
    EXPECT_EQ(FormatErrorText(62), kNoCutter + " [code = 62]");
}

} // namespace
} // namespace osa
