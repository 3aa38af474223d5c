// The analysis window: how it opens from the main window, what it shows of
// the series the run feeds it, how it follows Go and changes of the settings,
// and its export.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDataStream>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "runs/run_csv.h"
#include "statistics/measures.h"
#include "statistics/queue_theory.h"
#include "tests/ui/window_fixture.h"
#include "ui/analysis_window/analysis_export.h"
#include "ui/analysis_window/analysis_plots.h"
#include "ui/analysis_window/analysis_table.h"
#include "ui/analysis_window/analysis_window.h"
#include "ui/analysis_window/stored_place.h"
#include "ui/analysis_window/what_if_panel.h"
#include "ui/analysis_window/what_if_plot.h"

namespace waitline::test {
namespace {

// The window keeps its place in the user's settings; the tests keep theirs
// in a folder of their own, removed at the end.
class ScratchSettings : public ::testing::Environment {
public:
    void SetUp() override
    {
        folder_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(folder_->isValid());
        qputenv("XDG_CONFIG_HOME", folder_->path().toLocal8Bit());
    }
    void TearDown() override { folder_.reset(); }

private:
    std::unique_ptr<QTemporaryDir> folder_;
};

[[maybe_unused]] ::testing::Environment* const kScratchSettings =
    ::testing::AddGlobalTestEnvironment(new ScratchSettings);

using Column = AnalysisTable::Column;

const QString kNone = QStringLiteral("\u2014");

class AnalysisTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        driver.form().clockRandom.seed(3);
    }

    AnalysisWindow& open()
    {
        driver.openAnalysis();
        AnalysisWindow* analysis = driver.analysisWindow();
        EXPECT_NE(analysis, nullptr);
        return *analysis;
    }

    // Whole simulated seconds through the window, with the once-a-second check.
    void runSeconds(int seconds)
    {
        for (int tick = 1; tick <= 100 * seconds; ++tick) {
            driver.deliverTimerMove();
            if (tick % 100 == 0) {
                driver.deliverTimerCheck();
            }
        }
    }

    static QString label(const AnalysisWindow& analysis, const char* name)
    {
        const auto* found = analysis.findChild<QLabel*>(QString::fromLatin1(name));
        return found == nullptr ? QStringLiteral("(no label %1)").arg(QLatin1String(name)) : found->text();
    }

    static bool shown(const AnalysisWindow& analysis, const char* name)
    {
        const auto* found = analysis.findChild<QLabel*>(QString::fromLatin1(name));
        return found != nullptr && !found->isHidden();
    }
};

class ShownAnalysisTest : public AnalysisTest {
protected:
    void SetUp() override
    {
        AnalysisTest::SetUp();
        window.show();
        activateMainWindow();
    }

    void activateMainWindow()
    {
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

TEST_F(ShownAnalysisTest, OpensFromTheContextMenuOnThePicture)
{
    ASSERT_EQ(driver.analysisWindow(), nullptr);
    const QPoint inPicture(400, 300);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inPicture, driver.canvas()->mapToGlobal(inPicture));
    QApplication::sendEvent(driver.canvas(), &rightClick);

    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    // The first entry; the lecture controls follow it.
    ASSERT_FALSE(menu->actions().isEmpty());
    QAction* entry = menu->actions().constFirst();
    EXPECT_EQ(entry->text(), QStringLiteral("Analysis\u2026"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());

    AnalysisWindow* analysis = driver.analysisWindow();
    ASSERT_NE(analysis, nullptr);
    EXPECT_TRUE(analysis->isVisible());
    EXPECT_TRUE(analysis->isWindow());
    EXPECT_FALSE(analysis->isModal());
    EXPECT_EQ(driver.form().record, &analysis->record());
}

TEST_F(ShownAnalysisTest, CtrlIOpensItWhereverTheFocusIs)
{
    AnalysisWindow* first = nullptr;
    // An editable box's line edit, a list-only box and a button.
    // An editable box (its line edit takes the key), a list-only box and a
    // button.
    const std::vector<QWidget*> controls{driver.combo(ComboId::ArrivalCombo), driver.combo(ComboId::SourceCombo),
                                         driver.button(ButtonId::StartButton)};
    for (QWidget* control : controls) {
        activateMainWindow();
        control->setFocus(Qt::OtherFocusReason);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus == control || focus->parentWidget() == control) << control->metaObject()->className();
        const std::string arrivalText = driver.form().sim.display.ArrivalCombo.text;

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::ControlModifier);

        AnalysisWindow* analysis = driver.analysisWindow();
        ASSERT_NE(analysis, nullptr) << control->metaObject()->className();
        EXPECT_TRUE(analysis->isVisible()) << control->metaObject()->className();
        EXPECT_EQ(driver.form().sim.display.ArrivalCombo.text, arrivalText);
        // Made once, then reused.
        if (first == nullptr) {
            first = analysis;
        }
        EXPECT_EQ(analysis, first);
        analysis->close();
    }
}

TEST_F(AnalysisTest, FollowsTheRunOnlyWhileShown)
{
    EXPECT_EQ(driver.form().record, nullptr);
    AnalysisWindow& analysis = open();
    EXPECT_EQ(driver.form().record, &analysis.record());
    const std::uint64_t firstSeries = analysis.record().seriesNumber();

    analysis.close();
    EXPECT_EQ(driver.form().record, nullptr);
    runSeconds(2);

    // Showing it again begins a new series, from what the run is now.
    open();
    EXPECT_EQ(driver.form().record, &analysis.record());
    EXPECT_GT(analysis.record().seriesNumber(), firstSeries);
    EXPECT_TRUE(analysis.record().rows().empty());
}

