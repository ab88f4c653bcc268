// How the Qt host turns Qt's events and signals into the Win32 messages the
// dialog procedures expect. Each test runs the main window (template 10)
// with the page (template 11) inside it, with procedures that log every
// message, and acts on the real widgets while the modal loop runs.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "platform/qt/qt_window_host.h"
#include "platform/services.h"
#include "tests/qt/qt_test_support.h"

namespace osa::test {
namespace {

constexpr int MediaList = 5103;
constexpr int AdjustSettings = 5104;
constexpr int Landscape = 5127;
constexpr int Portrait = 5128;
constexpr int WidthEdit = 5111;
constexpr int SpeedBar = 5107;
constexpr int GuideToggle = 5190;
constexpr int StepLabel0 = 5000;
constexpr int MessageArea = 5100;
constexpr int GuidePanel = 5011;
constexpr int TitleLine = 5132;
constexpr int BladeCaption = 5189;

// Combo box notifications (Win32 numbers).
constexpr int CbnSelChange = 1, CbnDropDown = 7, CbnCloseUp = 8, CbnSelEndOk = 9,
              CbnSelEndCancel = 10;

enum class Who { Main, Page };

struct Logged {
    Who who;
    Msg msg;
    int id = 0;
    int code = 0;
    int position = 0;
    Point point{};
};

class QtHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        current_ = this;
        previous_ = InstallServices(Services{&host, nullptr});
    }
    void TearDown() override {
        InstallServices(previous_);
        current_ = nullptr;
    }

    // Runs the main window with the page; `body` runs once its loop runs,
    // and the window is ended with 0 after it unless the body ended it.
    std::intptr_t Run(std::function<void()> body) {
        body_ = std::move(body);
        return host.DialogBox(ids::DlgMain, Window{}, MainProc, 0);
    }

    QWidget* MainWidget() const { return host.WidgetOf(main); }
    QWidget* PageWidget() const { return host.WidgetOf(page); }
    template <class T> T* PageControl(int id) const {
        return qobject_cast<T*>(Control(PageWidget(), id));
    }

    std::vector<Logged> Messages(Who who, Msg msg) const {
        std::vector<Logged> out;
        std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                     [&](const Logged& l) { return l.who == who && l.msg == msg; });
        return out;
    }
    std::vector<int> Codes(Who who, Msg msg, int id) const {
        std::vector<int> out;
        for (const Logged& l : Messages(who, msg))
            if (l.id == id) out.push_back(l.code);
        return out;
    }

    QtWindowHost host{dlg::DialogTemplates(res::AllDialogTemplates())};
    Window main{};
    Window page{};
    std::vector<Logged> log;
    // Answers of the procedures, when a test needs some; 0 otherwise.
    std::function<std::intptr_t(Window, const DialogMessage&)> mainAnswer;
    std::function<std::intptr_t(Window, const DialogMessage&)> pageAnswer;

  private:
    static std::intptr_t MainProc(Window dialog, const DialogMessage& m) {
        QtHostTest* t = current_;
        t->log.push_back(Logged{Who::Main, m.msg, m.id, m.code, m.position, m.point});
        if (m.msg == Msg::InitDialog) {
            t->main = dialog;
            t->page = Windows().CreateDialog(ids::DlgCutSettings, dialog, PageProc, 0);
            QTimer::singleShot(0, [t] {
                t->body_();
                Windows().EndDialog(t->main, 0);
            });
        }
        return t->mainAnswer ? t->mainAnswer(dialog, m) : 0;
    }
    static std::intptr_t PageProc(Window dialog, const DialogMessage& m) {
        QtHostTest* t = current_;
        t->log.push_back(Logged{Who::Page, m.msg, m.id, m.code, m.position, m.point});
        return t->pageAnswer ? t->pageAnswer(dialog, m) : 0;
    }

    static QtHostTest* current_;
    std::function<void()> body_;
    Services previous_{};
};

QtHostTest* QtHostTest::current_ = nullptr;

// --- Scroll bars ---------------------------------------------------------------

struct ScrollCase {
    QAbstractSlider::SliderAction action;
    int code;
    int followed; // the position a procedure that follows the code sets, from 5 in 1..10
};

