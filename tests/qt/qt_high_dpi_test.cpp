// Pictures on a screen of more device pixels per logical pixel (run at 100 %
// in qt_tests and at 200 % in qt_text_fit_200): every picture static shows
// the drawing made for the screen's ratio, at its size in logical pixels,
// and the blade position pad's icons on the page are the drawings made for
// their size in device pixels, not a smaller drawing enlarged.
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/shell/entry.h"
#include "tests/qt/qt_test_support.h"

namespace osa::test {
namespace {

// The share of the pixels where `drawing` is opaque in which `shot` differs
// from it by more than a little in any channel.
double Differing(const QImage& shot, const QImage& drawing) {
    int opaque = 0, differing = 0;
    for (int y = 0; y < drawing.height(); ++y)
        for (int x = 0; x < drawing.width(); ++x) {
            const QColor want = drawing.pixelColor(x, y);
            if (want.alpha() != 255) continue;
            ++opaque;
            const QColor got = shot.pixelColor(x, y);
            if (std::abs(got.red() - want.red()) > 24 ||
                std::abs(got.green() - want.green()) > 24 ||
                std::abs(got.blue() - want.blue()) > 24)
                ++differing;
        }
    return opaque == 0 ? 1.0 : static_cast<double>(differing) / opaque;
}

TEST(QtHighDpi, PicturesAndPadIconsAreTheDrawingsForTheScreen) {
    QtRun run("[Main_Section]\r\nUnit=0\r\n");
    std::vector<std::string> faults;
    double padDiffers = 1.0;
    int iconPixels = 0;
    WhenModal(
        [&](QWidget* main) {
            const qreal ratio = main->devicePixelRatioF();
            for (QLabel* label : main->findChildren<QLabel*>()) {
                const QVariant resource = label->property("osa_resource");
                if (!resource.isValid()) continue;
                const int id = resource.toInt();
                const QPixmap shown = label->pixmap();
                const QImage base(
                    (id >= 1500 ? QStringLiteral(":/icon/%1") : QStringLiteral(":/bitmap/%1"))
                        .arg(id));
                if (shown.isNull() || qAbs(shown.devicePixelRatio() - ratio) > 0.01 ||
                    shown.deviceIndependentSize().toSize() != base.size())
                    faults.push_back("picture " + std::to_string(id) + ": " +
                                     std::to_string(shown.width()) + " x " +
                                     std::to_string(shown.height()) + " device pixels at ratio " +
                                     std::to_string(shown.devicePixelRatio()));
            }
            auto* page =
                main->findChild<QWidget*>(QStringLiteral("dlg_%1").arg(ids::DlgCutSettings));
            ASSERT_NE(page, nullptr);
            QTest::qWait(20);
            const QImage shot = page->grab().toImage();
            const Rect up = App().PadAreas.up;
            iconPixels = qRound(32 * ratio);
            const QImage spot =
                shot.copy(qRound(up.left * ratio), qRound(up.top * ratio), iconPixels, iconPixels);
            for (int id : {ids::IconPadUp, ids::IconPadUpPressed, ids::IconPadUpDisabled}) {
                const QString drawing =
                    iconPixels == 32 ? QStringLiteral(":/icon/%1").arg(id)
                                     : QStringLiteral(":/icon/%1/%2").arg(iconPixels).arg(id);
                padDiffers = std::min(padDiffers, Differing(spot, QImage(drawing).convertToFormat(
                                                                      QImage::Format_ARGB32)));
            }
            Click(main, mb::IdCancel);
        },
        IsDialog(ids::DlgMain));
    std::vector<std::string_view> args{"osactl", "-CUTMODE", "-FN0", "-NOTRM"};
    (void)RunController(0, args);
    for (const std::string& f : faults)
        ADD_FAILURE() << f;
    EXPECT_LT(padDiffers, 0.005) << "the up key of the pad, " << iconPixels << " device pixels";
}

} // namespace
} // namespace osa::test
