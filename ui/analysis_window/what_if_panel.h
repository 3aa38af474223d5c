#pragma once

#include <QString>
#include <QWidget>

#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "control/form.h"
#include "runs/sweep.h"
#include "runs/what_if.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace waitline {

class WhatIfPlot;

// "What if": one of the main window's settings swept over a range, the others
// as the main window has them, each point run in worker threads beside the
// demo, and one measure plotted against the swept value with the textbook
// curve. A click on a point asks for the main window to be set to it.
class WhatIfPanel : public QWidget {
    Q_OBJECT
public:
    // Reads the main window's settings from `form`, which must outlive the
    // panel; never changes it.
    explicit WhatIfPanel(const Form& form, QWidget* parent = nullptr);
    ~WhatIfPanel() override;
    WhatIfPanel(const WhatIfPanel&) = delete;
    WhatIfPanel& operator=(const WhatIfPanel&) = delete;

    // Starts the sweep the boxes describe; false, with the reason shown, when
    // it cannot run or one is running.
    bool run();
    void cancel();
    bool running() const { return sweep_.valid(); }
    // Takes a finished sweep's results, if there are any yet; the panel's own
    // timer calls this while one runs.
    void poll();
    // Moves the marker to the main window's setting, when it changed.
    void followMain();

    // Writes the sweep as CSV, or the plot as PNG when the name ends in
    // ".png", and shows a failure in a message box. Returns the failure's
    // text, empty on success.
    QString exportTo(const QString& path);

    // What the last finished sweep ran, in order.
    const std::vector<batch::SweepPoint>& points() const { return points_; }
    const std::vector<batch::Summary>& summaries() const { return summaries_; }
    const WhatIfPlot& plot() const { return *plot_; }

Q_SIGNALS:
    void settingsChosen(const waitline::SeriesSettings& settings);

protected:
    // The range is offered again for the main window's settings, when they
    // changed since it was offered.
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void offerRange();
    batch::SweptSetting chosenSetting() const;
    batch::SweepRange chosenRange() const;
    void showResults();
    void chooseExportFile();
    // What an exported picture says it shows.
    QString sweepLine() const;
    void finish(const QString& status);

    const Form& form_;
    QComboBox* settingBox_ = nullptr;
    QDoubleSpinBox* fromBox_ = nullptr;
    QDoubleSpinBox* toBox_ = nullptr;
    QDoubleSpinBox* stepBox_ = nullptr;
    QSpinBox* secondsBox_ = nullptr;
    QSpinBox* replicationsBox_ = nullptr;
    QComboBox* measureBox_ = nullptr;
    QPushButton* runButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    WhatIfPlot* plot_ = nullptr;
    QTimer* pollTimer_ = nullptr;

    // The sweep running, if any, and what it runs.
    std::unique_ptr<batch::RunWatch> watch_;
    std::future<std::optional<std::vector<batch::Summary>>> sweep_;
    double secondsToRun_ = 0.0;
    batch::Settings runningBase_;
    batch::SweptSetting runningSetting_ = batch::SweptSetting::ArrivalRate;
    std::vector<batch::SweepPoint> runningPoints_;

    // The last finished sweep.
    batch::Settings base_;
    batch::SweptSetting setting_ = batch::SweptSetting::ArrivalRate;
    std::vector<batch::SweepPoint> points_;
    std::vector<batch::Summary> summaries_;
    std::optional<double> markerShown_;
    SeriesSettings offeredFor_;
};

}  // namespace waitline
