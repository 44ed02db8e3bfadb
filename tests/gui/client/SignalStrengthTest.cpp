#include <gtest/gtest.h>

#include "gui/client/SignalStrength.h"

namespace {

TEST(SignalStrength, RatesAtTheThresholdEdgesOfEachChannelRange) {
    struct Case {
        int channel;
        const char* dbm;
        int level;
    };
    const Case cases[] = {
        // 2.4 GHz: fixed thresholds -80, -70, -67, -46.
        {6, "-81", 1},
        {6, "-80", 1},
        {6, "-79", 2},
        {6, "-70", 2},
        {6, "-69", 3},
        {6, "-67", 3},
        {6, "-66", 4},
        {6, "-46", 4},
        {6, "-45", 5},
        // Low 5 GHz: -80..-10 in quarters: -80, -63, -46, -29.
        {36, "-80", 1},
        {36, "-79", 2},
        {36, "-63", 2},
        {36, "-62", 3},
        {36, "-46", 3},
        {36, "-45", 4},
        {36, "-29", 4},
        {36, "-28", 5},
        // Everything else: -95..-45 in quarters: -95, -83, -71, -59.
        {0, "-96", 1},
        {0, "-95", 1},
        {0, "-94", 2},
        {0, "-83", 2},
        {0, "-82", 3},
        {0, "-71", 3},
        {0, "-70", 4},
        {0, "-60", 4},
        {0, "-59", 4},
        {0, "-58", 5},
        {0, "-40", 5},
        {149, "-95", 1},
        {149, "-83", 2},
        {149, "-71", 3},
        {149, "-60", 4},
        {149, "-40", 5},
        // The range boundaries between channels 14/15 and 48/49.
        {14, "-68", 3},
        {15, "-68", 2},
        {48, "-50", 3},
        {49, "-50", 5},
        {-3, "-50", 5},
        // No reading: zero or no number, at any channel; a positive reading is the strongest.
        {6, "0", 0},
        {36, "0", 0},
        {149, "0", 0},
        {6, "", 0},
        {36, "n/a", 0},
        {0, "-7x", 0},
        {6, "5", 5},
        {149, "12", 5},
    };
    SignalStrength rater;
    for (const Case& c : cases) {
        EXPECT_EQ(rater.signalLevel(c.dbm, c.channel), c.level) << "channel " << c.channel << ", " << c.dbm;
    }
}

TEST(SignalStrength, WordsNameTheLevels) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"0", 6, ""},       {"-90", 6, "VeryLow"},  {"-75", 6, "Low"},
        {"-68", 6, "Good"}, {"-50", 6, "VeryGood"}, {"-20", 6, "Excellent"},
    };
    SignalStrength rater;
    for (const auto& [dbm, channel, word] : cases)
        EXPECT_EQ(rater.signalLevelText(dbm, channel), word) << dbm;
}

TEST(SignalStrength, EachCallSetsTheRangeOfItsOwnChannel) {
    SignalStrength rater;
    EXPECT_EQ(rater.minimumDbm(), 0);
    EXPECT_FALSE(rater.thresholdsComputed());

    rater.signalLevel("-50", 149);
    EXPECT_EQ(rater.minimumDbm(), -95);
    EXPECT_EQ(rater.maximumDbm(), -45);
    EXPECT_EQ(rater.thresholds(), (std::array<std::int8_t, 4>{-95, -83, -71, -59}));

    rater.signalLevel("-50", 36);
    EXPECT_TRUE(rater.thresholdsComputed());
    EXPECT_EQ(rater.thresholds(), (std::array<std::int8_t, 4>{-80, -63, -46, -29}));

    // Channel 6 after a computed range must not keep the computed thresholds.
    EXPECT_EQ(rater.signalLevel("-68", 6), 3);
    EXPECT_FALSE(rater.thresholdsComputed());
    EXPECT_EQ(rater.thresholds(), (std::array<std::int8_t, 4>{-80, -70, -67, -46}));
}

}  // namespace
