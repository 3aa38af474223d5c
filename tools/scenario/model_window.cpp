#include "tools/scenario/model_window.h"

#include "engine/translatable.h"

namespace waitline::scenario {

void ModelWindow::load(std::function<void(std::string_view)> showMessage)
{
    form_.sim.showMessage = std::move(showMessage);
    FormLoad(form_);
}

// Only the window has a picture to write; the line cannot be run here.
std::string ModelWindow::snapshot(const std::string& /*file*/)
{
    return WAITLINE_TR("waitline-scenario", "snapshot needs the window: run the script with ") +
           std::string(WAITLINE_COMMAND "-scenario");
}

std::string ModelWindow::caption(ButtonId id) const { return form_.sim.display.*Control(id).caption; }

Label ModelWindow::label(const layout::LabelRow& row) const { return form_.sim.display.*row.shows; }

ComboBox ModelWindow::combo(ComboId id) const { return Combo(form_.sim.display, id); }

bool ModelWindow::boxVisible(int place) const
{
    return form_.sim.display.drawing.boxQueue.at(static_cast<std::size_t>(place));
}

bool ModelWindow::serverLineVisible(int server, std::size_t line) const
{
    return form_.sim.display.drawing.serverLines.at(static_cast<std::size_t>(server)).at(line);
}

std::array<double, 4> ModelWindow::columnOutline() const
{
    const picture::RectF& start = layout::kColumnOutline.rect;
    const QueueDrawing& drawing = form_.sim.display.drawing;
    return {start.x, drawing.shpFIFOTop, start.width, drawing.shpFIFOHeight};
}

std::array<double, 4> ModelWindow::arrivalLine() const
{
    const picture::Line& start = layout::kArrivalLine.line;
    return {start.x1, start.y1, start.x2, form_.sim.display.drawing.Line12Y2};
}

}  // namespace waitline::scenario