class QtScrollTest : public QtHostTest, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(QtScrollTest, ActionIsReportedAndOnlyTheProcedureMovesTheBar) {
    const ScrollCase& c = GetParam();
    bool follow = false;
    pageAnswer = [&](Window d, const DialogMessage& m) -> std::intptr_t {
        if (!follow || m.msg != Msg::HScroll || m.id != SpeedBar) return 0;
        const int pos = Windows().GetScrollPos(d, SpeedBar);
        switch (m.code) {
        case sb::LineLeft:
            Windows().SetScrollPos(d, SpeedBar, pos - 1, true);
            break;
        case sb::LineRight:
            Windows().SetScrollPos(d, SpeedBar, pos + 1, true);
            break;
        case sb::PageLeft:
            Windows().SetScrollPos(d, SpeedBar, pos - 2, true);
            break;
        case sb::PageRight:
            Windows().SetScrollPos(d, SpeedBar, pos + 2, true);
            break;
        case sb::Left:
            Windows().SetScrollPos(d, SpeedBar, 1, true);
            break;
        case sb::Right:
            Windows().SetScrollPos(d, SpeedBar, 10, true);
            break;
        default:
            break;
        }
        return 0;
    };
    int unmoved = -1, unmovedThumb = -1, moved = -1, movedThumb = -1;
    Run([&] {
        host.SetScrollRange(page, SpeedBar, 1, 10, true);
        host.SetScrollPos(page, SpeedBar, 5, true);
        auto* bar = PageControl<QScrollBar>(SpeedBar);
        bar->triggerAction(c.action);
        unmoved = host.GetScrollPos(page, SpeedBar);
        unmovedThumb = bar->sliderPosition();
        follow = true;
        bar->triggerAction(c.action);
        moved = host.GetScrollPos(page, SpeedBar);
        movedThumb = bar->sliderPosition();
    });
    EXPECT_EQ(Codes(Who::Page, Msg::HScroll, SpeedBar), (std::vector<int>{c.code, c.code}));
    EXPECT_EQ(unmoved, 5);
    EXPECT_EQ(unmovedThumb, 5);
    EXPECT_EQ(moved, c.followed);
    EXPECT_EQ(movedThumb, c.followed);
}

std::string ScrollCaseName(const ::testing::TestParamInfo<ScrollCase>& param) {
    switch (param.param.code) {
    case sb::LineLeft:
        return "LineLeft";
    case sb::LineRight:
        return "LineRight";
    case sb::PageLeft:
        return "PageLeft";
    case sb::PageRight:
        return "PageRight";
    case sb::Left:
        return "Left";
    default:
        return "Right";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Actions, QtScrollTest,
    ::testing::Values(ScrollCase{QAbstractSlider::SliderSingleStepSub, sb::LineLeft, 4},
                      ScrollCase{QAbstractSlider::SliderSingleStepAdd, sb::LineRight, 6},
                      ScrollCase{QAbstractSlider::SliderPageStepSub, sb::PageLeft, 3},
                      ScrollCase{QAbstractSlider::SliderPageStepAdd, sb::PageRight, 7},
                      ScrollCase{QAbstractSlider::SliderToMinimum, sb::Left, 1},
                      ScrollCase{QAbstractSlider::SliderToMaximum, sb::Right, 10}),
    ScrollCaseName);

TEST_F(QtScrollTest, DraggedThumbReportsTrackAndPositionAndReturnsUnlessSet) {
    int whileDragging = -1, afterRelease = -1, thumbAfterRelease = -1;
    Run([&] {
        host.SetScrollRange(page, SpeedBar, 1, 10, true);
        host.SetScrollPos(page, SpeedBar, 5, true);
        auto* bar = PageControl<QScrollBar>(SpeedBar);
        // What QScrollBar does for a drag of its thumb.
        bar->setSliderDown(true);
        bar->setSliderPosition(8);
        whileDragging = host.GetScrollPos(page, SpeedBar);
        bar->setSliderDown(false);
        afterRelease = host.GetScrollPos(page, SpeedBar);
        thumbAfterRelease = bar->sliderPosition();
    });
    std::vector<std::pair<int, int>> seen;
    for (const Logged& l : Messages(Who::Page, Msg::HScroll))
        seen.emplace_back(l.code, l.position);
    // Pressing the thumb reports it at the position it had, as Windows does.
    EXPECT_EQ(
        seen,
        (std::vector<std::pair<int, int>>{
            {sb::ThumbTrack, 5}, {sb::ThumbTrack, 8}, {sb::ThumbPosition, 8}, {sb::EndScroll, 0}}));
    EXPECT_EQ(whileDragging, 5);
    EXPECT_EQ(afterRelease, 5);
    EXPECT_EQ(thumbAfterRelease, 5);
}

TEST_F(QtScrollTest, ClickOnTheArrowEndsWithEndScroll) {
    Run([&] {
        host.SetScrollRange(page, SpeedBar, 1, 10, true);
        host.SetScrollPos(page, SpeedBar, 5, true);
        auto* bar = PageControl<QScrollBar>(SpeedBar);
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 3, bar->height() / 2));
    });
    EXPECT_EQ(Codes(Who::Page, Msg::HScroll, SpeedBar),
              (std::vector<int>{sb::LineRight, sb::EndScroll}));
}

