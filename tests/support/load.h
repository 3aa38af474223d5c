#pragma once

#include "control/form.h"

namespace waitline {

// The two loads the figures are measured at, started and warmed up to a
// realistic mix of packets in flight. Heavy: rates 50 for arrivals and
// service, both Exponential, queue length 10, five servers. Light: the
// start-up defaults.
inline void StartWarmRun(Form& form, bool heavy)
{
    FormLoad(form);
    form.clockRandom.seed(1);
    if (heavy) {
        TypeText(form, ComboId::ArrivalCombo, "50");
        TypeText(form, ComboId::ServeRateCombo, "50");
        ChooseEntry(form, ComboId::QueueCombo, "10");
        ChooseEntry(form, ComboId::ServerCombo, "5");
    }
    Click(form, ButtonId::StartButton);
    for (int tick = 1; tick <= 3000; ++tick) {
        DeliverTimerMove(form);
        if (tick % 100 == 0) {
            DeliverTimerCheck(form);
        }
    }
}

}  // namespace waitline
