// Every picture the dialogs name is in the program's resources, at the size
// the build draws it.
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

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
    for (int id : res::AllIconIds()) {
        for (const auto& [alias, size] : {std::pair{QStringLiteral(":/icon/16/%1"), 16},
                                          std::pair{QStringLiteral(":/icon/%1"), 32},
                                          std::pair{QStringLiteral(":/icon/48/%1"), 48}}) {
            const QImage icon(alias.arg(id));
            EXPECT_EQ(icon.size(), QSize(size, size)) << "icon " << id << " at " << size;
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
