#include "GuiTestFixture.h"
#include "ProgressJob.h"
#include "ProgressWindow.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <thread>

namespace {

// The progress window of work that never ends by itself, by its source.
struct WindowCase
{
    const char* name;
    bool sourceHasSize;
    std::size_t nameLength;  // of the source file's name, when it is a file
    bool elided;
    int barMaximum;  // 0: a busy bar
    const char* screenshot;
};

class ProgressWindow : public GuiTest, public testing::WithParamInterface<WindowCase>
{};

TEST_P(ProgressWindow, ShowsAfterTheDelayAndEscapeCancels)
{
    const WindowCase& c = GetParam();
    const std::string source = c.sourceHasSize
        ? m_dir.Write(std::string(c.nameLength - 4, 'i') + ".bin", std::string(4000, 'x'))
        : "/dev/zero";
    CProgressJob job(source, [](const ProgressCallback& progress) {
        for (std::uint64_t read = 0; progress(read); read += 100)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    QWidget owner;
    bool seen = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* window = dynamic_cast<CProgressWindow*>(QApplication::activeModalWidget());
        if (!window || seen)
            return;
        seen = true;
        EXPECT_EQ(window->windowTitle(), QStringLiteral("변환 중"));
        auto* shown = window->findChild<QLabel*>();
        EXPECT_EQ(shown->accessibleName(), QString::fromStdString(source));
        EXPECT_EQ(shown->toolTip(), QString::fromStdString(source));
        // A long path keeps its start and its end within the label's width.
        EXPECT_LE(shown->fontMetrics().horizontalAdvance(shown->text()), shown->width());
        EXPECT_TRUE(QString::fromStdString(source).startsWith(shown->text().left(4)));
        EXPECT_TRUE(QString::fromStdString(source).endsWith(shown->text().right(4)));
        EXPECT_EQ(shown->text() == QString::fromStdString(source), !c.elided);
        EXPECT_EQ(window->findChild<QProgressBar*>()->maximum(), c.barMaximum);
        EXPECT_EQ(window->findChild<QPushButton*>()->text(), QStringLiteral("취소"));
        EXPECT_TRUE(window->findChild<QPushButton*>()->isDefault());
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        SaveScreenshot(*window, c.screenshot);
        QTest::keyClick(window, Qt::Key_Escape);
    });
    user.start(20);
    RunWithProgressWindow(job, &owner);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(job.Cancelled());
    EXPECT_TRUE(job.Finished());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, ProgressWindow,
    testing::Values(
        WindowCase{"File", true, 9, false, 1000, "progress-window.png"},
        WindowCase{"LongName", true, 200, true, 1000, "progress-window-long.png"},
        WindowCase{"Device", false, 0, false, 0, "progress-window-busy.png"}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

} // namespace
