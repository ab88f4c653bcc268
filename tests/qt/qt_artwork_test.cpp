// Every picture the dialogs name is in the program's resources, at the size
// the build draws it.
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <vector>

#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"

namespace osa {
namespace {

TEST(QtArtwork, EveryBitmapAndIconTheDialogsNameIsInTheResources) {
    if (QImage(QStringLiteral(":/icon/1500")).isNull())
        GTEST_SKIP() << "the artwork is not linked into this build";
    for (int id : res::AllBitmapIds()) {
        const QImage bitmap(QStringLiteral(":/bitmap/%1").arg(id));
        EXPECT_FALSE(bitmap.isNull()) << "bitmap " << id;
    }
    // The program icon at every size a window or a file manager asks for;
    // every icon at the sizes a dialog draws it at on screens of 100 to 200 %.
    for (int id : res::AllIconIds()) {
        EXPECT_EQ(QImage(QStringLiteral(":/icon/%1").arg(id)).size(), QSize(32, 32)) << id;
        std::vector<int> sizes{40, 48, 56, 64};
        if (id == ids::IconProgram) sizes.insert(sizes.end(), {16, 20, 24, 28, 96});
        for (int size : sizes) {
            const QImage icon(QStringLiteral(":/icon/%1/%2").arg(size).arg(id));
            EXPECT_EQ(icon.size(), QSize(size, size)) << "icon " << id << " at " << size;
        }
    }
}

// For screens of more dots per inch, every bitmap is also drawn at 125, 150,
// 175 and 200 % of its size, from its SVG (not enlarged from the 100 % one).
TEST(QtArtwork, EveryBitmapIsDrawnAtEachScale) {
    if (QImage(QStringLiteral(":/icon/1500")).isNull())
        GTEST_SKIP() << "the artwork is not linked into this build";
    for (int id : res::AllBitmapIds()) {
        const QSize base = QImage(QStringLiteral(":/bitmap/%1").arg(id)).size();
        for (int scale : {125, 150, 175, 200}) {
            const QSize drawn = QImage(QStringLiteral(":/bitmap/%1/%2").arg(scale).arg(id)).size();
            EXPECT_NEAR(drawn.width(), base.width() * scale / 100.0, 1.0) << id << " at " << scale;
            EXPECT_NEAR(drawn.height(), base.height() * scale / 100.0, 1.0)
                << id << " at " << scale;
        }
    }
}

// The figures that share one place on the page and in the Media loading
// dialog are drawn at the same size, as are the eight cap figures.
TEST(QtArtwork, FiguresThatShareAPlaceHaveOneSize) {
    if (QImage(QStringLiteral(":/icon/1500")).isNull())
        GTEST_SKIP() << "the artwork is not linked into this build";
    const auto sizeOf = [](int id) { return QImage(QStringLiteral(":/bitmap/%1").arg(id)).size(); };
    for (int id : {1000, 1001, 1003, 1005})
        EXPECT_EQ(sizeOf(id), QSize(130, 130)) << id;
    for (int id : {1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014})
        EXPECT_EQ(sizeOf(id), QSize(58, 85)) << id;
}

} // namespace
} // namespace osa
