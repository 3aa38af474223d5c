#pragma once

#include <cstdint>
#include <string_view>

#include "control/form.h"

namespace waitline {

// The heavy load the figures are measured at: rates 50 for arrivals and
// service, both Exponential (the start-up choice), queue length 10, five
// servers. Applied through anything that can type into a box and choose a
// list entry: the window-free controller or the real window.
template <typename TypeInto, typename Choose>
void ApplyHeavyLoad(TypeInto typeInto, Choose choose)
{
    typeInto(ComboId::ArrivalCombo, std::string_view("50"));
    typeInto(ComboId::ServeRateCombo, std::string_view("50"));
    choose(ComboId::QueueCombo, std::string_view("10"));
    choose(ComboId::ServerCombo, std::string_view("5"));
}

// The heavy load the batch mode's figures are measured at: arrivals at 20 and
// service at 5 per second, both Exponential, queue length 10, five servers,
// so that the servers are busy 80 % of the time and the queue often full.
template <typename TypeInto, typename Choose>
void ApplyBatchHeavyLoad(TypeInto typeInto, Choose choose)
{
    typeInto(ComboId::ArrivalCombo, std::string_view("20"));
    typeInto(ComboId::ServeRateCombo, std::string_view("5"));
    choose(ComboId::QueueCombo, std::string_view("10"));
    choose(ComboId::ServerCombo, std::string_view("5"));
}

// Thirty simulated seconds after Go, with the once-a-second check, bring a
// run to a realistic mix of packets in flight.
template <typename Tick, typename Check>
void WarmUp(Tick tick, Check check)
{
    for (int k = 1; k <= 3000; ++k) {
        tick();
        if (k % 100 == 0) {
            check();
        }
    }
}

// The loads the figures are measured at. Light is the start-up defaults
// (arrivals and service at 1 per second, one server, queue length 3).
enum class Load : std::uint8_t { Light, Heavy, BatchHeavy };

// Starts a run at the load and warms it up, on the window-free controller.
inline void StartWarmRun(Form& form, Load load)
{
    FormLoad(form);
    form.clockRandom.seed(1);
    const auto typeInto = [&form](ComboId box, std::string_view text) { TypeText(form, box, text); };
    const auto choose = [&form](ComboId box, std::string_view entry) { ChooseEntry(form, box, entry); };
    if (load == Load::Heavy) {
        ApplyHeavyLoad(typeInto, choose);
    } else if (load == Load::BatchHeavy) {
        ApplyBatchHeavyLoad(typeInto, choose);
    }
    Click(form, ButtonId::StartButton);
    WarmUp([&form] { DeliverTimerMove(form); }, [&form] { DeliverTimerCheck(form); });
}

}  // namespace waitline
