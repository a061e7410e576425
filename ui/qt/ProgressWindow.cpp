#include "ProgressWindow.h"

#include "ProgressJob.h"
#include "QtText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

namespace {

constexpr char kCaption[] = "변환 중";
constexpr char kCancel[] = "취소";
constexpr int kWindowWidth = 360;
// How often the bar moves and the job's end is noticed; well inside the
// time a cancel may take.
constexpr int kRefreshMilliseconds = 50;

} // namespace

CProgressWindow::CProgressWindow(CProgressJob& job, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_job(job)
    , m_pBar(new QProgressBar(this))
{
    setWindowTitle(ToQString(kCaption));
    setWindowModality(Qt::ApplicationModal);
    if (owner)
        setFont(owner->font());
    setFixedWidth(kWindowWidth);

    auto* source = new QLabel(this);
    source->setText(source->fontMetrics().elidedText(ToQString(job.SourcePath()), Qt::ElideMiddle, kWindowWidth - 40));
    // A long path is cut in its middle; the whole of it is a hover away.
    source->setToolTip(ToQString(job.SourcePath()));
    source->setAccessibleName(source->toolTip());
    m_pBar->setTextVisible(false);
    auto* cancel = new QPushButton(ToQString(kCancel), this);
    cancel->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &CProgressWindow::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(m_pBar);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    Refresh();
}

void CProgressWindow::Refresh()
{
    const auto position = m_job.ProgressPosition();
    // A range of nothing makes the bar a busy one.
    m_pBar->setRange(0, position ? CProgressJob::kProgressScale : 0);
    m_pBar->setValue(position.value_or(0));
}

void CProgressWindow::reject()
{
    m_job.Cancel();
}

void RunWithProgressWindow(CProgressJob& job, QWidget* owner)
{
    job.Start();
    CProgressWindow window(job, owner);
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(kRefreshMilliseconds);
    while (!job.Finished()) {
        if (!window.isVisible() && job.ProgressWindowDue(std::chrono::milliseconds(clock.elapsed())))
            window.show();
        window.Refresh();
        const auto input = window.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        QCoreApplication::processEvents(input | QEventLoop::WaitForMoreEvents);
    }
    job.Wait();
}