// --- Drop-down list ------------------------------------------------------------

class QtComboTest : public QtHostTest {
  protected:
    void Fill() {
        for (const char* item : {"Plain Paper", "Glossy Paper", "Vinyl", "Pen"})
            (void)host.ComboAdd(page, MediaList, item);
        host.ComboSetSelection(page, MediaList, 1);
        // The selection each notification saw.
        pageAnswer = [this](Window d, const DialogMessage& m) -> std::intptr_t {
            if (m.msg == Msg::Command && m.id == MediaList)
                seen.emplace_back(m.code, Windows().ComboGetSelection(d, MediaList));
            return 0;
        };
    }
    std::vector<std::pair<int, int>> seen; // code, selection then
};

TEST_F(QtComboTest, ProgrammaticSelectionIsSilentAndAKeyOnTheClosedBoxReportsTheChoice) {
    Run([&] {
        Fill();
        host.ComboSetSelection(page, MediaList, 3);
        host.ComboSetSelection(page, MediaList, 1);
        EXPECT_TRUE(seen.empty());
        QTest::keyClick(PageControl<QComboBox>(MediaList), Qt::Key_Down);
    });
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{CbnSelEndOk, 2}, {CbnSelChange, 2}}));
}

TEST_F(QtComboTest, ChoiceInTheOpenListIsConfirmedBeforeTheListCloses) {
    // The page restores its remembered item on CBN_CLOSEUP; the choice must
    // have been reported (CBN_SELENDOK) before that, as Windows does.
    Run([&] {
        Fill();
        auto* combo = PageControl<QComboBox>(MediaList);
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        list->setCurrentIndex(combo->model()->index(2, 0));
        QTest::keyClick(list, Qt::Key_Return);
        ProcessUntil([&] { return !seen.empty() && seen.back().first == CbnSelChange; });
    });
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{
                        {CbnDropDown, 1}, {CbnSelEndOk, 2}, {CbnCloseUp, 2}, {CbnSelChange, 2}}));
}

TEST_F(QtComboTest, ListClosedWithEscapeIsCancelled) {
    Run([&] {
        Fill();
        auto* combo = PageControl<QComboBox>(MediaList);
        combo->showPopup();
        QTest::keyClick(combo->view(), Qt::Key_Escape);
        ProcessUntil([&] { return !seen.empty() && seen.back().first == CbnCloseUp; });
    });
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{
                        {CbnDropDown, 1}, {CbnSelEndCancel, 1}, {CbnCloseUp, 1}}));
}

// --- Edits and buttons ---------------------------------------------------------

TEST_F(QtHostTest, EditReportsEveryChangeTypedOrSetAndLosingTheFocus) {
    std::vector<std::string> textAtChange;
    pageAnswer = [&](Window d, const DialogMessage& m) -> std::intptr_t {
        if (m.msg == Msg::Command && m.id == WidthEdit && m.code == notify::EditChange)
            textAtChange.push_back(Windows().GetItemText(d, WidthEdit));
        return 0;
    };
    Run([&] {
        // Focus moves only within the active window.
        ProcessUntil([&] { return QApplication::activeWindow() == MainWidget(); });
        auto* edit = PageControl<QLineEdit>(WidthEdit);
        edit->setFocus();
        QTest::keyClicks(edit, "12");
        host.SetItemText(page, WidthEdit, "3.5");
        host.SetFocusItem(page, AdjustSettings);
        ProcessUntil([&] {
            return !Codes(Who::Page, Msg::Command, WidthEdit).empty() &&
                   Codes(Who::Page, Msg::Command, WidthEdit).back() == notify::EditKillFocus;
        });
    });
    EXPECT_EQ(textAtChange, (std::vector<std::string>{"1", "12", "3.5"}));
}

