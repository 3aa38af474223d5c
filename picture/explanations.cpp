#include "picture/explanations.h"

#include "statistics/measures.h"

namespace waitline {

const Explanation* FindExplanation(std::string_view object)
{
    for (const Explanation& row : kExplanations) {
        if (object == row.object) {
            return &row;
        }
    }
    return nullptr;
}

std::string TextbookSymbol(const Explanation& row)
{
    if (row.measure.empty()) {
        return {};
    }
    const Measure& measure = MeasureKeyed(row.measure);
    return (measure.percent ? std::string("100 \u00d7 ") : std::string()) + std::string(measure.symbol);
}

}  // namespace waitline
