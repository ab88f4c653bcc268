// The conformance table (tests/conformance/) on the Qt host: each action as
// Qt events on the real widgets, while the dialog's modal loop runs.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/qt/qt_window_host.h"
#include "platform/services.h"
#include "tests/conformance/dialog_conformance.h"
#include "tests/qt/qt_test_support.h"

namespace osa::test {
namespace {

namespace cf = conformance;

class QtConformance : public ::testing::TestWithParam<cf::Case> {
  protected:
    void SetUp() override { previous_ = InstallServices(Services{&host, nullptr}); }
    void TearDown() override { InstallServices(previous_); }

    QWidget* Widget(Window w) const { return host.WidgetOf(w); }
    QWidget* MainControl(int id) { return host.WidgetOf(host.GetItem(cf::MainWindow(), id)); }
    QPoint PagePoint(Point dlu) {
        const Rect r = host.MapDialogRect(cf::PageWindow(), Rect{dlu.x, dlu.y, 0, 0});
        return QPoint(r.left, r.top);
    }
    QPoint MainPoint(Point dlu) {
        const Rect r = host.MapDialogRect(cf::MainWindow(), Rect{dlu.x, dlu.y, 0, 0});
        return QPoint(r.left, r.top);
    }
    // The focused control, or the one the case gave the focus to.
    QWidget* Focused() {
        QWidget* w = QApplication::focusWidget();
        return w != nullptr ? w : focus_;
    }
    void ClickListItem(int index) {
        auto* combo = qobject_cast<QComboBox*>(MainControl(cf::List));
        QAbstractItemView* view = combo->view();
        const QRect item = view->visualRect(combo->model()->index(index, 0));
        // The list takes no release for a double-click time after it opens
        // (that of the click that opened it).
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    }
    std::vector<std::function<void()>> Steps(cf::Action action);

    QtWindowHost host{dlg::DialogTemplates(cf::Templates())};
    QWidget* focus_ = nullptr;

