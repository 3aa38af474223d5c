#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/random_source.h"
#include "engine/simulation.h"
#include "engine/source.h"

namespace waitline::testing {

// A simulation as start-up leaves it, with scripted random values and the
// default texts in the four interval boxes.
struct TestSimulation {
    ScriptedRandom random;
    Simulation sim;
    std::vector<std::string> messages;

    TestSimulation()
    {
        sim.random = &random;
        sim.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
        sim.display.SourceCombo.text = "Exponential";
        sim.display.ServiceCombo.text = "Exponential";
        sim.display.ArrivalCombo.text = "1";
        sim.display.ServeRateCombo.text = "1";
        ResetSimulation(sim);
        SourceTick(sim, SourceCall::StartUp);
    }

    void script(std::initializer_list<float> values)
    {
        for (const float value : values) {
            random.append(value);
        }
    }

    // Go: a fresh run from an empty system.
    void go()
    {
        ResetSimulation(sim);
        sim.Running = true;
    }
};

}  // namespace waitline::testing