TEST_F(AnalysisTest, ShowsTheTextbookValuesForExponentialSettings)
{
    AnalysisWindow& analysis = open();
    EXPECT_EQ(label(analysis, "settingsLine"),
              QStringLiteral("Exponential arrivals at 1 /s, Exponential service at 1 /s, 1 server, 3 places"));
    // M/M/1/3 with equal rates: every state of 0..3 packets is equally
    // likely, so a quarter of the arrivals are turned away, 1.5 packets are
    // held on average and W = L / throughput = 1.5 / 0.75 s.
    // Wq = Lq / throughput = 0.75 / 0.75 s; the spread of the time in the
    // system over the four states found, each equally likely (1, 2 or 3
    // exponential seconds): the mean of the variances, 2, plus the variance
    // of the means, 2/3, is 8/3.
    struct Expected {
        const char* key;
        const char* text;
    };
    const Expected expected[] = {{"loss", "25.00 %"},
                                 {"mean_time_in_system", "2.000 s"},
                                 {"sd_time_in_system", "1.633 s"},
                                 {"mean_waiting_time", "1.000 s"},
                                 {"mean_in_system", "1.500 packets"},
                                 {"mean_queue", "0.750 packets"},
                                 {"throughput", "0.750 packets/s"},
                                 {"utilisation", "75.00 %"}};
    for (const Expected& e : expected) {
        EXPECT_EQ(analysis.table().text(e.key, AnalysisTable::Theory).toStdString(), e.text) << e.key;
    }
    EXPECT_FALSE(shown(analysis, "theoryReason"));
    EXPECT_TRUE(analysis.plots().theoryLine().isVisible());
}

