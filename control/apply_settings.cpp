#include "control/apply_settings.h"

#include <array>

#include "engine/decimal_chars.h"
#include "engine/number_text.h"

namespace waitline {

bool ApplySettings(Form& form, const SeriesSettings& settings)
{
    return ChooseEntry(form, ComboId::SourceCombo, settings.arrival) &&
           ChooseEntry(form, ComboId::ServiceCombo, settings.service) &&
           TypeText(form, ComboId::ArrivalCombo, RateText(settings.arrivalRate)) &&
           TypeText(form, ComboId::ServeRateCombo, RateText(settings.serviceRate)) &&
           ChooseEntry(form, ComboId::QueueCombo, NumberToText(settings.queueLength)) &&
           ChooseEntry(form, ComboId::ServerCombo, NumberToText(settings.servers));
}

std::string RateText(double rate)
{
    std::array<char, 400> buffer{};
    const auto result = chars::ToChars(buffer.data(), buffer.data() + buffer.size(), rate, std::chars_format::fixed);
    return {buffer.data(), result.ptr};
}

}  // namespace waitline
