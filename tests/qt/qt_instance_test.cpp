// The single instance on Linux: the lock and the raise request between two
// guards of one process, the way the guard recovers from a controller that
// died and fails open, and two real controllers: osactl running as a
// process, a second controller run here (so a test can answer its box).
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controller/app_state.h"
#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "platform/linux/instance_lock.h"
#include "platform/qt/qt_instance_guard.h"
#include "platform/qt/qt_window_host.h"
#include "platform/services.h"
#include "tests/qt/qt_test_support.h"
#include "tests/scoped_env.h"

namespace osa::test {
namespace {

posix::InstancePaths PathsIn(const QTemporaryDir& dir) {
    const std::string base = QDir(dir.path()).filePath(QStringLiteral("osactl")).toStdString();
    return posix::InstancePaths{base + ".lock", base + ".sock"};
}

using test::ScopedEnv;

// A copy of the built program with its media and help in `folder`. The
// controller keeps its settings and media files beside itself; run from the
// build's program folder it would leave them there for whoever runs the
// program next.
QString CopyOfProgramIn(const QTemporaryDir& folder) {
    namespace fs = std::filesystem;
    const fs::path built(OSA_OSACTL_PATH);
    const fs::path to(folder.path().toStdString());
    fs::copy_file(built, to / built.filename());
    for (const char* beside : {"Media", "help"})
        fs::copy(built.parent_path() / beside, to / beside, fs::copy_options::recursive);
    return QString::fromStdString((to / built.filename()).string());
}

TEST(QtInstanceGuardTest, SecondGuardIsRefusedAndItsRaiseReachesTheFirst) {
    // flock belongs to the open file description: a second open of the
    // file conflicts even inside the same process.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int raised = 0;
    QtInstanceGuard first([&] { ++raised; }, PathsIn(dir));
    QtInstanceGuard second([] { FAIL() << "the second guard must not listen"; }, PathsIn(dir));

    EXPECT_TRUE(first.ClaimFirstInstance());
    EXPECT_TRUE(first.Listening());
    EXPECT_FALSE(second.ClaimFirstInstance());
    EXPECT_FALSE(second.Listening());

    second.RaiseFirstInstance("Ostrandel Controller");
    ProcessUntil([&] { return raised > 0; });
    EXPECT_EQ(raised, 1);
}

TEST(QtInstanceGuardTest, LockGoesWithItsHolderAndASocketLeftBehindDoesNotBlockTheNext) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const posix::InstancePaths paths = PathsIn(dir);
    {
        QtInstanceGuard gone([] {}, paths);
        ASSERT_TRUE(gone.ClaimFirstInstance());
    }
    // A controller that was killed leaves its socket file: bound, nobody listening.
    {
        posix::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, paths.socket.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    }
    struct stat st {};
    ASSERT_EQ(::stat(paths.socket.c_str(), &st), 0);

    int raised = 0;
    QtInstanceGuard next([&] { ++raised; }, paths);
    EXPECT_TRUE(next.ClaimFirstInstance());
    EXPECT_TRUE(next.Listening());
    EXPECT_EQ(posix::SendRaiseRequest(paths.socket), 0);
    ProcessUntil([&] { return raised > 0; });
}

struct FailOpenCase {
    const char* what;
    bool missingFolder; // else: the lock path is a symbolic link
};

class QtInstanceFailOpenTest : public ::testing::TestWithParam<FailOpenCase> {};

TEST_P(QtInstanceFailOpenTest, UnusableLockLetsEveryControllerRun) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    posix::InstancePaths paths = PathsIn(dir);
    const std::string target = QDir(dir.path()).filePath(QStringLiteral("elsewhere")).toStdString();
    if (GetParam().missingFolder) {
        paths.lock = dir.path().toStdString() + "/missing/osactl.lock";
        paths.socket = dir.path().toStdString() + "/missing/osactl.sock";
    } else {
        // Planted by someone else: the lock must not follow it.
        ASSERT_EQ(::symlink(target.c_str(), paths.lock.c_str()), 0);
    }
    QtInstanceGuard first([] {}, paths);
    QtInstanceGuard second([] {}, paths);
    EXPECT_TRUE(first.ClaimFirstInstance());
    EXPECT_TRUE(second.ClaimFirstInstance());
    struct stat st {};
    EXPECT_NE(::stat(target.c_str(), &st), 0) << "the link's target was created";
}

