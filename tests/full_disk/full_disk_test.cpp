// Exports and snapshots onto a disk that fills up part-way, or is full: the
// old file of that name stays as it was, nothing half-written is left beside
// it, and the reason says the disk is full.
//
// The disk is a 64 KiB tmpfs, mounted in a mount namespace of this process's
// own before anything else runs. Where the machine allows no such mount, those
// cases are skipped, saying why; the same writes then still meet a file-size
// limit (RLIMIT_FSIZE), which refuses writes past it just as a full disk does.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include "tests/ui/window_fixture.h"
#include "ui/analysis_window/analysis_export.h"
#include "ui/analysis_window/analysis_plots.h"
#include "ui/analysis_window/analysis_window.h"
#include "ui/common/whole_file.h"

namespace waitline::test {
namespace {

// The tmpfs, or why there is none.
std::string gSmallDisk;
std::string gNoSmallDisk = "not tried";

// The tmpfs goes with the process's mount namespace; the folder it was
// mounted on is on the machine's own disk.
void RemoveSmallDisk()
{
    if (!gSmallDisk.empty()) {
        umount2(gSmallDisk.c_str(), MNT_DETACH);
        rmdir(gSmallDisk.c_str());
    }
}

void WriteFile(const char* path, const std::string& text)
{
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = write(fd, text.data(), text.size());
        close(fd);
    }
}

// Must run while the process has one thread: a user namespace cannot be
// entered later.
void MountSmallDisk()
{
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    if (uid == 0 ? unshare(CLONE_NEWNS) != 0 : unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        gNoSmallDisk = std::string("no mount namespace: ") + std::strerror(errno);
        return;
    }
    if (uid != 0) {
        WriteFile("/proc/self/setgroups", "deny");
        WriteFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        WriteFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    }
    // Nothing mounted here reaches the rest of the machine.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        gNoSmallDisk = std::string("cannot make the mounts private: ") + std::strerror(errno);
        return;
    }
    std::string folder = (std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp");
    folder += "/waitline-full-disk.XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) {
        gNoSmallDisk = std::string("no folder to mount on: ") + std::strerror(errno);
        return;
    }
    if (mount("waitline-full-disk", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0700") != 0) {
        gNoSmallDisk = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        rmdir(folder.c_str());
        return;
    }
    gSmallDisk = folder;
    std::atexit(RemoveSmallDisk);
}

enum class Disk { SmallTmpfs, FileSizeLimit };
enum class Room { EightKiB, None };
// A short CSV fits the write buffer of a file opened with one; the others do
// not.
enum class Target { ShortAnalysisCsv, AnalysisCsv, AnalysisPng, Snapshot };

struct Case {
    Disk disk;
    Room room;
    Target target;
};

std::string Name(const ::testing::TestParamInfo<Case>& info)
{
    const Case& c = info.param;
    return std::string(c.disk == Disk::SmallTmpfs ? "Tmpfs" : "FileSizeLimit") +
           (c.room == Room::EightKiB ? "With8KiB" : "Full") +
           (c.target == Target::ShortAnalysisCsv ? "ShortCsv"
            : c.target == Target::AnalysisCsv    ? "Csv"
            : c.target == Target::AnalysisPng    ? "Png"
                                                 : "Snapshot");
}

void PrintTo(const Case& c, std::ostream* out) { *out << Name({c, 0}); }

constexpr qint64 kRoom = 8192;
const QByteArray kOldContent = QByteArray("the old file, which a failed write must leave as it was\n").repeated(40);

class FullDiskTest : public WindowTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (GetParam().disk == Disk::SmallTmpfs) {
            if (gSmallDisk.empty()) {
                GTEST_SKIP() << "no small disk to fill: " << gNoSmallDisk;
            }
            folder_ = QString::fromStdString(gSmallDisk);
        } else {
            ASSERT_TRUE(scratch_.isValid());
            folder_ = scratch_.path();
        }
        const bool csv = GetParam().target == Target::AnalysisCsv || GetParam().target == Target::ShortAnalysisCsv;
        target_ = folder_ + (csv ? QStringLiteral("/old.csv") : QStringLiteral("/old.png"));
        QFile old(target_);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        ASSERT_EQ(old.write(kOldContent), kOldContent.size());
    }

    void TearDown() override
    {
        allowAnySize();
        QFile::remove(target_);
        QFile::remove(filler());
        WindowTest::TearDown();
    }

    QString filler() const { return folder_ + QStringLiteral("/filler"); }

    // Leaves `room` free: on the tmpfs by filling it with a file, elsewhere
    // by a limit on the size of any file written from now on.
    void takeTheRoom()
    {
        const qint64 room = GetParam().room == Room::EightKiB ? kRoom : 0;
        if (GetParam().disk == Disk::FileSizeLimit) {
            // Past the limit a write fails; the signal it also raises would
            // end the program.
            limited_ = true;
            signalBefore_ = std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &limitBefore_);
            rlimit limit = limitBefore_;
            limit.rlim_cur = static_cast<rlim_t>(room);
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
            return;
        }
        QFile fill(filler());
        ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray page(4096, 'x');
        while (fill.write(page) == page.size()) {
        }
        ASSERT_TRUE(fill.resize(std::max<qint64>(fill.size() - room, 0)));
    }

    // The limit and the signal as they were before the test.
    void allowAnySize()
    {
        if (limited_) {
            setrlimit(RLIMIT_FSIZE, &limitBefore_);
            std::signal(SIGXFSZ, signalBefore_);
            limited_ = false;
        }
    }

    // Writes the target as the user would, with the room taken; returns the
    // error the user is told, and what would have been written.
    QString writeTarget(QByteArray* wanted)
    {
        switch (GetParam().target) {
        case Target::ShortAnalysisCsv:
        case Target::AnalysisCsv:
        case Target::AnalysisPng: {
            driver.openAnalysis();
            driver.clickButton(ButtonId::StartButton);
            const int seconds = GetParam().target == Target::ShortAnalysisCsv ? 180 : 300;
            for (int tick = 1; tick <= 100 * seconds; ++tick) {
                driver.deliverTimerMove();
                if (tick % 100 == 0) {
                    driver.deliverTimerCheck();
                }
            }
            AnalysisWindow& analysis = *driver.analysisWindow();
            if (GetParam().target != Target::AnalysisPng) {
                *wanted = SeriesCsv(analysis.record(), driver.form().sim).toLatin1();
                takeTheRoom();
                return ExportCsv(analysis.record(), driver.form().sim, target_);
            }
            const QImage plots = analysis.findChild<AnalysisPlots*>()->grab().toImage();
            *wanted = png(plots);
            takeTheRoom();
            return SavePng(plots, target_);
        }
        case Target::Snapshot: {
            *wanted = png(driver.grabClientArea());
            takeTheRoom();
            QProcess runner;
            runner.start(QStringLiteral(WAITLINE_SCENARIO), {QStringLiteral("-")});
            runner.write(QStringLiteral("tick 50\nsnapshot %1\n").arg(target_).toUtf8());
            runner.closeWriteChannel();
            EXPECT_TRUE(runner.waitForFinished(60000));
            EXPECT_EQ(runner.exitCode(), 2) << "the runner says a line could not be run";
            return QString::fromUtf8(runner.readAllStandardError()).trimmed();
        }
        }
        return {};
    }

    static QByteArray png(const QImage& image)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    QTemporaryDir scratch_;
    QString folder_;
    QString target_;
    bool limited_ = false;
    rlimit limitBefore_{};
    void (*signalBefore_)(int) = SIG_DFL;
};