  private:
    Services previous_{};
};

std::vector<std::function<void()>> QtConformance::Steps(cf::Action action) {
    using enum cf::Action;
    auto bar = [this] { return qobject_cast<QScrollBar*>(MainControl(cf::Bar)); };
    switch (action) {
    case ClickRadio2:
        return {[this] { QTest::mouseClick(MainControl(cf::Radio2), Qt::LeftButton); }};
    case RadioKeyRight:
        return {[this] { QTest::keyClick(Focused(), Qt::Key_Right); }};
    case RadioKeyUp:
        return {[this] { QTest::keyClick(Focused(), Qt::Key_Up); }};
    case ClickCheck:
        return {[this] { QTest::mouseClick(MainControl(cf::Check), Qt::LeftButton); }};
    case Enter:
        return {[this] { QTest::keyClick(Focused(), Qt::Key_Return); }};
    case Escape:
        return {[this] { QTest::keyClick(Focused(), Qt::Key_Escape); }};
    case CloseBox:
        return {[this] { Widget(cf::MainWindow())->close(); }};
    case Tab:
        return {[this] { QTest::keyClick(Focused(), Qt::Key_Tab); }};
    case ListChooseThree:
        return {[this] { QTest::mouseClick(MainControl(cf::List), Qt::LeftButton); },
                [this] { ClickListItem(2); }};
    case ListCancel:
        return {[this] { QTest::mouseClick(MainControl(cf::List), Qt::LeftButton); },
                [this] {
                    auto* combo = qobject_cast<QComboBox*>(MainControl(cf::List));
                    QTest::keyClick(combo->view(), Qt::Key_Escape);
                }};
    case ListKeyDown:
        return {[this] { QTest::keyClick(MainControl(cf::List), Qt::Key_Down); }};
    case ListTypeLetter:
        return {[this] { QTest::keyClick(MainControl(cf::List), 'o'); }};
    case SpaceOnButton:
    case SpaceOnCheck:
        return {[this] { QTest::keyClick(Focused(), Qt::Key_Space); }};
    case BarKeyRight:
        return {[bar] { QTest::keyClick(bar(), Qt::Key_Right); }};
    case BarKeyPageDown:
        return {[bar] { QTest::keyClick(bar(), Qt::Key_PageDown); }};
    case BarKeyHome:
        return {[bar] { QTest::keyClick(bar(), Qt::Key_Home); }};
    case ScrollArrowRight:
        return {[bar] {
            QTest::mouseClick(bar(), Qt::LeftButton, {},
                              QPoint(bar()->width() - 3, bar()->height() / 2));
        }};
    case ScrollPageLeft:
        return {[bar] {
            QTest::mouseClick(bar(), Qt::LeftButton, {},
                              QPoint(bar()->height() + 4, bar()->height() / 2));
        }};
    case ThumbDrag:
        return {[bar] {
            const QPoint thumb(bar()->width() / 2, bar()->height() / 2);
            QTest::mousePress(bar(), Qt::LeftButton, {}, thumb);
            QTest::mouseMove(bar(), thumb + QPoint(30, 0));
            QTest::mouseRelease(bar(), Qt::LeftButton, {}, thumb + QPoint(30, 0));
        }};
    case DragOnPage:
        return {[this] {
            QWidget* page = Widget(cf::PageWindow());
            QWidget* main = Widget(cf::MainWindow());
            const QPoint over = MainPoint(cf::MainDragDlu);
            QTest::mousePress(page, Qt::LeftButton, {}, PagePoint(cf::PagePressDlu));
            QTest::mouseMove(main, over);
            QTest::mouseRelease(main, Qt::LeftButton, {}, over);
        }};
    case PressOnPageThenEnd:
        return {[this] {
                    QWidget* page = Widget(cf::PageWindow());
                    const QPoint at = PagePoint(cf::PagePressDlu);
                    QTest::mousePress(page, Qt::LeftButton, {}, at);
                    QTest::mouseMove(page, at + QPoint(4, 2));
                },
                [this] { QTest::keyClick(Focused(), Qt::Key_Escape); }};
    }
    return {};
}

TEST_P(QtConformance, MessagesAsTheWin32DialogManagerSendsThem) {
    const cf::Case& c = GetParam();
    cf::Outcome outcome;
    std::vector<std::function<void()>> steps;
    steps.push_back([&] {
        ProcessUntil([&] { return QApplication::activeWindow() == Widget(cf::MainWindow()); });
        const Window focusIn = c.focusWho == cf::Who::Main ? cf::MainWindow() : cf::PageWindow();
        host.SetFocusItem(focusIn, c.focusId);
        focus_ = host.WidgetOf(host.GetItem(focusIn, c.focusId));
        ProcessUntil([&] {
            return QApplication::focusWidget() == host.WidgetOf(host.GetItem(focusIn, c.focusId));
        });
        if (c.defaultDisabled) host.EnableItem(cf::MainWindow(), cf::Ok, false);
        cf::StartRecording();
    });
    for (auto& step : Steps(c.action))
        steps.push_back(step);
    steps.push_back([&] {
        QWidget* main = Widget(cf::MainWindow());
        cf::Finish(outcome, main != nullptr && main->isVisible());
    });
    // Each step once the events of the one before have been handled; the
    // timer goes with the test, whenever the dialog ends.
    std::size_t next = 0;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (next >= steps.size()) return;
        steps[next++]();
        if (next < steps.size()) timer.start(30);
    });
    timer.start(0);
    (void)host.DialogBox(cf::MainTemplate, Window{}, cf::MainProc, 0);
    cf::ExpectAsTheTableSays(c, outcome);
}

INSTANTIATE_TEST_SUITE_P(Table, QtConformance, ::testing::ValuesIn(cf::Cases()),
                         [](const auto& row) { return cf::CaseName(row.param); });

} // namespace
} // namespace osa::test