INSTANTIATE_TEST_SUITE_P(Cases, QtInstanceFailOpenTest,
                         ::testing::Values(FailOpenCase{"missing folder", true},
                                           FailOpenCase{"symbolic link", false}),
                         [](const auto& p) {
                             return p.param.missingFolder ? "MissingFolder" : "SymbolicLink";
                         });

TEST(InstancePathsTest, RuntimeFolderWhenUsableElseTmpWithTheUserId) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string runtime = dir.path().toStdString();
    const std::string tmp = "/tmp/osactl-" + std::to_string(::getuid());
    struct Case {
        std::optional<std::string> value;
        std::string lock, socket;
    };
    const std::vector<Case> cases = {
        {runtime, runtime + "/osactl.lock", runtime + "/osactl.sock"},
        {runtime + "/", runtime + "/osactl.lock", runtime + "/osactl.sock"},
        {std::nullopt, tmp + ".lock", tmp + ".sock"},
        {std::string("relative/dir"), tmp + ".lock", tmp + ".sock"},
        {runtime + "/missing", tmp + ".lock", tmp + ".sock"},
    };
    for (const Case& c : cases) {
        ScopedEnv env("XDG_RUNTIME_DIR", c.value ? c.value->c_str() : nullptr);
        const posix::InstancePaths p = posix::DefaultInstancePaths();
        EXPECT_EQ(p.lock, c.lock) << (c.value ? *c.value : "(unset)");
        EXPECT_EQ(p.socket, c.socket) << (c.value ? *c.value : "(unset)");
    }
}

// --- Two controllers -------------------------------------------------------------

bool Listening(const std::string& socketPath) {
    posix::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    return ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

TEST(SecondControllerTest, ShowsMessage51RaisesTheFirstAndExitsWith100) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const posix::InstancePaths paths = PathsIn(dir);

    // The first controller: the real program, in demo mode, in a folder of
    // its own.
    QTemporaryDir programFolder;
    ASSERT_TRUE(programFolder.isValid());
    const QString program = CopyOfProgramIn(programFolder);
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    first.setProcessEnvironment(env);
    first.setReadChannel(QProcess::StandardError);
    first.start(program, {QStringLiteral("-DEMO")});
    ASSERT_TRUE(first.waitForStarted(-1)) << first.errorString().toStdString();
    // It listens once it holds the lock, before its main window opens.
    while (!Listening(paths.socket))
        ASSERT_FALSE(first.waitForFinished(10))
            << "osactl ended: " << first.readAllStandardError().toStdString();

    // The second controller, run here with the Qt host; the test is the
    // user who answers its message box.
    ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path().toLocal8Bit().constData());
    ResetAppState();
    QtWindowHost host{dlg::DialogTemplates(res::AllDialogTemplates())};
    QtInstanceGuard guard([] { FAIL() << "the second controller must not listen"; });
    const Services previous = InstallServices(Services{&host, &guard});
    struct Box {
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };
    std::optional<Box> box;
    WhenModal([&](QWidget* w) {
        auto* b = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(b, nullptr);
        box = Box{b->text(), b->icon()};
        b->button(QMessageBox::Ok)->click();
    });
    const std::vector<std::string_view> args = {"osactl", "-DEMO"};
    const int result = RunController(0, args);
    InstallServices(previous);

    EXPECT_EQ(result, ExitAlreadyRunning);
    ASSERT_TRUE(box.has_value());
    EXPECT_TRUE(box->text.startsWith(QStringLiteral("Ostrandel Controller is already active.")));
    EXPECT_TRUE(box->text.endsWith(QStringLiteral(" [code = 51]")));
    EXPECT_EQ(box->icon, QMessageBox::Warning);

    // The first one heard the request (it says so on standard error).
    QByteArray said;
    while (!said.contains("another controller asked this one to come forward")) {
        if (!first.waitForReadyRead(-1)) break;
        said += first.readAllStandardError();
    }
    EXPECT_TRUE(said.contains("another controller asked this one to come forward"))
        << said.toStdString();

    // A termination request closes its main window the ordinary way:
    // stand-alone mode, so exit code 0.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(-1));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    // It saved its settings on the way out, beside the copy it ran from.
    EXPECT_TRUE(QFileInfo::exists(programFolder.filePath(QStringLiteral("OSACTL.INI"))));
}

} // namespace
} // namespace osa::test
