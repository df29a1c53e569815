#include "destination/disk_space.h"

#include <gtest/gtest.h>

using namespace destination;

namespace {

TEST(DiskSpace, DisplayOfADrive) {
    struct Case {
        std::int64_t size, free;
        long percent;
        const char* sizeText;
        const char* freeText;
    } cases[] = {
        {1000000000, 250000000, 25, "1000 Mb", "250 Mb"},
        {999999, 999999, 100, "0 Mb", "0 Mb"},
        {838860800, 104857600, 12, "838 Mb", "104 Mb"}, // exactly 12.5: to the even neighbour
        {838860800, 113246208, 14, "838 Mb", "113 Mb"}, // exactly 13.5
        // Past 4 GiB the counts are still right, where 32-bit products wrapped.
        {500107862016LL, 123456789012LL, 25, "500107 Mb", "123456 Mb"},
        {4294967296LL + 1000000, 4294967296LL, 100, "4295 Mb", "4294 Mb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FreePercent(c.free, c.size), c.percent) << c.size << " " << c.free;
        EXPECT_EQ(MegabytesText(c.size), c.sizeText);
        EXPECT_EQ(MegabytesText(c.free), c.freeText);
    }
}

TEST(DiskSpace, RequiredSizeOfTheSelectedSets) {
    EXPECT_EQ(RequiredSize(true, true), 4349131.0);
    EXPECT_EQ(RequiredSize(false, true), 3542219.0);
    EXPECT_EQ(RequiredSize(true, false), 806912.0);
    EXPECT_EQ(RequiredSize(false, false), 0.0);
    EXPECT_EQ(RequiredSizeText(4349131.0, "."), "    4.35 MB");
    EXPECT_EQ(RequiredSizeText(3542219.0, "."), "    3.54 MB");
    EXPECT_EQ(RequiredSizeText(3542219.0, ","), "    3,54 MB");
    EXPECT_EQ(RequiredSizeText(0, "."), "    0.00 MB");
    EXPECT_EQ(RequiredSizeText(123456789012.0, "."), "123456.79 MB"); // wider than the field
}

} // namespace