TEST_F(QtHostTest, CheckBoxAndRadioButtonsChangeStateBeforeTheyReport) {
    std::vector<std::pair<int, bool>> atClick; // id, its checked state then
    pageAnswer = [&](Window d, const DialogMessage& m) -> std::intptr_t {
        if (m.msg == Msg::Command && m.code == notify::ButtonClicked)
            atClick.emplace_back(m.id, Windows().IsItemChecked(d, m.id));
        return 0;
    };
    bool landscapeAfter = true, portraitAfter = false, bothByProgram = false;
    Run([&] {
        QTest::mouseClick(PageControl<QAbstractButton>(AdjustSettings), Qt::LeftButton);
        host.CheckItem(page, Landscape, true);
        QTest::mouseClick(PageControl<QAbstractButton>(Portrait), Qt::LeftButton);
        QTest::mouseClick(PageControl<QAbstractButton>(Portrait), Qt::LeftButton); // stays chosen
        landscapeAfter = host.IsItemChecked(page, Landscape);
        portraitAfter = host.IsItemChecked(page, Portrait);
        // BM_SETCHECK touches only its own button.
        host.CheckItem(page, Landscape, true);
        bothByProgram = host.IsItemChecked(page, Landscape) && host.IsItemChecked(page, Portrait);
    });
    EXPECT_EQ(atClick, (std::vector<std::pair<int, bool>>{
                           {AdjustSettings, true}, {Portrait, true}, {Portrait, true}}));
    EXPECT_FALSE(landscapeAfter);
    EXPECT_TRUE(portraitAfter);
    EXPECT_TRUE(bothByProgram);
}

// --- Keyboard and the close button ---------------------------------------------

TEST_F(QtHostTest, EnterAndEscGoToTheMainWindowAndDoNotCloseIt) {
    bool visibleAfter = false;
    Run([&] {
        auto* edit = PageControl<QLineEdit>(WidthEdit);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Escape);
        visibleAfter = MainWidget()->isVisible();
    });
    EXPECT_EQ(Codes(Who::Main, Msg::Command, 1), std::vector<int>{notify::ButtonClicked});
    EXPECT_EQ(Codes(Who::Main, Msg::Command, 2), std::vector<int>{notify::ButtonClicked});
    // The page hears of focus moves only.
    for (const Logged& l : Messages(Who::Page, Msg::Command))
        EXPECT_TRUE(l.code == notify::EditSetFocus || l.code == notify::EditKillFocus) << l.code;
    EXPECT_TRUE(visibleAfter);
}

TEST_F(QtHostTest, F1AsksTheFocusedControlsDialogThenItsParent) {
    bool pageHandles = false;
    pageAnswer = [&](Window, const DialogMessage& m) -> std::intptr_t {
        return m.msg == Msg::Help && pageHandles ? 1 : 0;
    };
    Run([&] {
        auto* box = PageControl<QAbstractButton>(AdjustSettings);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_F1); // the page leaves it: on to the main window
        pageHandles = true;
        QTest::keyClick(box, Qt::Key_F1);
    });
    auto ids = [](const std::vector<Logged>& l) {
        std::vector<int> out;
        for (const Logged& x : l)
            out.push_back(x.id);
        return out;
    };
    EXPECT_EQ(ids(Messages(Who::Page, Msg::Help)),
              (std::vector<int>{AdjustSettings, AdjustSettings}));
    EXPECT_EQ(ids(Messages(Who::Main, Msg::Help)), std::vector<int>{AdjustSettings});
}

TEST_F(QtHostTest, CloseButtonGivesSysCommandThenCloseThenCancelUntilRemoved) {
    Run([&] {
        MainWidget()->close();
        host.RemoveCloseCommand(main);
        MainWidget()->close();
    });
    std::vector<Msg> sequence;
    for (const Logged& l : log)
        if (l.who == Who::Main && (l.msg == Msg::SysCommand || l.msg == Msg::Close ||
                                   (l.msg == Msg::Command && l.id == mb::IdCancel)))
            sequence.push_back(l.msg);
    EXPECT_EQ(sequence, (std::vector<Msg>{Msg::SysCommand, Msg::Close, Msg::Command}));
    EXPECT_EQ(Messages(Who::Main, Msg::SysCommand).front().code, sc::Close);
}

