// Every text in its control, on the Qt build: the main window and its page
// at each step of the guide (with the fonts the program makes and the texts
// it puts in: titles, messages, the cap line, the media names), and every
// other dialog with its template's texts. A text fits when the style's
// contents rectangle of its control holds it: statics as they wrap, buttons
// beside their box, a list's longest item in its field. Fails naming the
// dialog, the control and the text. Screenshots of each state go to
// <build>/screenshots/ for a person to look at.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/shell/entry.h"
#include "tests/qt/qt_test_support.h"

namespace osa::test {
namespace {

constexpr int NextButton = 5184;

std::string Label(QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) text = button->text();
    return w->objectName().toStdString() + " \"" + text.toStdString() + "\"";
}

// What of `w` (a control) does not fit; empty when everything does.
std::string Misfit(QWidget* w) {
    const QFontMetrics m(w->font());
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->text().isEmpty() || !label->pixmap().isNull()) return {};
        const QRect area = label->contentsRect();
        const QRect need =
            m.boundingRect(area, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, label->text());
        for (const QString& word : label->text().split(QRegularExpression("\\s+")))
            if (m.horizontalAdvance(word) > area.width()) return "a word is wider than the control";
        // The last line needs no leading below it (as a Win32 static's line
        // is the font's height alone).
        const int height = need.height() - std::max(0, m.leading());
        if (height > area.height())
            return "needs " + std::to_string(height) + " px of " + std::to_string(area.height());
        return {};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (button->text().isEmpty()) return {};
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox*>(w) != nullptr) contents = QStyle::SE_CheckBoxContents;
        if (qobject_cast<QRadioButton*>(w) != nullptr) contents = QStyle::SE_RadioButtonContents;
        const QRect area = button->style()->subElementRect(contents, &option, button);
        const int width = m.horizontalAdvance(button->text());
        if (width > area.width())
            return "needs " + std::to_string(width) + " px of " + std::to_string(area.width());
        return {};
    }
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        const int width = m.horizontalAdvance(group->title());
        if (width + 2 * m.averageCharWidth() > group->width()) return "title wider than the box";
        return {};
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i)
            if (m.horizontalAdvance(combo->itemText(i)) > field.width())
                return "item \"" + combo->itemText(i).toStdString() + "\" wider than the field";
        return {};
    }
    return {};
}

// Every misfit under `root`, one line each.
std::vector<std::string> Misfits(QWidget* root, const std::string& where) {
    std::vector<std::string> out;
    for (QWidget* w : root->findChildren<QWidget*>())
        if (w->objectName().startsWith(QStringLiteral("ctl_")))
            if (const std::string why = Misfit(w); !why.empty())
                out.push_back(where + ": " + Label(w) + ": " + why);
    return out;
}

// The screenshots of each scale go to a folder of their own (100, 200).
void Screenshot(QWidget* window, const std::string& name) {
    const QString dir =
        QStringLiteral(OSA_SCREENSHOT_DIR "/%1").arg(qRound(window->devicePixelRatioF() * 100));
    QDir().mkpath(dir);
    window->grab().save(dir + "/" + QString::fromStdString(name) + ".png");
}

TEST(QtTextFit, EveryTextOfTheMainWindowAtEachStepFits) {
    QtRun run("[Main_Section]\r\nTomboAutoRead=1\r\n");
    std::vector<std::string> misfits;
    int steps = 0;
    WhenModal(
        [&](QWidget* main) {
            for (int step = 1; step <= 6; ++step) {
                const std::string where = "main window, step " + std::to_string(step);
                for (const std::string& m : Misfits(main, where))
                    misfits.push_back(m);
                Screenshot(main, "main_step" + std::to_string(step));
                ++steps;
                if (step == 6) break;
                auto* next = qobject_cast<QAbstractButton*>(Control(main, NextButton));
                ASSERT_NE(next, nullptr);
                // The media loading dialog that comes with step 3 is answered with OK.
                if (step == 2)
                    WhenModal(
                        [&](QWidget* loading) {
                            for (const std::string& m : Misfits(loading, "media loading"))
                                misfits.push_back(m);
                            Screenshot(loading, "media_loading");
                            Click(loading, mb::IdOk);
                        },
                        IsDialog(ids::DlgMediaLoading));
                next->click();
                ProcessUntil([&] { return QApplication::activeModalWidget() == main; });
                QTest::qWait(20);
            }
            Click(main, mb::IdCancel);
        },
        IsDialog(ids::DlgMain));
    std::vector<std::string_view> args{"osactl", "-CUTMODE", "-FN0", "-NOTRM"};
    (void)RunController(0, args);
    EXPECT_EQ(steps, 6);
    for (const std::string& m : misfits)
        ADD_FAILURE() << m;
}

// A procedure that handles nothing, for a dialog shown only to be measured.
std::intptr_t Silent(Window, const DialogMessage&) {
    return 0;
}

TEST(QtTextFit, EveryTextOfTheOtherDialogsFits) {
    QtRun run("[Main_Section]\r\n");
    for (int id : {ids::DlgCalibration, ids::DlgAbout, ids::DlgAddMedia, ids::DlgCommError,
                   ids::DlgMediaLoading}) {
        const Window dialog = run.host.CreateDialog(id, Window{}, Silent, 0);
        ASSERT_TRUE(dialog) << id;
        QWidget* w = run.host.WidgetOf(dialog);
        // Numbers the program always puts in place of the placeholders, at
        // their longest.
        if (id == ids::DlgAddMedia) {
            run.host.SetItemText(dialog, 5172, "10");
            run.host.SetItemText(dialog, 5174, "30");
        }
        w->show();
        QTest::qWait(20);
        const std::string where = "dialog " + std::to_string(id);
        for (const std::string& m : Misfits(w, where))
            ADD_FAILURE() << m;
        Screenshot(w, "dialog_" + std::to_string(id));
        run.host.EndDialog(dialog, 0);
        // A modeless dialog goes once its events are handled.
        ProcessUntil([&] { return run.host.WidgetOf(dialog) == nullptr; });
    }
}

} // namespace
} // namespace osa::test
