#pragma once

#include "tools/scenario/scenario_window.h"

namespace waitline::scenario {

// The main window without Qt: the controller does what the window's handlers
// do, and what the window shows is read from the display model through the
// picture description, as the window's items show it.
class ModelWindow final : public ScenarioWindow {
public:
    void load(std::function<void(std::string_view)> showMessage) override;
    Form& form() override { return form_; }
    const Form& form() const override { return form_; }

    bool typeText(ComboId id, std::string_view text) override { return TypeText(form_, id, text); }
    bool chooseEntry(ComboId id, std::string_view entry) override { return ChooseEntry(form_, id, entry); }
    void click(ButtonId id) override { Click(form_, id); }
    void deliverTimerMove() override { DeliverTimerMove(form_); }
    void deliverTimerCheck() override { DeliverTimerCheck(form_); }
    std::string snapshot(const std::string& file) override;

    std::string caption(ButtonId id) const override;
    Label label(const layout::LabelRow& row) const override;
    ComboBox combo(ComboId id) const override;
    bool boxVisible(int place) const override;
    bool serverLineVisible(int server, std::size_t line) const override;
    std::array<double, 4> columnOutline() const override;
    std::array<double, 4> arrivalLine() const override;

private:
    Form form_;
};

}  // namespace waitline::scenario
