#pragma once

#include <QDialog>

class CProgressJob;
class QProgressBar;

// The window of a long job, built from its template: the source's name,
// the bytes read against its size (a busy bar when it has none) and "취소".
// Escape, the close box and the button cancel the job; the window stays
// until the job has stopped.
class CProgressWindow : public QDialog
{
public:
    CProgressWindow(CProgressJob& job, QWidget* owner);

    // Moves the bar to where the job stands.
    void Refresh();
    void reject() override;

private:
    CProgressJob& m_job;
    QProgressBar* m_pBar = nullptr;
};

// Runs the job on its own thread and returns when it has ended, keeping the
// owner's events flowing; the progress window shows, modal, once the job's
// delay has passed. Until then the user's input waits.
void RunWithProgressWindow(CProgressJob& job, QWidget* owner);
