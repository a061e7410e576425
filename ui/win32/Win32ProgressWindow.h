#pragma once

#include "Win32Desktop.h"

#include <windows.h>

class CProgressJob;

// Runs the job on its own thread and returns when it has ended. The owner is
// disabled meanwhile, as under a modal dialog, and keeps repainting; once the
// job's delay has passed the progress window shows: the source's name, the
// bytes read against its size (a busy bar when it has none) and "취소".
// Escape, the close box and the button cancel the job.
void RunWin32ProgressWindow(CProgressJob& job, const CWin32Desktop& desktop, HWND owner);