TEST_F(QtHostTest, CloseRequestFromOutsideClosesTheOpenBoxThenTheMainWindow) {
    // What osactl does on SIGTERM: the innermost window first (a box as by
    // its Esc key), then the main window through its close handling.
    mainAnswer = [&](Window d, const DialogMessage& m) -> std::intptr_t {
        if (m.msg == Msg::Close) Windows().EndDialog(d, 5);
        return 0;
    };
    int boxAnswer = 0;
    bool mainOpenAfterBox = false;
    const std::intptr_t result = Run([&] {
        WhenModal([&](QWidget*) { host.RequestClose(); },
                  [](QWidget* w) { return w->objectName() != QStringLiteral("dlg_10"); });
        boxAnswer = host.MessageBox(main, "Proceed?", "Check", mb::OkCancel | mb::IconQuestion);
        mainOpenAfterBox = MainWidget() != nullptr && MainWidget()->isVisible();
        ProcessUntil([&] { return !MainWidget()->isVisible(); });
    });
    EXPECT_EQ(boxAnswer, mb::IdCancel);
    EXPECT_TRUE(mainOpenAfterBox);
    EXPECT_EQ(result, 5);
}

// --- Ending --------------------------------------------------------------------

TEST_F(QtHostTest, NothingRunsAfterEndDialogButTheDestroyMessages) {
    mainAnswer = [&](Window d, const DialogMessage& m) -> std::intptr_t {
        if (m.msg == Msg::Command && m.id == GuideToggle) {
            Windows().EndDialog(d, 7);
            // Still inside the procedure: a second click reaches nobody.
            qobject_cast<QAbstractButton*>(Control(MainWidget(), GuideToggle))->click();
        }
        return 0;
    };
    const std::intptr_t result = Run([&] {
        QTest::mouseClick(qobject_cast<QAbstractButton*>(Control(MainWidget(), GuideToggle)),
                          Qt::LeftButton);
    });
    EXPECT_EQ(result, 7);
    EXPECT_EQ(Codes(Who::Main, Msg::Command, GuideToggle).size(), 1u);
    // After the command: the main window's Destroy, then its page's.
    auto command = std::find_if(log.begin(), log.end(), [](const Logged& l) {
        return l.who == Who::Main && l.msg == Msg::Command && l.id == GuideToggle;
    });
    ASSERT_NE(command, log.end());
    std::vector<std::pair<Who, Msg>> after;
    for (auto it = command + 1; it != log.end(); ++it)
        if (it->who == Who::Main || it->msg == Msg::Destroy) after.emplace_back(it->who, it->msg);
    EXPECT_EQ(after, (std::vector<std::pair<Who, Msg>>{{Who::Main, Msg::Destroy},
                                                       {Who::Page, Msg::Destroy}}));
    EXPECT_EQ(host.WidgetOf(main), nullptr);
}

// --- Painting and the mouse ----------------------------------------------------

QColor PixelOf(QWidget* widget, QPoint at) {
    return widget->grab().toImage().pixelColor(at);
}

