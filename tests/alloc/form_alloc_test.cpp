// The window-free tick allocates nothing once a run is under way: counters,
// clock and statistics write into the captions' existing storage.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "control/form.h"
#include "tests/alloc/counting_allocator.h"
#include "tests/support/load.h"

namespace waitline {
namespace {

using alloc::AllocationsDuring;

TEST(CountingAllocator, SeesAllocations)
{
    std::unique_ptr<int> box;
    std::string text;
    EXPECT_EQ(AllocationsDuring([&] { box = std::make_unique<int>(3); }), 1U);
    EXPECT_GE(AllocationsDuring([&] { text.assign(100, 'x'); }), 1U);
    EXPECT_EQ(AllocationsDuring([&] { text.assign(50, 'y'); }), 0U) << "reuses the capacity";
}

struct LoadCase {
    const char* name;
    Load load;
};

class TickAllocations : public ::testing::TestWithParam<LoadCase> {
protected:
    void SetUp() override { StartWarmRun(form, GetParam().load); }

    Form form;
};

TEST_P(TickAllocations, TicksAndChecksAllocateNothing)
{
    const std::int32_t servedBefore = form.sim.PacketsServiced;
    const std::int32_t sourcedBefore = form.sim.PacketsSourced;
    std::size_t inTicks = 0;
    std::size_t inChecks = 0;
    for (int tick = 1; tick <= 1000; ++tick) {
        inTicks += AllocationsDuring([&] { ASSERT_TRUE(DeliverTimerMove(form)); });
        if (tick % 100 == 0) {
            inChecks += AllocationsDuring([&] { ASSERT_TRUE(DeliverTimerCheck(form)); });
        }
    }
    EXPECT_EQ(inTicks, 0U);
    EXPECT_EQ(inChecks, 0U);
    // The ticks did real work: packets arrived and were served.
    EXPECT_GT(form.sim.PacketsSourced, sourcedBefore);
    EXPECT_GT(form.sim.PacketsServiced, servedBefore);
}

INSTANTIATE_TEST_SUITE_P(Loads, TickAllocations,
                         ::testing::Values(LoadCase{"light", Load::Light}, LoadCase{"heavy", Load::Heavy},
                                           LoadCase{"batch_heavy", Load::BatchHeavy}),
                         [](const ::testing::TestParamInfo<LoadCase>& load) { return std::string(load.param.name); });

}  // namespace
}  // namespace waitline
