#pragma once

#include <string_view>

#include "engine/controls.h"
#include "engine/random_source.h"
#include "engine/simulation.h"
#include "statistics/run_record.h"

// The main window's behaviour without the window: its start-up, its event
// handlers and the user's actions on its controls, all working on the
// simulation and its display model. The Qt window shows the display model and
// forwards what the user does to these functions; tests and tools drive them
// directly.
namespace waitline {

struct Form {
    Simulation sim;
    SeededRandom clockRandom{0};
    // Follows the run while somebody looks at it: every tick, Go and every
    // change of the settings in use reach it. Null costs nothing.
    RunRecord* record = nullptr;

    Form() { sim.random = &clockRandom; }
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
};

// Start-up: seeds the random sequence, fills and presets the controls, clears
// the model, draws the queue, primes the source and enables both timers.
void FormLoad(Form& form);

// Go starts a fresh run from an empty system; Stop ends the arrivals only.
void StartButtonClick(Form& form);
// Pause freezes the tick and with it the clock; Continue lets it run again.
void PauseButtonClick(Form& form);
// The once-a-second check: shows the whole seconds, applies or puts back a
// typed queue length and server count, clamps typed rates and refreshes the
// percentage dropped and the mean number in the queue.
void TimerCheckTimer(Form& form);
// Applies the queue length in the queue box, or puts the box's text back.
void QueueComboClick(Form& form);
// Applies the server count in the server box, or keeps the count in effect.
void ServerComboClick(Form& form);
// Shows as many queue boxes and servers as are in use.
void DrawQueueAndServers(Form& form);

// One event of each timer, delivered only while that timer is enabled.
// Return whether the event was delivered.
bool DeliverTimerMove(Form& form);
bool DeliverTimerCheck(Form& form);
// Whether Pause holds the run: its button offers Continue.
bool IsPaused(const Form& form);
// While paused, one tick exactly as one move timer event would run it; the run
// stays paused. Returns false, doing nothing, when the run is not paused.
bool StepOneTick(Form& form);

// The user types into an editable box: the text changes, no handler runs.
// Returns false for a list-only box, whose text typing cannot change.
bool TypeText(Form& form, ComboId id, std::string_view text);

// The user picks the list entry with this text: the text becomes the entry
// and the box's handler runs, if it has one. Returns false when no entry has
// that text.
bool ChooseEntry(Form& form, ComboId id, std::string_view entry);

// The user presses a button.
void Click(Form& form, ButtonId id);

}  // namespace waitline
