#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

#include "control/form.h"
#include "statistics/queue_theory.h"
#include "statistics/run_record.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

namespace waitline {

class AnalysisPlots;
class AnalysisTable;
class WhatIfPanel;

// A second, non-modal window that follows the run: the measures of the series
// beside their intervals and the textbook's values, and three charts. While
// it is shown, the Form feeds its RunRecord after every tick; the window only
// reads the record, once a second. Hidden, it detaches the record, so that a
// tick costs exactly what it costs without it, and showing it again begins a
// new series.
class AnalysisWindow : public QWidget {
    Q_OBJECT
public:
    // Follows `form`, which must outlive the window.
    explicit AnalysisWindow(Form& form, QWidget* parent = nullptr);
    ~AnalysisWindow() override;
    AnalysisWindow(const AnalysisWindow&) = delete;
    AnalysisWindow& operator=(const AnalysisWindow&) = delete;

    // Shows the record and the run's state as they are now.
    void refresh();

    // Writes the series as CSV, or the charts as PNG when the name ends in
    // ".png", and shows a failure in a message box. Returns the failure's
    // text, empty on success.
    QString exportTo(const QString& path);

    const RunRecord& record() const { return record_; }
    const AnalysisTable& table() const { return *table_; }
    const AnalysisPlots& plots() const { return *plots_; }
    WhatIfPanel& whatIf() { return *whatIf_; }

Q_SIGNALS:
    // A point of a "What if" sweep was clicked: the main window should take
    // its settings.
    void settingsChosen(const waitline::SeriesSettings& settings);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildWidgets();
    void attach();
    void detach();
    // What stays fixed for a whole series: its settings, the theory for them
    // and the note on the tick step.
    void showSeriesSettings();
    void showState(double elapsed);
    void chooseExportFile();
    void restorePlace();
    void rememberPlace() const;

    Form& form_;
    RunRecord record_;
    std::uint64_t seriesShown_ = 0;
    double elapsedShown_ = -1.0;
    QueueSettings queue_;
    TheoryAnswer theory_;

    QLabel* settingsLine_ = nullptr;
    QLabel* stateLine_ = nullptr;
    QLabel* queueLine_ = nullptr;
    QLabel* captionsLine_ = nullptr;
    QLabel* littleLine_ = nullptr;
    QLabel* warningsLine_ = nullptr;
    AnalysisTable* table_ = nullptr;
    QLabel* reasonLine_ = nullptr;
    QLabel* tickStepNote_ = nullptr;
    AnalysisPlots* plots_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QTimer* refreshTimer_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    WhatIfPanel* whatIf_ = nullptr;
};

}  // namespace waitline
