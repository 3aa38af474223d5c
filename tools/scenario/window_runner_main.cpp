// waitline-scenario: drives the real main window off screen from a script
// and prints its state as JSON. No timer fires on its own; every event comes
// from a command of the script.

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPushButton>

#include <cstdlib>
#include <iostream>
#include <string>

#include "tools/scenario/scenario_run.h"
#include "ui/common/whole_file.h"
#include "ui/main_window/drawn_items.h"
#include "ui/main_window/main_window.h"
#include "ui/window_driver/window_driver.h"

namespace waitline::scenario {
namespace {

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

QString Latin1(std::string_view name) { return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())); }

// The real window, worked through its driver; what it shows is read back from
// its widgets and drawn items, not from a copy.
class RealWindow final : public ScenarioWindow {
public:
    RealWindow() { driver_.setTimersAutomatic(false); }

    void load(std::function<void(std::string_view)> showMessage) override
    {
        driver_.setMessageHandler(std::move(showMessage));
        window_.load();
    }
    Form& form() override { return driver_.form(); }
    const Form& form() const override { return driver_.form(); }

    bool typeText(ComboId id, std::string_view text) override
    {
        return driver_.typeText(id, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    bool chooseEntry(ComboId id, std::string_view entry) override
    {
        return driver_.chooseEntry(id, QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    void click(ButtonId id) override { driver_.clickButton(id); }
    void deliverTimerMove() override { driver_.deliverTimerMove(); }
    void deliverTimerCheck() override { driver_.deliverTimerCheck(); }
    std::string snapshot(const std::string& file) override
    {
        // Whole or not at all: a full disk leaves an older picture as it was.
        return SavePng(driver_.grabClientArea(), QString::fromStdString(file)).toStdString();
    }

    std::string caption(ButtonId id) const override { return Utf8(find<QPushButton>(Control(id).name)->text()); }
    Label label(const layout::LabelRow& row) const override
    {
        const auto& item = *find<LabelItem>(row.name);
        return {Utf8(item.caption()), item.isVisible()};
    }
    ComboBox combo(ComboId id) const override
    {
        const auto* box = find<QComboBox>(Control(id).name);
        ComboBox shown{box->isEditable(), Utf8(box->currentText()), {}};
        for (int k = 0; k < box->count(); ++k) {
            shown.list.push_back(Utf8(box->itemText(k)));
        }
        return shown;
    }
    bool boxVisible(int place) const override
    {
        return find<OutlineItem>(layout::MemberName(layout::kQueueBoxes.name, place))->isVisible();
    }
    bool serverLineVisible(int server, std::size_t line) const override
    {
        return find<LineItem>(layout::MemberName(layout::kServerLines.at(line).name, server))->isVisible();
    }
    std::array<double, 4> columnOutline() const override
    {
        const QRectF fifo = find<OutlineItem>(layout::kColumnOutline.name)->rect();
        return {fifo.left(), fifo.top(), fifo.width(), fifo.height()};
    }
    std::array<double, 4> arrivalLine() const override
    {
        const QLineF line = find<LineItem>(layout::kArrivalLine.name)->line();
        return {line.x1(), line.y1(), line.x2(), line.y2()};
    }

private:
    template <typename Widget>
    Widget* find(std::string_view name) const
    {
        auto* widget = window_.findChild<Widget*>(Latin1(name));
        if (widget == nullptr) {
            std::cerr << WAITLINE_COMMAND "-scenario: the window has no " << name << '\n';
            std::exit(1);
        }
        return widget;
    }

    MainWindow window_;
    WindowDriver driver_{window_};
};

}  // namespace
}  // namespace waitline::scenario

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    waitline::scenario::RealWindow window;
    return waitline::scenario::RunScenario(window, argc > 1 ? argv[1] : "-");
}