TEST_F(AnalysisTest, NamesTheQueueTheCaptionsAndLittlesLaw)
{
    AnalysisWindow& analysis = open();
    EXPECT_EQ(label(analysis, "captionsLine"),
              QStringLiteral("In the main window, \u201cPercentage Dropped\u201d is 100 \u00d7 P(loss), \u201cMean "
                             "Waiting Time\u201d is W, \u201cStd.Dev. Waiting Time\u201d is \u03c3(W), \u201cMean "
                             "Packets In Queue\u201d is L, \u201cQueue Length\u201d is K and \u201cNo of "
                             "Servers\u201d is c."));
    struct Case {
        ComboId box;
        const char* choice;
        const char* queue;
        bool warned;
    };
    const Case cases[] = {
        {ComboId::ServerCombo, "2", "M/M/2/3 queue; offered load \u03bb/(c\u03bc) = 0.500", false},
        {ComboId::SourceCombo, "Regular", "D/M/2/3 queue; offered load \u03bb/(c\u03bc) = 0.500", false},
        {ComboId::ServiceCombo, "Pareto 0.1", "D/G/2/3 queue; offered load \u03bb/(c\u03bc) = 0.500", true},
        {ComboId::SourceCombo, "Uniform", "G/G/2/3 queue; offered load \u03bb/(c\u03bc) = 0.500", true},
        {ComboId::ServiceCombo, "Exponential", "G/M/2/3 queue; offered load \u03bb/(c\u03bc) = 0.500", false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(driver.chooseEntry(c.box, QString::fromLatin1(c.choice)));
        analysis.refresh();
        EXPECT_EQ(label(analysis, "queueLine").toStdString(), c.queue);
        EXPECT_EQ(shown(analysis, "warningsLine"), c.warned) << c.queue;
    }
    ASSERT_TRUE(driver.chooseEntry(ComboId::ServiceCombo, QStringLiteral("Pareto 0.5")));
    analysis.refresh();
    EXPECT_TRUE(label(analysis, "warningsLine").contains(QStringLiteral("variance is infinite")));

    // At 20 packets a second the extra step of each service shows in L.
    ASSERT_TRUE(driver.chooseEntry(ComboId::SourceCombo, QStringLiteral("Exponential")));
    ASSERT_TRUE(driver.chooseEntry(ComboId::ServiceCombo, QStringLiteral("Exponential")));
    ASSERT_TRUE(driver.typeText(ComboId::ArrivalCombo, QStringLiteral("20")));
    ASSERT_TRUE(driver.typeText(ComboId::ServeRateCombo, QStringLiteral("20")));
    driver.clickButton(ButtonId::StartButton);
    runSeconds(60);
    analysis.refresh();
    const MeasureValues v = analysis.record().measures().values;
    const QString little = label(analysis, "littleLine");
    EXPECT_TRUE(little.startsWith(QStringLiteral("Little's law: L = %1 against X\u00b7W = %2")
                                      .arg(v.meanInSystem, 0, 'f', 3)
                                      .arg(v.throughput * v.meanTimeInSystem, 0, 'f', 3)))
        << little.toStdString();
    EXPECT_GT(v.meanInSystem, 1.005 * v.throughput * v.meanTimeInSystem);
    EXPECT_TRUE(little.contains(QStringLiteral("stays busy after its service ends"))) << little.toStdString();
    EXPECT_NEAR(v.meanWaiting, v.throughput * v.meanWaitBeforeService, 0.02 * v.meanWaiting);
}

TEST_F(AnalysisTest, ShowsTheReasonInsteadOfAValueForOtherDistributions)
{
    struct Case {
        ComboId box;
        const char* distribution;
        const char* settings;
    };
    const Case cases[] = {
        {ComboId::SourceCombo, "Uniform", "Uniform arrivals at 1 /s, Exponential service at 1 /s, 1 server, 3 places"},
        {ComboId::ServiceCombo, "Pareto 0.5",
         "Uniform arrivals at 1 /s, Pareto 0.5 service at 1 /s, 1 server, 3 places"},
        {ComboId::SourceCombo, "Exponential",
         "Exponential arrivals at 1 /s, Pareto 0.5 service at 1 /s, 1 server, 3 places"},
    };
    AnalysisWindow& analysis = open();
    for (const Case& c : cases) {
        ASSERT_TRUE(driver.chooseEntry(c.box, QString::fromLatin1(c.distribution)));
        analysis.refresh();
        EXPECT_EQ(label(analysis, "settingsLine").toStdString(), c.settings);
        for (const Measure& m : kMeasures) {
            EXPECT_EQ(analysis.table().text(m.key, AnalysisTable::Theory), kNone) << c.distribution << " " << m.key;
        }
        EXPECT_TRUE(shown(analysis, "theoryReason")) << c.distribution;
        EXPECT_EQ(label(analysis, "theoryReason").toStdString(), kNeedsExponential);
        EXPECT_FALSE(analysis.plots().theoryLine().isVisible());
    }
}

TEST_F(AnalysisTest, ExplainsTheTickStepOnlyAtHighRates)
{
    AnalysisWindow& analysis = open();
    EXPECT_FALSE(shown(analysis, "tickStepNote"));
    ASSERT_TRUE(driver.typeText(ComboId::ArrivalCombo, QStringLiteral("50")));
    analysis.refresh();
    EXPECT_TRUE(shown(analysis, "tickStepNote"));
    EXPECT_EQ(label(analysis, "tickStepNote"),
              QStringLiteral("At these rates the demo's 10 ms steps matter: arrivals and services take whole steps, a "
                             "little longer than drawn, so its long-run numbers differ from the textbook's."));
    ASSERT_TRUE(driver.typeText(ComboId::ArrivalCombo, QStringLiteral("1")));
    analysis.refresh();
    EXPECT_FALSE(shown(analysis, "tickStepNote"));
}

TEST_F(AnalysisTest, StateLineFollowsTheButtons)
{
    AnalysisWindow& analysis = open();
    struct Step {
        ButtonId button;
        const char* state;
    };
    const Step steps[] = {{ButtonId::StartButton, "running"},
                          {ButtonId::PauseButton, "paused"},
                          {ButtonId::PauseButton, "running"},
                          {ButtonId::StartButton, "stopped"}};
    for (const Step& step : steps) {
        driver.clickButton(step.button);
        runSeconds(1);
        analysis.refresh();
        const QString state = label(analysis, "stateLine");
        EXPECT_TRUE(state.startsWith(QLatin1String(step.state))) << state.toStdString() << " wanted " << step.state;
    }
}

TEST_F(AnalysisTest, NothingChangesWhilePaused)
{
    AnalysisWindow& analysis = open();
    driver.clickButton(ButtonId::StartButton);
    runSeconds(5);
    driver.clickButton(ButtonId::PauseButton);
    analysis.refresh();
    const auto rows = analysis.record().rows().size();
    const QList<QPointF> depth = analysis.plots().depthSteps().points();
    const QString loss = analysis.table().text("loss", AnalysisTable::Simulated);
    ASSERT_FALSE(depth.isEmpty());

    runSeconds(3);
    analysis.refresh();
    EXPECT_EQ(analysis.record().rows().size(), rows);
    EXPECT_EQ(analysis.plots().depthSteps().points(), depth);
    EXPECT_EQ(analysis.table().text("loss", AnalysisTable::Simulated), loss);
    EXPECT_TRUE(label(analysis, "stateLine").startsWith(QLatin1String("paused")));
}

struct SeriesStart {
    const char* name;
    std::function<void(WindowDriver&)> act;
    const char* settings;
};

class NewSeriesTest : public AnalysisTest, public ::testing::WithParamInterface<SeriesStart> {};

TEST_P(NewSeriesTest, ClearsTheTableAndThePlots)
{
    AnalysisWindow& analysis = open();
    driver.clickButton(ButtonId::StartButton);
    runSeconds(40);
    analysis.refresh();
    const std::uint64_t series = analysis.record().seriesNumber();
    ASSERT_FALSE(analysis.record().rows().empty());
    ASSERT_FALSE(analysis.plots().meanTimeLine().points().isEmpty());
    ASSERT_FALSE(analysis.plots().depthSteps().points().isEmpty());

    GetParam().act(driver);
    analysis.refresh();
    EXPECT_EQ(analysis.record().seriesNumber(), series + 1);
    EXPECT_EQ(label(analysis, "settingsLine").toStdString(), GetParam().settings);
    EXPECT_TRUE(analysis.plots().meanTimeLine().points().isEmpty());
    EXPECT_TRUE(analysis.plots().theoryLine().points().isEmpty());
    EXPECT_TRUE(analysis.plots().depthSteps().points().isEmpty());
    EXPECT_EQ(analysis.table().text("throughput", AnalysisTable::Simulated), QStringLiteral("0.000 packets/s"));
    EXPECT_TRUE(label(analysis, "stateLine").contains(QLatin1String(" 0 s ")));

    // And the new series fills again.
    runSeconds(2);
    analysis.refresh();
    EXPECT_EQ(analysis.plots().meanTimeLine().points().size(), 2);
}

const SeriesStart kSeriesStarts[] = {
    {"Go",
     [](WindowDriver& d) {
         d.clickButton(ButtonId::StartButton);  // Stop goes on with the series...
         ASSERT_EQ(d.form().record->rows().empty(), false);
         d.clickButton(ButtonId::StartButton);  // ...Go begins another.
     },
     "Exponential arrivals at 1 /s, Exponential service at 1 /s, 1 server, 3 places"},
    {"QueueLength", [](WindowDriver& d) { ASSERT_TRUE(d.chooseEntry(ComboId::QueueCombo, QStringLiteral("5"))); },
     "Exponential arrivals at 1 /s, Exponential service at 1 /s, 1 server, 5 places"},
    {"Servers", [](WindowDriver& d) { ASSERT_TRUE(d.chooseEntry(ComboId::ServerCombo, QStringLiteral("2"))); },
     "Exponential arrivals at 1 /s, Exponential service at 1 /s, 2 servers, 3 places"},
    {"ServiceRate", [](WindowDriver& d) { ASSERT_TRUE(d.typeText(ComboId::ServeRateCombo, QStringLiteral("1.5"))); },
     "Exponential arrivals at 1 /s, Exponential service at 1.5 /s, 1 server, 3 places"},
};

INSTANTIATE_TEST_SUITE_P(Starts, NewSeriesTest, ::testing::ValuesIn(kSeriesStarts),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(AnalysisTest, PlotsShowTheRecord)
{
    AnalysisWindow& analysis = open();
    // Fast enough for the batches to carry an interval within the run.
    ASSERT_TRUE(driver.typeText(ComboId::ArrivalCombo, QStringLiteral("20")));
    ASSERT_TRUE(driver.typeText(ComboId::ServeRateCombo, QStringLiteral("20")));
    driver.clickButton(ButtonId::StartButton);
    runSeconds(90);
    analysis.refresh();
    const RunRecord& record = analysis.record();
    const AnalysisPlots& plots = analysis.plots();

    const std::span<const SeriesRow> rows = record.rows();
    const QList<QPointF> mean = plots.meanTimeLine().points();
    ASSERT_EQ(mean.size(), static_cast<qsizetype>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(mean[static_cast<qsizetype>(i)], QPointF(rows[i].time, rows[i].meanTimeInSystem)) << "row " << i;
    }
    // The band covers the rows from the first that has an interval on.
    const QList<QPointF> low = plots.meanTimeBand().lowerSeries()->points();
    const QList<QPointF> high = plots.meanTimeBand().upperSeries()->points();
    ASSERT_EQ(low.size(), high.size());
    ASSERT_FALSE(low.isEmpty()) << "no interval after 90 s";
    EXPECT_LT(low.size(), mean.size());
    EXPECT_EQ(low.constLast().x(), rows.back().time);
    EXPECT_EQ(high.constLast().y(), rows.back().meanTimeBand->high);
    for (qsizetype i = 0; i < low.size(); ++i) {
        EXPECT_LE(low[i].y(), high[i].y());
    }
    const QList<QPointF> theory = plots.theoryLine().points();
    ASSERT_EQ(theory.size(), 2);
    // M/M/1/3 with equal rates: W = L / throughput = 1.5 / (0.75 * 20) s.
    EXPECT_NEAR(theory[0].y(), 0.1, 1e-12);
    EXPECT_EQ(theory[1].x(), rows.back().time);

    // Steps through every sample, against the seconds before the newest:
    // read at a sample's time, the line gives that sample's count (the last
    // point at that time counts), and it turns only where the count changes.
    const std::vector<DepthSample> samples = record.depthSamples();
    ASSERT_EQ(samples.size(), RunRecord::kDepthSamples);
    const QList<QPointF> depth = plots.depthSteps().points();
    ASSERT_FALSE(depth.isEmpty());
    const double now = samples.back().time;
    int changes = 0;
    qsizetype next = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        changes += i > 0 && samples[i].placesHeld != samples[i - 1].placesHeld ? 1 : 0;
        while (next < depth.size() && depth[next].x() <= samples[i].time - now) {
            ++next;
        }
        ASSERT_GT(next, 0);
        EXPECT_EQ(depth[next - 1].y(), samples[i].placesHeld) << "sample " << i << " at " << samples[i].time;
    }
    EXPECT_EQ(next, depth.size());
    EXPECT_EQ(depth.constLast(), QPointF(0.0, samples.back().placesHeld));
    EXPECT_GE(depth.constFirst().x(), -60.0);
    EXPECT_LE(depth.size(), 2 * changes + 2);

    // Each bar's count over its width, in seconds, to about the 99th
    // percentile; a last bar for the rest; every time served in one of them.
    const HistogramView view = ViewOfHistogram(record.histogram(), AnalysisPlots::kHistogramBins);
    const QList<QPointF> outline = plots.histogramOutline().points();
    const auto bins = static_cast<qsizetype>(view.counts.size());
    ASSERT_GT(bins, 1);
    ASSERT_LE(bins, AnalysisPlots::kHistogramBins);
    ASSERT_EQ(outline.size(), 2 * bins + 2);
    const double width = view.binSeconds;
    std::int64_t counted = view.beyond;
    for (qsizetype bin = 0; bin < bins; ++bin) {
        const auto count = static_cast<double>(view.counts[static_cast<std::size_t>(bin)]);
        EXPECT_EQ(outline[1 + 2 * bin], QPointF(static_cast<double>(bin) * width, count));
        EXPECT_EQ(outline[2 + 2 * bin], QPointF(static_cast<double>(bin + 1) * width, count));
        counted += view.counts[static_cast<std::size_t>(bin)];
    }
    EXPECT_EQ(counted, record.measures().served);
    EXPECT_LE(view.beyond * 100, view.total * 2);
    EXPECT_EQ(plots.histogramBeyond().points()[1],
              QPointF(static_cast<double>(bins) * width, static_cast<double>(view.beyond)));
    // The textbook's counts, exponential times at the start-up settings: a
    // step for each bar, the beyond bar's included.
    EXPECT_EQ(plots.histogramTheory().points().size(), 2 * (bins + 1));
}

// The textbook's count for each bar is what a long run at slow rates, where
// the demo matches the textbook, puts in it: bar by bar within a few
// standard deviations of a count (more than a count's square root, since a
// long busy spell makes several long times at once), and summed from the
// left, everywhere within 2 % of all the packets.
TEST_F(AnalysisTest, HistogramsTextbookCountsAreWhatALongRunCounts)
{
    AnalysisWindow& analysis = open();
    driver.clickButton(ButtonId::StartButton);
    runSeconds(20000);
    analysis.refresh();
    const HistogramView view = ViewOfHistogram(analysis.record().histogram(), AnalysisPlots::kHistogramBins);
    const QList<QPointF> expected = analysis.plots().histogramTheory().points();
    ASSERT_EQ(expected.size(), 2 * (static_cast<qsizetype>(view.counts.size()) + 1));
    ASSERT_GT(view.total, 10000);
    double worst = 0.0;
    double wantedSoFar = 0.0;
    double countedSoFar = 0.0;
    double apart = 0.0;
    for (std::size_t bin = 0; bin < view.counts.size(); ++bin) {
        const double want = expected[2 * static_cast<qsizetype>(bin)].y();
        const auto got = static_cast<double>(view.counts[bin]);
        const double deviations = std::abs(got - want) / std::sqrt(std::max(want, 1.0));
        worst = std::max(worst, deviations);
        EXPECT_LT(deviations, 6.0) << "bar " << bin << ": " << got << " counted, " << want << " expected";
        wantedSoFar += want;
        countedSoFar += got;
        apart = std::max(apart, std::abs(countedSoFar - wantedSoFar) / static_cast<double>(view.total));
    }
    EXPECT_LT(apart, 0.02);
    RecordProperty("largest_deviation", std::to_string(worst));
    RecordProperty("largest_share_apart", std::to_string(apart));
}

// One time far beyond the others widens the record's bins, but the chart
// still shows the bulk of the times in many bars, the outlier in the last.
TEST(HistogramView, AnOutlierDoesNotSquashTheBulk)
{
    TimeHistogram h;
    h.binWidthMs = 80;  // after a time of a few minutes
    for (int bin = 0; bin < 50; ++bin) {
        h.counts[static_cast<std::size_t>(bin)] = 20;  // 1000 times within 4 s
    }
    h.counts[TimeHistogram::kBinCount - 1] = 1;  // one of some 160 s
    const HistogramView view = ViewOfHistogram(h, 40);
    EXPECT_EQ(view.total, 1001);
    EXPECT_EQ(view.beyond, 1);  // the outlier alone
    ASSERT_EQ(view.counts.size(), 25U);
    EXPECT_DOUBLE_EQ(view.binSeconds, 0.16);
    EXPECT_EQ(view.counts.front(), 40);
}

TEST_F(AnalysisTest, LongSeriesKeepsThePlotsSmall)
{
    AnalysisWindow& analysis = open();
    Form& form = driver.form();
    Click(form, ButtonId::StartButton);
    // Past the point count, straight through the controller: the window's
    // own repaints would only slow the test down.
    for (int tick = 1; tick <= 100 * 1000; ++tick) {
        DeliverTimerMove(form);
        if (tick % 100 == 0) {
            DeliverTimerCheck(form);
        }
    }
    analysis.refresh();
    const std::span<const SeriesRow> rows = analysis.record().rows();
    ASSERT_GT(rows.size(), AnalysisPlots::kMaxPoints);
    const QList<QPointF> mean = analysis.plots().meanTimeLine().points();
    EXPECT_LE(mean.size(), static_cast<qsizetype>(AnalysisPlots::kMaxPoints) + 1);
    EXPECT_GE(mean.size(), static_cast<qsizetype>(AnalysisPlots::kMaxPoints / 2));
    EXPECT_EQ(mean.constFirst().x(), rows.front().time);
    EXPECT_EQ(mean.constLast().x(), rows.back().time);
    EXPECT_LE(analysis.plots().meanTimeBand().upperSeries()->count(), mean.size());
}

class ExportTest : public AnalysisTest {
protected:
    void SetUp() override
    {
        AnalysisTest::SetUp();
        ASSERT_TRUE(folder.isValid());
    }

    // Exports through the window and closes the warning it may show,
    // keeping its text.
    QString exportTo(AnalysisWindow& analysis, const QString& path, QString* warning)
    {
        QTimer::singleShot(0, [warning] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                *warning = box->text();
                box->close();
            }
        });
        QString error = analysis.exportTo(path);
        QCoreApplication::processEvents();
        return error;
    }

    QTemporaryDir folder;
};

