// The three presentations of a result code, shown by the real Qt host: the
// message boxes with their icons and texts, and the communication-error box
// (template 15) with its text, pictures, layout and the two ways to end it.
#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <cmath>
#include <optional>

#include <gtest/gtest.h>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/error_message.h"
#include "platform/qt/qt_window_host.h"
#include "platform/services.h"
#include "tests/qt/qt_test_support.h"

namespace osa::test {
namespace {

class QtErrorMessageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        previous_ = InstallServices(Services{&host, nullptr});
    }
    void TearDown() override { InstallServices(previous_); }

    QtWindowHost host{dlg::DialogTemplates(res::AllDialogTemplates())};

  private:
    Services previous_{};
};

struct BoxCase {
    ResultCode code;
    QMessageBox::Icon icon;
    const char* text;
};

class QtMessageBoxTest : public QtErrorMessageTest,
                         public ::testing::WithParamInterface<BoxCase> {};

TEST_P(QtMessageBoxTest, ShowsTheCodesTextWithItsIconAndAnsweringOkReturnsIdOk) {
    const BoxCase& c = GetParam();
    struct Seen {
        QString text, caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
    };
    std::optional<Seen> seen;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        seen = Seen{box->text(), box->windowTitle(), box->icon(),
                    static_cast<int>(box->buttons().size())};
        box->button(QMessageBox::Ok)->click();
    });

    EXPECT_EQ(ShowErrorMessage(Window{}, c.code), mb::IdOk);

    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->text, QString::fromUtf8(c.text));
    EXPECT_EQ(seen->caption, QStringLiteral("Ostrandel Controller"));
    EXPECT_EQ(seen->icon, c.icon);
    EXPECT_EQ(seen->buttons, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, QtMessageBoxTest,
    ::testing::Values(
        BoxCase{56, QMessageBox::Critical,
                "The USB port is currently in use.\nPlease wait ten seconds, and then try again. "
                "[code = 56]"},
        BoxCase{208, QMessageBox::Warning,
                "Registration mark reading failure. Please reload the medium. [code = 208]"},
        BoxCase{211, QMessageBox::Critical, "Startup Animated Instructions Error !!! [code = 211]"},
        // No string: only what the format adds.
        BoxCase{999, QMessageBox::Critical, " [code = 999]"}),
    [](const auto& p) { return "Code" + std::to_string(p.param.code); });

