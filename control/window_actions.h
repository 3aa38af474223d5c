#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "control/lecture_speed.h"
#include "engine/translatable.h"

// The main window's actions, one row each: what they are called, their keys,
// where they show and what they do. The right-click menu, the application-wide
// shortcuts, the README's table of keys (and so the help) and the tests all
// read this table; a new menu entry is a new row.
namespace waitline {

// What the actions do, in whichever front-end shows the window.
class ActionTarget {
public:
    virtual void showAnalysis() = 0;
    virtual void setSpeed(LectureSpeed speed) = 0;
    virtual LectureSpeed speed() const = 0;
    // One tick while paused; nothing otherwise.
    virtual void step() = 0;
    virtual void showHelp() = 0;
    virtual void showAbout() = 0;

protected:
    ActionTarget() = default;
    ~ActionTarget() = default;
    ActionTarget(const ActionTarget&) = default;
    ActionTarget& operator=(const ActionTarget&) = default;
};

enum class ActionId : std::uint8_t {
    Analysis,
    SpeedQuarter,
    SpeedHalf,
    SpeedRealTime,
    SpeedDouble,
    SpeedQuadruple,
    Faster,
    Slower,
    Step,
    Help,
    About,
};

enum class ActionPlace : std::uint8_t {
    Menu,       // an entry of the right-click menu
    SpeedMenu,  // an entry of its Speed submenu
};

struct WindowAction {
    ActionId id;
    std::string_view name;  // the action's objectName
    std::string_view text;
    // In portable text ("Ctrl+I"). Every key works wherever the focus is: the
    // focus mostly sits in a combo box's line edit, which would otherwise see
    // the key first, and none of these keys means anything to a line edit.
    std::array<std::string_view, 2> keys;
    ActionPlace place;
    // A line before the entry, or before the submenu that the entry opens.
    bool separatorBefore;
    // The speed an entry of the Speed submenu sets: it is checked while that
    // speed is in use.
    std::optional<LectureSpeed> speed;
    // Greyed in the menu unless the run is paused; the key stays live and
    // simply does nothing then, so that it never waits for the menu to
    // notice a pause.
    bool onlyWhilePaused;
    void (*run)(ActionTarget& target);
};

inline constexpr std::string_view kSpeedMenuText = WAITLINE_TR("Actions", "Speed");

// In the order of ActionId, which is the menu's order.
inline constexpr auto kWindowActions = std::to_array<WindowAction>({
    {ActionId::Analysis,
     "AnalysisAction",
     WAITLINE_TR("Actions", "Analysis\u2026"),
     {"Ctrl+I"},
     ActionPlace::Menu,
     false,
     {},
     false,
     [](ActionTarget& t) { t.showAnalysis(); }},
    {ActionId::SpeedQuarter,
     "SpeedQuarterAction",
     SpeedName(LectureSpeed::Quarter),
     {},
     ActionPlace::SpeedMenu,
     true,
     LectureSpeed::Quarter,
     false,
     [](ActionTarget& t) { t.setSpeed(LectureSpeed::Quarter); }},
    {ActionId::SpeedHalf,
     "SpeedHalfAction",
     SpeedName(LectureSpeed::Half),
     {},
     ActionPlace::SpeedMenu,
     false,
     LectureSpeed::Half,
     false,
     [](ActionTarget& t) { t.setSpeed(LectureSpeed::Half); }},
    {ActionId::SpeedRealTime,
     "SpeedRealTimeAction",
     SpeedName(LectureSpeed::RealTime),
     {"Ctrl+0"},
     ActionPlace::SpeedMenu,
     false,
     LectureSpeed::RealTime,
     false,
     [](ActionTarget& t) { t.setSpeed(LectureSpeed::RealTime); }},
    {ActionId::SpeedDouble,
     "SpeedDoubleAction",
     SpeedName(LectureSpeed::Double),
     {},
     ActionPlace::SpeedMenu,
     false,
     LectureSpeed::Double,
     false,
     [](ActionTarget& t) { t.setSpeed(LectureSpeed::Double); }},
    {ActionId::SpeedQuadruple,
     "SpeedQuadrupleAction",
     SpeedName(LectureSpeed::Quadruple),
     {},
     ActionPlace::SpeedMenu,
     false,
     LectureSpeed::Quadruple,
     false,
     [](ActionTarget& t) { t.setSpeed(LectureSpeed::Quadruple); }},
    // Ctrl+= is Ctrl++ without Shift on keyboards that have both on one key.
    {ActionId::Faster,
     "FasterAction",
     WAITLINE_TR("Actions", "Faster"),
     {"Ctrl++", "Ctrl+="},
     ActionPlace::SpeedMenu,
     true,
     {},
     false,
     [](ActionTarget& t) { t.setSpeed(Faster(t.speed())); }},
    {ActionId::Slower,
     "SlowerAction",
     WAITLINE_TR("Actions", "Slower"),
     {"Ctrl+-"},
     ActionPlace::SpeedMenu,
     false,
     {},
     false,
     [](ActionTarget& t) { t.setSpeed(Slower(t.speed())); }},
    {ActionId::Step,
     "StepAction",
     WAITLINE_TR("Actions", "Step"),
     {"Ctrl+."},
     ActionPlace::Menu,
     false,
     {},
     true,
     [](ActionTarget& t) { t.step(); }},
    {ActionId::Help,
     "HelpAction",
     WAITLINE_TR("Actions", "Help"),
     {"F1"},
     ActionPlace::Menu,
     true,
     {},
     false,
     [](ActionTarget& t) { t.showHelp(); }},
    {ActionId::About,
     "AboutAction",
     WAITLINE_TR("Actions", "About Waitline"),
     {},
     ActionPlace::Menu,
     false,
     {},
     false,
     [](ActionTarget& t) { t.showAbout(); }},
});

constexpr const WindowAction& Action(ActionId id) { return kWindowActions[static_cast<std::size_t>(id)]; }

constexpr bool ActionsAreInTheOrderOfTheirIds()
{
    for (std::size_t k = 0; k < kWindowActions.size(); ++k) {
        if (static_cast<std::size_t>(kWindowActions[k].id) != k) {
            return false;
        }
    }
    return true;
}
static_assert(ActionsAreInTheOrderOfTheirIds());

}  // namespace waitline