TEST_F(ExportTest, CsvHoldsEveryRowWithDecimalPointsInAnyLocale)
{
    AnalysisWindow& analysis = open();
    driver.clickButton(ButtonId::StartButton);
    runSeconds(25);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString path = folder.filePath(QStringLiteral("series.csv"));
    QString warning;
    const QString error = exportTo(analysis, path, &warning);
    QLocale::setDefault(before);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_TRUE(warning.isEmpty());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // First the lines a reader skips, as pandas.read_csv(comment='#') does.
    const QStringList preamble = lines.filter(QRegularExpression(QStringLiteral("^#")));
    ASSERT_EQ(preamble.size(), 6);
    EXPECT_TRUE(preamble[0].startsWith(QStringLiteral("# Waitline " WAITLINE_VERSION ": ")));
    EXPECT_EQ(preamble[1], QStringLiteral("# settings: M/M/1/3, Exponential arrivals at 1 /s, Exponential service at "
                                          "1 /s, 1 server, 3 places"));
    EXPECT_EQ(preamble[3], QStringLiteral("# mean_time_in_system_s: W, the time in the system"));
    ASSERT_EQ(lines.mid(0, 6), preamble);
    lines = lines.mid(6);
    const std::span<const SeriesRow> rows = analysis.record().rows();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(rows.size()) + 1);
    EXPECT_EQ(lines[0], QStringLiteral("time_s,sourced,served,lost,percent_dropped,mean_time_in_system_s,"
                                       "sd_time_in_system_s,mean_in_system,places_held"));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SeriesRow& row = rows[i];
        const QStringList fields = lines[static_cast<qsizetype>(i) + 1].split(QLatin1Char(','));
        ASSERT_EQ(fields.size(), 9) << "line " << i + 1;
        const std::vector<double> expected{row.time,
                                           static_cast<double>(row.sourced),
                                           static_cast<double>(row.served),
                                           static_cast<double>(row.lost),
                                           row.percentDropped,
                                           row.meanTimeInSystem,
                                           row.sdTimeInSystem,
                                           row.meanInSystem,
                                           static_cast<double>(row.placesHeld)};
        for (std::size_t f = 0; f < expected.size(); ++f) {
            bool ok = false;
            const double read = fields[static_cast<qsizetype>(f)].toDouble(&ok);
            EXPECT_TRUE(ok) << "line " << i + 1 << " field " << f;
            EXPECT_EQ(read, expected[f]) << "line " << i + 1 << " field " << f;
        }
    }
    // The text builder and the file agree.
    file.seek(0);
    EXPECT_EQ(QString::fromUtf8(file.readAll()), SeriesCsv(analysis.record(), driver.form().sim));
}

