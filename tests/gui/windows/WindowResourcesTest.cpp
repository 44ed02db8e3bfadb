#include <gtest/gtest.h>

#include <QImage>
#include <QSet>

#include "gui/windows/WindowResources.h"
#include "tests/gui/support/QtPrinters.h"

namespace tamsel::test {
namespace {

TEST(WindowResources, EveryIconIsCompiledInAndDrawn) {
    initWindowResources();
    QStringList expected;
    for (const char* name :
         {"red",          "green",        "greenVPN",     "greenWired",  "greenWiredVPN", "blue",
          "blueVPN",      "blueWired",    "blueWiredVPN", "Logo",        "yellow1",       "yellow2",
          "yellow3",      "yellow4",      "yellow5",      "yellow6",     "Wiredyellow1",  "Wiredyellow2",
          "Wiredyellow3", "Wiredyellow4", "Wiredyellow5", "Wiredyellow6"}) {
        expected << QStringLiteral(":/Icons/") + name;
    }
    for (const char* name : {"VeryLow.png", "Low.png", "Good.png", "VeryGood.png", "Excellent.png",
                             "Empty.png", "Wired.png", "VarnelLogo.PNG"}) {
        expected << QStringLiteral(":/Icons/Resources/") + name;
    }
    EXPECT_EQ(QSet<QString>(windowIconPaths().begin(), windowIconPaths().end()),
              QSet<QString>(expected.begin(), expected.end()));

    QSet<size_t> distinct;
    for (const QString& path : expected) {
        const QImage image(path);
        EXPECT_FALSE(image.isNull()) << path.toStdString();
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y) {
            for (int x = 0; x < image.width() && !drawn; ++x) drawn = qAlpha(image.pixel(x, y)) > 0;
        }
        EXPECT_TRUE(drawn) << path.toStdString();
        distinct.insert(qHashBits(image.constBits(), image.sizeInBytes()));
    }
    // No two icons are the same picture.
    EXPECT_EQ(distinct.size(), expected.size());
}

}  // namespace
}  // namespace tamsel::test