TEST_P(FullDiskTest, LeavesTheOldFileAndSaysTheDiskIsFull)
{
    QByteArray wanted;
    const QString error = writeTarget(&wanted);
    allowAnySize();
    // The write would have needed more room than there was; a short one
    // still fits a write buffer.
    ASSERT_GT(wanted.size(), kRoom + 1024);
    if (GetParam().target == Target::ShortAnalysisCsv) {
        ASSERT_LT(wanted.size(), 16384);
    }
    const char* reason = GetParam().disk == Disk::SmallTmpfs ? "No space left on device" : "File too large";
    EXPECT_TRUE(error.contains(QLatin1String(reason))) << error.toStdString();
    EXPECT_TRUE(error.contains(target_)) << error.toStdString();
    QFile old(target_);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), kOldContent);
    // Nothing half-written beside it either.
    const QStringList left = QDir(folder_).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left.size(), QFile::exists(filler()) ? 2 : 1) << left.join(QLatin1Char(' ')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Writes, FullDiskTest, ::testing::ValuesIn([] {
                             std::vector<Case> cases;
                             for (const Disk disk : {Disk::SmallTmpfs, Disk::FileSizeLimit}) {
                                 for (const Room room : {Room::EightKiB, Room::None}) {
                                     for (const Target target : {Target::ShortAnalysisCsv, Target::AnalysisCsv,
                                                                 Target::AnalysisPng, Target::Snapshot}) {
                                         cases.push_back({disk, room, target});
                                     }
                                 }
                             }
                             return cases;
                         }()),
                         Name);

}  // namespace
}  // namespace waitline::test

int main(int argc, char** argv)
{
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        listing = listing || std::string(argv[i]) == "--gtest_list_tests";
    }
    if (!listing) {
        waitline::test::MountSmallDisk();
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The analysis window keeps its place in the user's settings; these tests
    // keep theirs in a folder of their own.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