TEST_F(ExportTest, CsvEndsWithTheStateTheTableShows)
{
    AnalysisWindow& analysis = open();
    driver.clickButton(ButtonId::StartButton);
    // At a whole second the last row is the state now; 37 ticks later it is
    // a row of its own.
    for (const int ticks : {0, 37}) {
        runSeconds(40);
        for (int tick = 0; tick < ticks; ++tick) {
            driver.deliverTimerMove();
        }
        const QStringList lines = SeriesCsv(analysis.record(), driver.form().sim)
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                      .filter(QRegularExpression(QStringLiteral("^[^#]")));
        const auto rows = static_cast<qsizetype>(analysis.record().rows().size());
        ASSERT_EQ(lines.size(), rows + (ticks == 0 ? 1 : 2)) << ticks << " ticks";
        const QStringList last = lines.back().split(QLatin1Char(','));
        const SeriesMeasures now = analysis.record().measures();
        EXPECT_EQ(last[0].toDouble(), std::round(driver.form().sim.SimTime * 100.0) / 100.0) << ticks << " ticks";
        EXPECT_EQ(last[1].toLongLong(), now.sourced) << ticks << " ticks";
        EXPECT_DOUBLE_EQ(last[4].toDouble(), now.values.loss * 100.0) << ticks << " ticks";
        EXPECT_DOUBLE_EQ(last[5].toDouble(), now.values.meanTimeInSystem) << ticks << " ticks";
    }
}

