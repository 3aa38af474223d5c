#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "control/form.h"
#include "control/lecture_speed.h"
#include "statistics/run_record.h"

// The web page's side of the demo, in standard C++: the same controller the
// desktop window drives, with what the page draws and lists handed over as
// JSON. The page's script only draws, forwards what the user does, and keeps
// the wall-clock pace.
namespace waitline::web {

class Page {
public:
    // Start-up as the program's, with the random sequence seeded by the seed.
    explicit Page(std::uint64_t seed);

    // The picture description and everything else that never changes: the
    // items' places, colours, fonts and captions, the controls' places, the
    // explanations, the speeds and the measures.
    static std::string LayoutJson();
    // What the picture and the controls show now, the timers' pace, the
    // messages not yet shown, and the settings in effect as an address query.
    std::string stateJson();
    // Whether anything but the packets looks different from the last state
    // handed over, or a message waits: most ticks only move packets.
    bool stateChanged() const;
    // The packets shown, for the frames in between: their count, then for
    // each its index, left, top and colour's red, green and blue.
    const float* packets();
    // The measures with their 95 % intervals and theory, and the running mean
    // time in the system with its band, since the analysis panel opened.
    std::string analysisJson() const;

    // Reads the settings and the seed from an address query, as the batch
    // mode's options name them; a bad or unknown one is named in a notice
    // and left as it is. Returns the notices, as JSON.
    std::string readAddress(std::string_view query);

    // The user's actions, as in the desktop window.
    bool typeText(ComboId id, std::string_view text);
    bool chooseEntry(ComboId id, std::string_view entry);
    void click(ButtonId id);
    // One event of the move timer: as many ticks as the speed runs per event,
    // fewer when a tick stops the timer or shows a message.
    int moveEvent();
    bool checkEvent();
    bool step();
    void setSpeed(LectureSpeed speed) { speed_ = speed; }
    // Messages the page has not yet been given with the state: until they
    // are read, no timer event runs.
    bool messagesWaiting() const { return !messages_.empty(); }
    // While the analysis panel is open, the run record follows the run.
    void followRun(bool open);

private:
    Form form_;
    SeededRandom random_;
    std::uint64_t seed_;
    LectureSpeed speed_ = LectureSpeed::RealTime;
    RunRecord record_;
    std::vector<std::string> messages_;
    DisplayModel shownDisplay_;
    bool shownPaused_ = false;
    LectureSpeed shownSpeed_ = LectureSpeed::RealTime;
    std::vector<float> packets_;
};

}  // namespace waitline::web