TEST_F(QtHostTest, StaticsAndTheDialogArePaintedWithTheBrushesTheirProceduresReturn) {
    Brush blue{}, white{};
    bool highlight = false;
    mainAnswer = [&](Window, const DialogMessage& m) -> std::intptr_t {
        if (m.msg == Msg::CtlColorDlg) return static_cast<std::intptr_t>(blue.value);
        if (m.msg != Msg::CtlColorStatic) return 0;
        if (m.id == StepLabel0) {
            m.colours->transparent = true;
            m.colours->text = highlight ? Rgb(255, 64, 192) : Rgb(255, 255, 255);
            return static_cast<std::intptr_t>(blue.value);
        }
        if (m.id == MessageArea) return static_cast<std::intptr_t>(white.value);
        return 0;
    };
    QColor dialogCorner, labelCorner, messageArea, defaultStatic;
    int colourQueriesAfterInvalidate = 0;
    Run([&] {
        blue = host.CreateSolidBrush(Rgb(0, 29, 160));
        white = host.CreateSolidBrush(Rgb(255, 255, 255));
        dialogCorner = PixelOf(MainWidget(), QPoint(2, 2));
        labelCorner = PixelOf(Control(MainWidget(), StepLabel0), QPoint(0, 0));
        messageArea = PixelOf(Control(MainWidget(), MessageArea), QPoint(3, 3));
        defaultStatic = PixelOf(Control(MainWidget(), TitleLine), QPoint(0, 0));
        // A highlight change shows once the label is invalidated.
        highlight = true;
        const auto before = Messages(Who::Main, Msg::CtlColorStatic).size();
        host.InvalidateRect(host.GetItem(main, StepLabel0), std::nullopt, true);
        ProcessUntil([&] { return Messages(Who::Main, Msg::CtlColorStatic).size() > before; });
        colourQueriesAfterInvalidate =
            static_cast<int>(Messages(Who::Main, Msg::CtlColorStatic).size() - before);
        host.DeleteBrush(blue);
        host.DeleteBrush(white);
    });
    EXPECT_EQ(dialogCorner, QColor(0, 29, 160));
    EXPECT_EQ(labelCorner, QColor(0, 29, 160));
    EXPECT_EQ(messageArea, QColor(255, 255, 255));
    // No brush: the face colour, as the default dialog procedure paints it.
    EXPECT_EQ(defaultStatic, QApplication::palette().color(QPalette::Window));
    EXPECT_GE(colourQueriesAfterInvalidate, 1);
}

TEST_F(QtHostTest, IconsDrawnDuringPaintAppearOnThePage) {
    if (QPixmap(QStringLiteral(":/icon/%1").arg(ids::IconWarning)).isNull())
        GTEST_SKIP() << "the artwork is not linked into this build";
    const QRect spot = QRect(437, 244, 32, 32); // an empty part of the page
    pageAnswer = [&](Window d, const DialogMessage& m) -> std::intptr_t {
        if (m.msg == Msg::Paint) Windows().DrawIcon(d, ids::IconWarning, Point{spot.x(), spot.y()});
        return 0;
    };
    QImage image;
    Run([&] {
        Windows().DrawIcon(page, ids::IconWarning, Point{0, 0}); // outside Paint: nothing
        image = PageWidget()->grab().toImage();
    });
    const QColor face = QApplication::palette().color(QPalette::Window);
    int drawn = 0;
    for (int y = spot.top(); y <= spot.bottom(); ++y)
        for (int x = spot.left(); x <= spot.right(); ++x)
            drawn += image.pixelColor(x, y) != face;
    EXPECT_GT(drawn, 32 * 32 / 4);
    EXPECT_EQ(image.pixelColor(2, 2), face);
}