TEST_F(ExportTest, PngIsThePlots)
{
    AnalysisWindow& analysis = open();
    driver.clickButton(ButtonId::StartButton);
    runSeconds(5);
    const QString path = folder.filePath(QStringLiteral("plots.png"));
    QString warning;
    ASSERT_TRUE(exportTo(analysis, path, &warning).isEmpty());
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    // The plots under a line that says what they show.
    const QSize plots = analysis.findChild<AnalysisPlots*>()->size();
    EXPECT_EQ(image.width(), plots.width());
    EXPECT_GT(image.height(), plots.height());
    int ink = 0;
    for (int y = 0; y < image.height() - plots.height(); ++y) {
        for (int x = 0; x < image.width() / 2; ++x) {
            ink += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 100) << "no settings line above the plots";
    EXPECT_EQ(image.text(QStringLiteral("Description")),
              QStringLiteral("M/M/1/3, Exponential arrivals at 1 /s, Exponential service at 1 /s, 1 server, 3 places"));
}

TEST_F(ExportTest, FailedWriteLeavesNoFileAndSaysWhy)
{
    AnalysisWindow& analysis = open();
    driver.clickButton(ButtonId::StartButton);
    runSeconds(3);
    const QString missing = folder.filePath(QStringLiteral("missing"));
    for (const QString& path : {missing + QStringLiteral("/series.csv"), missing + QStringLiteral("/plots.png"),
                                // A folder's own name cannot be replaced by a file.
                                folder.path() + QStringLiteral("/.")}) {
        QString warning;
        const QString error = exportTo(analysis, path, &warning);
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
        EXPECT_EQ(warning, error) << path.toStdString();
        EXPECT_FALSE(QFile::exists(missing));
        EXPECT_TRUE(QDir(folder.path()).isEmpty()) << path.toStdString();
    }
    EXPECT_FALSE(ExportCsv(analysis.record(), driver.form().sim, missing + QStringLiteral("/series.csv")).isEmpty());
}

// "What if": the sweep runs beside the demo, every point the batch run of its
// settings, drawn with the textbook curve through the points' own textbook
// values; it exports, cancels, and a click on a point sets the main window.
class WhatIfTest : public ExportTest {
protected:
    WhatIfPanel& panel(AnalysisWindow& analysis, double from, double to, double step, int seconds)
    {
        WhatIfPanel& whatIf = analysis.whatIf();
        whatIf.findChild<QComboBox*>(QStringLiteral("sweptSetting"))->setCurrentIndex(0);  // the arrival rate
        whatIf.findChild<QDoubleSpinBox*>(QStringLiteral("sweepFrom"))->setValue(from);
        whatIf.findChild<QDoubleSpinBox*>(QStringLiteral("sweepTo"))->setValue(to);
        whatIf.findChild<QDoubleSpinBox*>(QStringLiteral("sweepStep"))->setValue(step);
        whatIf.findChild<QSpinBox*>(QStringLiteral("sweepSeconds"))->setValue(seconds);
        whatIf.findChild<QSpinBox*>(QStringLiteral("sweepReplications"))->setValue(2);
        return whatIf;
    }

    static void waitFor(WhatIfPanel& whatIf)
    {
        for (int wait = 0; wait < 600 && whatIf.running(); ++wait) {
            QTest::qWait(50);
        }
        ASSERT_FALSE(whatIf.running());
    }

    static QString status(const WhatIfPanel& whatIf)
    {
        return whatIf.findChild<QLabel*>(QStringLiteral("sweepStatus"))->text();
    }
};

TEST_F(WhatIfTest, SweepDrawsExportsAndSetsTheMainWindowFromAPoint)
{
    AnalysisWindow& analysis = open();
    WhatIfPanel& whatIf = panel(analysis, 0.5, 1.5, 0.5, 300);
    ASSERT_TRUE(whatIf.run());
    EXPECT_FALSE(whatIf.run()) << "a second sweep while one runs";
    waitFor(whatIf);
    ASSERT_EQ(whatIf.points().size(), 3U);
    const Measure& loss = MeasureKeyed("loss");
    const auto& shown = whatIf.plot().points();
    ASSERT_EQ(shown.size(), 3U);
    for (std::size_t p = 0; p < 3; ++p) {
        const batch::Settings& at = whatIf.points()[p].settings;
        EXPECT_EQ(at.arrivalRate, 0.5 * double(p + 1));
        const batch::Summary alone = batch::Summarise(at, batch::RunReplications(at, {1}));
        for (const Measure& m : kMeasures) {
            EXPECT_EQ(whatIf.summaries()[p].simulated.values.*m.simulated, alone.simulated.values.*m.simulated)
                << m.key << " at point " << p;
        }
        EXPECT_EQ(shown[p].y, alone.simulated.values.loss);
        EXPECT_EQ(shown[p].low.has_value(), batch::IntervalOf(alone, loss).has_value());
    }
    // The curve runs finely from the first point to the last, through their
    // textbook values.
    const auto& curve = whatIf.plot().curve();
    ASSERT_GE(curve.size(), 100U);
    EXPECT_EQ(curve.front().x, 0.5);
    EXPECT_EQ(curve.back().x, 1.5);
    EXPECT_EQ(curve.front().y, batch::TheoryValue(whatIf.summaries().front(), loss));
    EXPECT_EQ(curve.back().y, batch::TheoryValue(whatIf.summaries().back(), loss));

    const QString csv = folder.filePath(QStringLiteral("sweep.csv"));
    const QString png = folder.filePath(QStringLiteral("sweep.png"));
    ASSERT_TRUE(whatIf.exportTo(csv).isEmpty());
    ASSERT_TRUE(whatIf.exportTo(png).isEmpty());
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), batch::SweepCsv(whatIf.points(), whatIf.summaries()));
    const QImage picture(png);
    EXPECT_EQ(picture.width(), whatIf.plot().width());
    EXPECT_TRUE(picture.text(QStringLiteral("Description")).contains(QStringLiteral("3 points")));

    // A click on the middle point, while the demo runs: it stops, with the
    // point's rate in its box.
    driver.clickButton(ButtonId::StartButton);
    runSeconds(1);
    auto& plot = const_cast<WhatIfPlot&>(whatIf.plot());
    plot.resize(640, 400);
    QTest::mouseClick(&plot, Qt::LeftButton, {}, plot.placeOf(shown[1].x, shown[1].y).toPoint());
    EXPECT_FALSE(driver.form().sim.Running);
    EXPECT_EQ(driver.form().sim.display.ArrivalCombo.text, "1");
    EXPECT_EQ(driver.form().sim.display.StartButton, "Go");
    // A click beside every point changes nothing.
    driver.typeText(ComboId::ArrivalCombo, QStringLiteral("3"));
    QTest::mouseClick(&plot, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(driver.form().sim.display.ArrivalCombo.text, "3");
}

