#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/display_model.h"

// The window's eight controls as the controller, the window, the scenario
// runner and its dump all know them: one table of names and of the display
// model fields behind them.
namespace waitline {

enum class ComboId : std::uint8_t { SourceCombo, ArrivalCombo, QueueCombo, ServiceCombo, ServerCombo, ServeRateCombo };
enum class ButtonId : std::uint8_t { StartButton, PauseButton };

struct ComboControl {
    ComboId id;
    std::string_view name;
    ComboBox DisplayModel::*field;
};

// In the order of ComboId.
inline constexpr std::array<ComboControl, 6> kComboControls{{
    {ComboId::SourceCombo, "SourceCombo", &DisplayModel::SourceCombo},
    {ComboId::ArrivalCombo, "ArrivalCombo", &DisplayModel::ArrivalCombo},
    {ComboId::QueueCombo, "QueueCombo", &DisplayModel::QueueCombo},
    {ComboId::ServiceCombo, "ServiceCombo", &DisplayModel::ServiceCombo},
    {ComboId::ServerCombo, "ServerCombo", &DisplayModel::ServerCombo},
    {ComboId::ServeRateCombo, "ServeRateCombo", &DisplayModel::ServeRateCombo},
}};

struct ButtonControl {
    ButtonId id;
    std::string_view name;
    std::string DisplayModel::*caption;
};

// In the order of ButtonId.
inline constexpr std::array<ButtonControl, 2> kButtonControls{{
    {ButtonId::StartButton, "StartButton", &DisplayModel::StartButton},
    {ButtonId::PauseButton, "PauseButton", &DisplayModel::PauseButton},
}};

constexpr const ComboControl& Control(ComboId id) { return kComboControls[static_cast<std::size_t>(id)]; }
constexpr const ButtonControl& Control(ButtonId id) { return kButtonControls[static_cast<std::size_t>(id)]; }

constexpr std::string_view ComboName(ComboId id) { return Control(id).name; }
inline ComboBox& Combo(DisplayModel& display, ComboId id) { return display.*Control(id).field; }
inline const ComboBox& Combo(const DisplayModel& display, ComboId id) { return display.*Control(id).field; }

constexpr std::optional<ComboId> ComboByName(std::string_view name)
{
    for (const ComboControl& combo : kComboControls) {
        if (combo.name == name) {
            return combo.id;
        }
    }
    return std::nullopt;
}

constexpr std::optional<ButtonId> ButtonByName(std::string_view name)
{
    for (const ButtonControl& button : kButtonControls) {
        if (button.name == name) {
            return button.id;
        }
    }
    return std::nullopt;
}

}  // namespace waitline
