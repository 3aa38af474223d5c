// Turns its input into a sequence of user actions and timer events on the
// window's behaviour (typing or choosing in any box, Go, Stop, Pause,
// Continue, ticks, checks) and checks after every step that the model agrees
// with itself and the values in effect stay in range.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "control/form.h"
#include "engine/invariants.h"

namespace {

using namespace waitline;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return position_ >= size_; }
    std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }
    std::string text()
    {
        std::string typed;
        const std::size_t length = byte() % 24U;
        for (std::size_t k = 0; k < length && !empty(); ++k) {
            typed.push_back(static_cast<char>(byte()));
        }
        return typed;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// A few texts a student is likely to type, so short inputs reach them.
const char* const kTypical[] = {"0", "1", "2", "3", "5", "10", "50", "0.5", "-1", "100", "", "abc", "2.6", "1e3"};

void Require(const Form& form, bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n%s\n", what, CheckInvariants(form.sim).c_str());
        std::abort();
    }
}

void CheckAfterStep(const Form& form)
{
    const std::string trouble = CheckInvariants(form.sim);
    if (!trouble.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", trouble.c_str());
        std::abort();
    }
    const DisplayModel& d = form.sim.display;
    for (const Label* label : {&d.lblPercentDropped, &d.lblMeanWaitingTime, &d.lblStdDevWaitingTime,
                               &d.lblMeanPktsInQueue, &d.lblTime, &d.lblSeconds}) {
        Require(form,
                label->caption.text().find("nan") == std::string::npos &&
                    label->caption.text().find("inf") == std::string::npos,
                "a label shows no number");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input(data, size);
    Form form;
    FormLoad(form);
    form.clockRandom.seed(input.byte());
    int steps = 0;
    while (!input.empty() && steps++ < 400) {
        const std::uint8_t op = input.byte();
        const auto box = static_cast<ComboId>(input.byte() % 6U);
        switch (op % 8U) {
        case 0: TypeText(form, box, input.text()); break;
        case 1: TypeText(form, box, kTypical[input.byte() % std::size(kTypical)]); break;
        case 2: {
            const ComboBox& combo = Combo(form.sim.display, box);
            if (!combo.list.empty()) {
                const std::string entry = combo.list[input.byte() % combo.list.size()];
                ChooseEntry(form, box, entry);
            }
            break;
        }
        case 3: Click(form, ButtonId::StartButton); break;
        case 4: Click(form, ButtonId::PauseButton); break;
        case 5: DeliverTimerCheck(form); break;
        default: {
            const int ticks = 1 + input.byte() * 4;
            for (int k = 0; k < ticks; ++k) {
                DeliverTimerMove(form);
                CheckAfterStep(form);
            }
            break;
        }
        }
        CheckAfterStep(form);
    }
    return 0;
}