TEST_F(WhatIfTest, CancelKeepsTheLastSweepAndARangeThatCannotRunIsRefused)
{
    AnalysisWindow& analysis = open();
    WhatIfPanel& whatIf = panel(analysis, 1, 2, 1, 100);
    ASSERT_TRUE(whatIf.run());
    waitFor(whatIf);
    ASSERT_EQ(whatIf.points().size(), 2U);

    panel(analysis, 0.5, 3, 0.5, 1'000'000);
    ASSERT_TRUE(whatIf.run());
    QTest::qWait(100);
    whatIf.cancel();
    waitFor(whatIf);
    EXPECT_EQ(status(whatIf), QStringLiteral("Cancelled."));
    EXPECT_EQ(whatIf.points().size(), 2U) << "the last finished sweep stays shown";

    panel(analysis, 2, 1, 0.5, 100);
    EXPECT_FALSE(whatIf.run());
    EXPECT_TRUE(status(whatIf).contains(QStringLiteral("must not be more than"))) << status(whatIf).toStdString();
}

TEST_F(AnalysisTest, RemembersItsSizeForTheNextRun)
{
    AnalysisWindow& analysis = open();
    // A size the window can take on the off-screen desktop, other than the
    // size it first opens with.
    const QSize wanted = analysis.minimumSizeHint() + QSize(30, 20);
    ASSERT_NE(wanted, analysis.size());
    ASSERT_TRUE(analysis.screen()->availableSize().expandedTo(wanted) == analysis.screen()->availableSize());
    analysis.resize(wanted);
    analysis.close();

    MainWindow next;
    WindowDriver nextDriver(next);
    nextDriver.setTimersAutomatic(false);
    next.load();
    nextDriver.openAnalysis();
    ASSERT_NE(nextDriver.analysisWindow(), nullptr);
    EXPECT_EQ(nextDriver.analysisWindow()->size(), wanted);
}

// The settings file the window keeps its place in, as a hostile or broken
// desktop may leave it. Each case opens the analysis window of a program
// started afresh, which reads its place once.
class StoredPlaceTest : public ::testing::Test {
protected:
    static QString settingsPath()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/Waitline/Waitline.conf");
    }

    // What QWidget::saveGeometry writes for a window at `place` on the first
    // screen, with any numbers in it.
    static QByteArray storedGeometry(const QRect& place)
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(QDataStream::Qt_4_0);
        stream << quint32{0x1D9D0CB} << quint16{3} << quint16{0} << place << place << qint32{0} << quint8{0}
               << quint8{0} << qint32{800} << place;
        return bytes;
    }

    static QByteArray savedGeometry()
    {
        return QSettings(settingsPath(), QSettings::IniFormat)
            .value(QStringLiteral("analysisWindow/geometry"))
            .toByteArray();
    }

    // Opens the analysis window as a new program would, and closes it at the
    // end of `look`.
    static void openAfresh(const std::function<void(AnalysisWindow&)>& look)
    {
        MainWindow program;
        WindowDriver driver(program);
        driver.setTimersAutomatic(false);
        program.load();
        driver.openAnalysis();
        ASSERT_NE(driver.analysisWindow(), nullptr);
        look(*driver.analysisWindow());
        driver.analysisWindow()->close();
    }

    // Other tests leave a place behind; these start from none.
    void SetUp() override { QFile::remove(settingsPath()); }
    void TearDown() override { QFile::remove(settingsPath()); }
};

