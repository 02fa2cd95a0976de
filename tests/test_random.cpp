#include <gtest/gtest.h>

#include <cstdint>

#include "scene/CRandom.h"

TEST(Random, FirstDrawsFromStateOne) {
    CRandom::Reset();
    EXPECT_EQ(CRandom::State(), 1u);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected)
        EXPECT_EQ(CRandom::Rand(), value);
}

TEST(Random, ResetRestartsTheSequence) {
    CRandom::Reset();
    int first[20];
    for (int& v : first)
        v = CRandom::Rand();
    CRandom::Reset(1);
    for (int v : first)
        EXPECT_EQ(CRandom::Rand(), v);
}

TEST(Random, StateStepWrapsModulo2To32) {
    // 0xFFFFFFFF * 214013 + 2531011 wraps; the result must follow the 32-bit state.
    CRandom::Reset(0xFFFFFFFFu);
    const uint32_t next = 0xFFFFFFFFu * 214013u + 2531011u;
    EXPECT_EQ(CRandom::Rand(), static_cast<int>((next >> 16) & 0x7FFF));
    EXPECT_EQ(CRandom::State(), next);
    CRandom::Reset(0);
    EXPECT_EQ(CRandom::Rand(), static_cast<int>((2531011u >> 16) & 0x7FFF));
}

TEST(Random, ValuesStayInRangeAndCoverIt) {
    CRandom::Reset();
    int low = 32767, high = 0;
    int buckets[8] = {};
    const int draws = 80000;
    for (int i = 0; i < draws; ++i) {
        int v = CRandom::Rand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        if (v < low) low = v;
        if (v > high) high = v;
        ++buckets[v / 4096];
    }
    EXPECT_LT(low, 16);
    EXPECT_GT(high, 32751);
    for (int b : buckets)
        EXPECT_NEAR(b, draws / 8, draws / 80);
}
