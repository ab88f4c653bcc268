// A long session in real Qt windows (offscreen) through the real Linux link
// to the simulated cutter: ten thousand page actions (media, orientation,
// registration marks, units, the pad). Descriptors, widgets and memory must
// not grow with them.
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/shell/entry.h"
#include "platform/linux/linux_cutter_port.h"
#include "platform/linux/linux_debug_trace.h"
#include "platform/linux/unique_fd.h"
#include "tests/linux/real_link.h"
#include "tests/linux/simulated_cutter.h"
#include "tests/qt/qt_test_support.h"

namespace osa::test {
namespace {

struct Usage {
    std::size_t descriptors = 0;
    long rssKiB = 0;
    qsizetype widgets = 0;
};

Usage Now() {
    Usage u;
    u.descriptors = OpenDescriptors();
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:")) u.rssKiB = std::stol(line.substr(6));
    u.widgets = QApplication::allWidgets().size();
    return u;
}

TEST(QtLongRun, TenThousandPageActionsLeaveNothingBehind) {
    SimulatedCutter cutter;
    ASSERT_TRUE(cutter.Ready());
    QtRun run("[Main_Section]\r\nUnit=0\r\nCutCondAdjust=1\r\nPosSet=0\r\n");
    LinuxCutterPort port;
    const posix::UniqueFd null(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    LinuxDebugTrace trace(null.Get());
    Services services = run.memory.With(run.host);
    services.hooks = &run.hooks;
    services.cutter = &port;
    services.trace = &trace;
    const Services previous = InstallServices(services);

    constexpr int Actions = 10000, Warm = 1000;
    Usage warm, end;
    int done = 0;
    WhenModal(
        [&](QWidget* main) {
            auto* page =
                main->findChild<QWidget*>(QStringLiteral("dlg_%1").arg(ids::DlgCutSettings));
            ASSERT_NE(page, nullptr);
            QWidget* media = Control(main, 5103);
            ASSERT_NE(media, nullptr);
            for (int i = 0; i < Actions; ++i) {
                if (i == Warm) warm = Now();
                switch (i % 8) {
                case 0:
                    QTest::keyClick(media, Qt::Key_Down);
                    break;
                case 1:
                    QTest::keyClick(media, Qt::Key_Up);
                    break;
                case 2:
                    Click(main, (i / 8) % 2 == 0 ? ctl::Portrait : ctl::Landscape);
                    break;
                case 3:
                case 5:
                    Click(main, ctl::RegistrationMarks); // on, units, off again
                    break;
                case 4:
                    Click(main, (i / 8) % 2 == 0 ? ctl::UnitInch : ctl::UnitMm);
                    break;
                default: { // the pad's up arrow, pressed and let go
                    const Rect up = App().PadAreas.up;
                    const QPoint at(up.left + 16, up.top + 16);
                    if (i % 8 == 6)
                        QTest::mousePress(page, Qt::LeftButton, {}, at);
                    else
                        QTest::mouseRelease(page, Qt::LeftButton, {}, at);
                }
                }
                QApplication::processEvents();
                ++done;
            }
            end = Now();
            Click(main, mb::IdOk); // "Close" outside cut mode
        },
        IsDialog(ids::DlgMain));

    std::vector<std::string_view> args{"osactl"};
    EXPECT_EQ(RunController(0, args), 0);
    InstallServices(previous);
    EXPECT_EQ(done, Actions);
    EXPECT_EQ(end.descriptors, warm.descriptors);
    EXPECT_EQ(end.widgets, warm.widgets);
    // A few per cent: the allocator's pools, the font and paint caches.
    EXPECT_LE(end.rssKiB, warm.rssKiB + warm.rssKiB / 20)
        << "memory " << warm.rssKiB << " KiB after " << Warm << " actions, " << end.rssKiB
        << " KiB after " << Actions;
    std::printf("long run: %zu descriptors, %lld widgets, %ld -> %ld KiB resident\n",
                end.descriptors, static_cast<long long>(end.widgets), warm.rssKiB, end.rssKiB);
    // The cutter got the page's commands all along.
    EXPECT_GT(cutter.Log().size(), static_cast<std::size_t>(Actions / 2));
}

} // namespace
} // namespace osa::test