TEST(FitOnScreens, ClipsToTheScreenHoldingMostOfThePlaceOrDropsIt)
{
    const std::vector<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    constexpr int kMost = std::numeric_limits<int>::max();
    constexpr int kLeast = std::numeric_limits<int>::min();
    struct Case {
        const char* what;
        QRect place;
        std::optional<QRect> fitted;
    };
    const std::vector<Case> cases{
        {"inside", QRect(100, 50, 980, 880), QRect(100, 50, 980, 880)},
        {"far too large", QRect(0, 0, 99999, 99999), QRect(0, 0, 1920, 1080)},
        {"over the right edge", QRect(1500, 900, 980, 880), QRect(940, 200, 980, 880)},
        {"mostly on the second screen", QRect(1800, 100, 980, 880), QRect(1920, 100, 980, 880)},
        {"taller than the second screen", QRect(2000, -50, 600, 2000), QRect(2000, 0, 600, 1024)},
        {"below every screen", QRect(100, 5000, 980, 880), std::nullopt},
        // Corners far apart, as a settings file may hold them: no width of
        // theirs fits an int.
        {"at the largest position", QRect(QPoint(kMost - 10, kMost - 10), QPoint(kMost, kMost)), std::nullopt},
        {"at the smallest position", QRect(QPoint(kLeast, kLeast), QPoint(kLeast + 500, kLeast + 400)), std::nullopt},
        {"from the least to the most", QRect(QPoint(kLeast, kLeast), QPoint(kMost, kMost)), QRect(0, 0, 1920, 1080)},
        {"from the least to the second screen", QRect(QPoint(kLeast, 10), QPoint(2500, 500)), QRect(0, 10, 1920, 491)},
        {"empty", QRect(10, 10, 0, 0), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitOnScreens(c.place, screens), c.fitted) << c.what;
    }
    EXPECT_EQ(FitOnScreens(QRect(0, 0, 100, 100), {}), std::nullopt);
}

TEST(PlaceBeside, OpensBesideTheMainWindowWhereThereIsRoom)
{
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(980, 880);
    struct Case {
        const char* what;
        QRect main;
        QRect place;
    };
    const std::vector<Case> cases{
        {"right of it", QRect(0, 0, 800, 600), QRect(808, 0, 980, 880)},
        {"left of it", QRect(1100, 100, 800, 600), QRect(112, 100, 980, 880)},
        {"no room either side: at the side it covers less of", QRect(500, 300, 800, 600), QRect(940, 0, 980, 880)},
        {"no room either side, nearer the right", QRect(700, 300, 800, 600), QRect(0, 0, 980, 880)},
        {"a small screen: the whole of it", QRect(0, 0, 792, 567), QRect(0, 0, 800, 600)},
    };
    for (const Case& c : cases) {
        const QRect on = c.main.width() == 792 ? QRect(0, 0, 800, 600) : screen;
        EXPECT_EQ(PlaceBeside(c.main, size, on), c.place) << c.what;
    }
    // Below it, on a tall screen.
    EXPECT_EQ(PlaceBeside(QRect(100, 0, 800, 600), QSize(700, 500), QRect(0, 0, 1000, 1200)),
              QRect(100, 608, 700, 500));
}

TEST_F(StoredPlaceTest, APlaceFromTheFileIsClippedToTheScreenOrDropped)
{
    QSize fresh;
    QRect screen;
    openAfresh([&](AnalysisWindow& analysis) {
        fresh = analysis.size();
        screen = analysis.screen()->availableGeometry();
    });
    constexpr int kLeast = std::numeric_limits<int>::min();
    constexpr int kMost = std::numeric_limits<int>::max();
    struct Case {
        const char* what;
        QRect stored;
        bool dropped;
    };
    for (const Case& c : {Case{"0,0 to 99999,99999", QRect(0, 0, 99999, 99999), false},
                          Case{"half off the screen", QRect(screen.right() - 100, 20, 300, 200), false},
                          Case{"far off every screen", QRect(kMost / 2, kMost / 2, 500, 400), true},
                          Case{"the largest integers", QRect(QPoint(kMost - 1, kMost - 1), QPoint(kMost, kMost)), true},
                          Case{"the whole plane", QRect(QPoint(kLeast, kLeast), QPoint(kMost, kMost)), false}}) {
        QSettings(settingsPath(), QSettings::IniFormat)
            .setValue(QStringLiteral("analysisWindow/geometry"), storedGeometry(c.stored));
        QRect taken;
        openAfresh([&](AnalysisWindow& analysis) {
            taken = analysis.geometry();
            if (c.dropped) {
                EXPECT_EQ(taken.size(), fresh) << c.what;
            } else {
                // Within the screen, as far as the window's smallest size lets it.
                EXPECT_LE(taken.width(), std::max(screen.width(), analysis.minimumWidth())) << c.what;
                EXPECT_LE(taken.height(), std::max(screen.height(), analysis.minimumHeight())) << c.what;
            }
            EXPECT_TRUE(screen.intersects(taken)) << c.what;
        });
        // What is saved back is the place it took, not the one it was given.
        QWidget probe;
        ASSERT_TRUE(probe.restoreGeometry(savedGeometry())) << c.what;
        EXPECT_EQ(probe.geometry().size(), taken.size()) << c.what;
    }
}

TEST_F(StoredPlaceTest, ASettingsFileThatIsNoPlainFileIsLeftAlone)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settingsPath()).path()));
    // Reading a pipe that nobody writes waits for ever: the alarm ends the
    // test instead of a hang.
    ASSERT_EQ(mkfifo(QFile::encodeName(settingsPath()).constData(), 0600), 0);
    alarm(60);
    openAfresh([](AnalysisWindow& analysis) { EXPECT_TRUE(analysis.isVisible()); });
    alarm(0);
    EXPECT_TRUE(QFileInfo(settingsPath()).exists());
    EXPECT_FALSE(QFileInfo(settingsPath()).isFile());
}

}  // namespace
}  // namespace waitline::test