TEST_F(QtErrorMessageTest, BoxIsOwnedByTheGivenWindow) {
    // A dialog of ours as the owner: the box must be its child window, so
    // it stays over it; a number that is not one of our windows means none.
    struct Probe {
        static std::intptr_t Proc(Window dialog, const DialogMessage& m) {
            if (m.msg != Msg::InitDialog) return 0;
            auto* self = reinterpret_cast<Probe*>(m.param);
            WhenModal(
                [self](QWidget* w) {
                    if (QWidget* parent = w->parentWidget()) self->parent = parent->objectName();
                    qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
                },
                [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; });
            (void)ShowErrorMessage(dialog, rc::PrintJobsWaiting);
            Windows().EndDialog(dialog, 0);
            return 0;
        }
        QString parent; // its object name: the dialog is gone afterwards
    } probe;

    ASSERT_EQ(host.DialogBox(ids::DlgCommError, Window{}, Probe::Proc,
                             reinterpret_cast<std::intptr_t>(&probe)),
              0);
    // The box was shown during the dialog's initialisation, before the
    // dialog itself, and still belongs to it.
    EXPECT_EQ(probe.parent, QStringLiteral("dlg_15"));

    std::optional<QWidget*> parent;
    WhenModal([&](QWidget* w) {
        parent = w->parentWidget();
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    (void)ShowErrorMessage(Window{0x12345678}, rc::PrintJobsWaiting);
    ASSERT_TRUE(parent.has_value());
    EXPECT_EQ(*parent, nullptr);
}

// --- The communication-error box ---------------------------------------------

enum class EndBy { OkButton, CloseButton };

struct CommCase {
    ResultCode code;
    EndBy end;
};

class QtCommErrorBoxTest : public QtErrorMessageTest,
                           public ::testing::WithParamInterface<CommCase> {};

TEST_P(QtCommErrorBoxTest, ShowsString57WithTheCodeAndItsPicturesAndEndsWithOne) {
    const CommCase& c = GetParam();
    const QString expected = FromUtf8(res::LoadString(rc::CannotCommunicate)) +
                             QStringLiteral(" [code = %1]").arg(c.code);
    struct Seen {
        QString text, caption;
        bool pictureShown = false, iconShown = false;
        bool stillOpenAfterEnd = false;
    };
    std::optional<Seen> seen;
    WhenModal(
        [&](QWidget* dialog) {
            Seen s;
            s.caption = dialog->windowTitle();
            if (auto* label = qobject_cast<QLabel*>(Control(dialog, ids::CommErrorText)))
                s.text = label->text();
            auto* picture = qobject_cast<QLabel*>(Artwork(dialog, ids::BitmapCommError));
            auto* icon = qobject_cast<QLabel*>(Artwork(dialog, ids::IconWarning));
            s.pictureShown =
                picture != nullptr && !picture->pixmap().isNull() && picture->isVisible();
            s.iconShown = icon != nullptr && !icon->pixmap().isNull() && icon->isVisible();
            if (c.end == EndBy::OkButton)
                qobject_cast<QAbstractButton*>(Control(dialog, mb::IdOk))->click();
            else
                dialog->close(); // the caption's close button
            s.stillOpenAfterEnd = dialog->isVisible();
            seen = s;
        },
        IsDialog(ids::DlgCommError));

    EXPECT_EQ(ShowErrorMessage(Window{}, c.code), 1);

    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->text, expected);
    EXPECT_EQ(seen->caption, QStringLiteral("Ostrandel Controller"));
    EXPECT_TRUE(seen->pictureShown) << "bitmap 1016 missing from the resources";
    EXPECT_TRUE(seen->iconShown) << "icon 1515 missing from the resources";
    EXPECT_FALSE(seen->stillOpenAfterEnd);
}

INSTANTIATE_TEST_SUITE_P(Codes, QtCommErrorBoxTest,
                         ::testing::Values(CommCase{62, EndBy::OkButton},
                                           CommCase{62, EndBy::CloseButton},
                                           CommCase{57, EndBy::OkButton},
                                           CommCase{57, EndBy::CloseButton}),
                         [](const auto& p) {
                             return "Code" + std::to_string(p.param.code) +
                                    (p.param.end == EndBy::OkButton ? "Ok" : "CloseButton");
                         });

TEST_F(QtErrorMessageTest, CommErrorBoxIsOwnedByTheMainWindowWhateverOwnerIsPassed) {
    // The main window (template 10) runs; its procedure passes no owner.
    struct Main {
        static std::intptr_t Proc(Window dialog, const DialogMessage& m) {
            if (m.msg != Msg::InitDialog) return 0;
            App().mainDialog = dialog.value;
            auto* owner = reinterpret_cast<QString*>(m.param);
            WhenModal(
                [owner](QWidget* w) {
                    if (QWidget* parent = w->parentWidget()) *owner = parent->objectName();
                    qobject_cast<QAbstractButton*>(Control(w, mb::IdOk))->click();
                },
                IsDialog(ids::DlgCommError));
            (void)ShowErrorMessage(Window{}, rc::CannotCommunicate);
            Windows().EndDialog(dialog, 0);
            return 0;
        }
    };
    QString owner; // the object name of the box's parent
    ASSERT_EQ(
        host.DialogBox(ids::DlgMain, Window{}, Main::Proc, reinterpret_cast<std::intptr_t>(&owner)),
        0);
    EXPECT_EQ(owner, QStringLiteral("dlg_10"));
}

// --- Layout ------------------------------------------------------------------

// Windows' rule, computed here independently of the host: base units from
// the dialog's font, then x * baseX / 4 and y * baseY / 8, rounded.
QRect ExpectedRect(const QFont& font, int x, int y, int cx, int cy) {
    QFontMetrics metrics(font);
    const double letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const long baseX = std::lround(letters / 52.0);
    // The height a line takes as Qt lays it out: the fractional height, rounded up.
    const long baseY = static_cast<long>(std::ceil(QFontMetricsF(font).height()));
    auto px = [](long v, long base, long div) {
        return static_cast<int>(std::lround(double(v) * base / div));
    };
    return QRect(px(x, baseX, 4), px(y, baseY, 8), px(cx, baseX, 4), px(cy, baseY, 8));
}

TEST_F(QtErrorMessageTest, CommErrorBoxIsLaidOutInDialogUnitsOfItsFont) {
    struct Seen {
        QRect ok, text, expectedOk, expectedText, client, expectedClient;
        QPoint picture, expectedPicture;
        QString family;
    };
    std::optional<Seen> seen;
    WhenModal(
        [&](QWidget* dialog) {
            const QFont font = dialog->font();
            Seen s;
            s.family = QFontInfo(font).family();
            s.ok = Control(dialog, mb::IdOk)->geometry();
            s.expectedOk = ExpectedRect(font, 81, 140, 50, 14);
            s.text = Control(dialog, ids::CommErrorText)->geometry();
            s.expectedText = ExpectedRect(font, 26, 8, 173, 32);
            s.client = dialog->rect();
            s.expectedClient = ExpectedRect(font, 0, 0, 210, 161);
            s.picture = Artwork(dialog, ids::BitmapCommError)->pos();
            s.expectedPicture = ExpectedRect(font, 30, 45, 0, 0).topLeft();
            seen = s;
            qobject_cast<QAbstractButton*>(Control(dialog, mb::IdOk))->click();
        },
        IsDialog(ids::DlgCommError));

    (void)ShowErrorMessage(Window{}, rc::WrongModel);

    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->ok, seen->expectedOk);
    EXPECT_EQ(seen->text, seen->expectedText);
    EXPECT_EQ(seen->client, seen->expectedClient);
    // A picture static keeps the template's corner and takes its image's size.
    EXPECT_EQ(seen->picture, seen->expectedPicture);
    EXPECT_FALSE(seen->family.isEmpty());
}

} // namespace
} // namespace osa::test
