// The real VORNUSBP.DLL beside this program: its pipe path rule, and a call
// on a system without the cutter (Wine has no USB device to offer).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_cutter_port.h"
#include "usb/device_pipe_path.h"

namespace osa {
namespace {

TEST(DevicePipePath, SuffixAndRoom) {
    const std::string fits(255, 'p'); // 255 + "\.00" + NUL = 260
    const std::string tooLong(256, 'p');
    struct Case {
        std::string device;
        std::int32_t pipe;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {R"(\\?\usb#vid_1234)", 0, R"(\\?\usb#vid_1234\.00)"},
        {R"(\\?\usb#vid_1234)", 1, R"(\\?\usb#vid_1234\.01)"},
        {R"(\\?\usb#vid_1234)", 12, R"(\\?\usb#vid_1234\.12)"},
        {R"(\\?\usb#vid_1234)", 100, R"(\\?\usb#vid_1234\.100)"},
        {fits, 0, fits + R"(\.00)"},
        {tooLong, 0, std::nullopt},
        {fits, 100, std::nullopt}, // the wider suffix counts too
    };
    for (const Case& c : cases)
        EXPECT_EQ(usb::DevicePipePath(c.device, c.pipe), c.expected)
            << c.device.size() << " " << c.pipe;
}

using OpenUsb = HANDLE(WINAPI*)(DWORD, DWORD, DWORD);

TEST(VornUsbModule, WithoutACutterNothingIsFound) {
    HMODULE module = LoadLibraryA("VORNUSBP.DLL");
    ASSERT_NE(module, nullptr);
    auto open = reinterpret_cast<OpenUsb>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "VORN_OpenUsb")));
    ASSERT_NE(open, nullptr);
    for (DWORD pipe : {0u, 1u}) {
        SetLastError(0);
        EXPECT_EQ(open(0, pipe, FILE_FLAG_OVERLAPPED), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
}

TEST(VornUsbModule, ThePortReportsNoCutter) {
    win32::Win32CutterPort port;
    ASSERT_EQ(port.LoadModule(), 0u);
    port.InitTransfers();
    const std::uint8_t status[] = {0x1B, 0x04};
    EXPECT_EQ(port.Write(status, sizeof status, 500), 57u);
}

} // namespace
} // namespace osa
