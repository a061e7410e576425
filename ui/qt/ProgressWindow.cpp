#include "ProgressWindow.h"

#include "DialogBuilder.h"
#include "DialogTemplates.h"
#include "ProgressJob.h"
#include "QtText.h"
#include "ResourceIds.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <chrono>

namespace {

// How often the bar moves and the job's end is noticed; well inside the
// time a cancel may take.
constexpr int kRefreshMilliseconds = 50;

} // namespace

CProgressWindow::CProgressWindow(CProgressJob& job, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_job(job)
{
    const auto controls = BuildDialog(*this, ProgressWindowTemplate());
    m_pBar = qobject_cast<QProgressBar*>(controls.at(IDC_PROGRESS_BAR));
    setWindowModality(Qt::ApplicationModal);

    auto* source = qobject_cast<QLabel*>(controls.at(IDC_PROGRESS_SOURCE));
    const QString path = ToQString(job.SourcePath());
    source->setText(source->fontMetrics().elidedText(path, Qt::ElideMiddle, source->width()));
    // A long path is cut in its middle; the whole of it is a hover away.
    source->setToolTip(path);
    source->setAccessibleName(path);
    connect(qobject_cast<QPushButton*>(controls.at(IDCANCEL)), &QPushButton::clicked, this, &CProgressWindow::reject);
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