TEST_F(QtHostTest, MouseOnAStaticReachesTheDialogInItsClientCoordinates) {
    QPoint at;
    Run([&] {
        QWidget* label = Control(PageWidget(), BladeCaption);
        at = label->geometry().center();
        QTest::mousePress(PageWidget(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(PageWidget(), Qt::LeftButton, {}, at);
    });
    const auto downs = Messages(Who::Page, Msg::LButtonDown);
    const auto ups = Messages(Who::Page, Msg::LButtonUp);
    ASSERT_EQ(downs.size(), 1u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(downs[0].point, (Point{at.x(), at.y()}));
    EXPECT_EQ(ups[0].point, (Point{at.x(), at.y()}));
    EXPECT_TRUE(Messages(Who::Main, Msg::LButtonDown).empty());
}

// --- State, geometry, fonts, input --------------------------------------------

TEST_F(QtHostTest, DuringInitialisationControlsReportTheirOwnVisibilityAndGeometry) {
    struct AtInit {
        bool panelVisible = true, toggleVisible = false, panelShown = false;
        Rect window{}, panel{}, mapped{};
    };
    std::optional<AtInit> atInit;
    mainAnswer = [&](Window d, const DialogMessage& m) -> std::intptr_t {
        if (m.msg != Msg::InitDialog) return 0;
        AtInit a;
        a.panelVisible = Windows().IsItemVisible(d, GuidePanel);
        a.toggleVisible = Windows().IsItemVisible(d, GuideToggle);
        Windows().ShowItem(d, GuidePanel, true);
        a.panelShown = Windows().IsItemVisible(d, GuidePanel);
        Windows().ShowItem(d, GuidePanel, false);
        a.window = Windows().GetWindowRect(d);
        a.panel = Windows().GetItemRect(d, GuidePanel);
        a.mapped = Windows().MapDialogRect(d, Rect{0, 263, 427, 357});
        atInit = a;
        return 0;
    };
    Rect shortened{}, afterMove{};
    Run([&] {
        shortened = host.GetWindowRect(main);
        shortened.bottom = atInit->panel.top;
        host.MoveWindow(main, shortened, true);
        afterMove = host.GetWindowRect(main);
    });
    ASSERT_TRUE(atInit.has_value());
    EXPECT_FALSE(atInit->panelVisible);
    EXPECT_TRUE(atInit->toggleVisible);
    EXPECT_TRUE(atInit->panelShown);
    EXPECT_EQ(atInit->panel.left - atInit->window.left, atInit->mapped.left);
    EXPECT_EQ(atInit->panel.top - atInit->window.top, atInit->mapped.top);
    EXPECT_EQ(atInit->panel.bottom, atInit->window.bottom); // the panel reaches the bottom edge
    EXPECT_EQ(afterMove, shortened);
}

TEST_F(QtHostTest, GuiFontTakesTheCellHeightAndWeightAsked) {
    QFont applied;
    Run([&] {
        Font bold = host.CreateGuiFont(18, 700);
        host.SetItemFont(main, TitleLine, bold);
        applied = Control(MainWidget(), TitleLine)->font();
        host.DeleteFont(bold);
    });
    QFontMetrics metrics(applied);
    EXPECT_EQ(QFontInfo(applied).weight(), QFont::Bold);
    EXPECT_LE(metrics.ascent() + metrics.descent(), 18);
    EXPECT_GE(metrics.ascent() + metrics.descent(), 15);
}

TEST_F(QtHostTest, WaitCursorLastsUntilTheMouseMoves) {
    std::optional<Qt::CursorShape> during;
    bool restored = false;
    Run([&] {
        host.SetWaitCursor(true);
        if (const QCursor* c = QApplication::overrideCursor()) during = c->shape();
        QTest::mouseMove(MainWidget(), QPoint(10, 10));
        restored = QApplication::overrideCursor() == nullptr;
    });
    EXPECT_EQ(during, Qt::WaitCursor);
    EXPECT_TRUE(restored);
}

TEST_F(QtHostTest, DiscardPendingInputDropsQueuedClicks) {
    auto postClick = [](QWidget* button) {
        const QPointF at = QRectF(button->rect()).center();
        const QPointF global = button->mapToGlobal(at);
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                            Qt::LeftButton, Qt::LeftButton, {}));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                            Qt::LeftButton, Qt::NoButton, {}));
    };
    std::size_t clicksDelivered = 0, clicksAfterDiscard = 0;
    Run([&] {
        QWidget* button = Control(MainWidget(), GuideToggle);
        postClick(button); // delivered: the test's clicks do reach the button
        QCoreApplication::processEvents();
        clicksDelivered = Codes(Who::Main, Msg::Command, GuideToggle).size();
        postClick(button);
        host.DiscardPendingInput();
        QCoreApplication::processEvents();
        clicksAfterDiscard = Codes(Who::Main, Msg::Command, GuideToggle).size();
    });
    EXPECT_EQ(clicksDelivered, 1u);
    EXPECT_EQ(clicksAfterDiscard, 1u);
}

TEST_F(QtHostTest, DiscardPendingInputRunsNothingInsideTheCallAndEndsByItself) {
    // Called from inside a blocking operation, it must not re-enter any
    // dialog procedure: no timer, no deferred notification, no paint.
    bool timerRan = false, timerRanInside = false;
    std::size_t heardInside = 0;
    std::size_t clicksLater = 0;
    Run([&] {
        QWidget* button = Control(MainWidget(), GuideToggle);
        QTimer::singleShot(0, [&] { timerRan = true; });
        MainWidget()->update();
        PageWidget()->update();
        const std::size_t before = log.size();
        host.DiscardPendingInput();
        timerRanInside = timerRan;
        heardInside = log.size() - before;
        // Later input is the user's again.
        ProcessUntil([&] { return timerRan; });
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QTest::mouseClick(button, Qt::LeftButton);
        clicksLater = Codes(Who::Main, Msg::Command, GuideToggle).size();
    });
    EXPECT_FALSE(timerRanInside);
    EXPECT_EQ(heardInside, 0u);
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(clicksLater, 1u);
}

} // namespace
} // namespace osa::test
