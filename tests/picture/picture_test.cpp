// The picture's description holds together without any window: every text
// about an item names an item that is drawn, and every statistic names a
// measure of the measures table.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "engine/controls.h"
#include "picture/explanations.h"
#include "picture/layout.h"
#include "statistics/measures.h"

namespace waitline::test {
namespace {

bool IsLabel(std::string_view object)
{
    const auto named = [object](const layout::LabelRow& row) { return object == row.name; };
    return std::ranges::any_of(layout::kFixedLabels, named) || std::ranges::any_of(layout::kValueLabels, named);
}

bool IsControl(std::string_view object) { return ComboByName(object) || ButtonByName(object); }

TEST(Explanations, NameOnlyWhatIsDrawnAndMeasuresThatExist)
{
    for (const Explanation& row : kExplanations) {
        switch (row.kind) {
        case Explained::Control: EXPECT_TRUE(IsControl(row.object)) << row.object; break;
        case Explained::Caption:
        case Explained::Value: EXPECT_TRUE(IsLabel(row.object)) << row.object; break;
        case Explained::Picture: EXPECT_EQ(row.object, "canvas"); break;
        }
        if (!row.measure.empty()) {
            EXPECT_EQ(MeasureKeyed(row.measure).key, row.measure);
            EXPECT_FALSE(TextbookSymbol(row).empty()) << row.object;
        }
        EXPECT_EQ(FindExplanation(row.object), &row);
    }
    EXPECT_EQ(FindExplanation("no such object"), nullptr);
}

// The sentences that state the model's limits state the ones it keeps.
TEST(Explanations, StateTheLimitsTheModelKeeps)
{
    using std::to_string;
    const std::string rates = "above " + to_string(kRateCeiling) + " becomes " + to_string(kRateAfterCeiling);
    const struct {
        std::string_view text;
        std::string limit;
    } cases[] = {
        {explain::kArrivalRate, rates},
        {explain::kServiceRate, rates},
        {explain::kQueueLength, "from 1 to " + to_string(MaxQueueLength)},
        {explain::kServers, "1 to " + to_string(MaxServers)},
        {explain::kClock, "tick of " + to_string(kTickMs) + " ms"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(c.text.find(c.limit), std::string_view::npos) << c.text;
    }
}

}  // namespace
}  // namespace waitline::test
