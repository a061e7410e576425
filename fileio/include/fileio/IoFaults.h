#pragma once

// Seams for tests, in the test programs only (those whose MORVEX_FAULT_SEAMS
// property is on): the n-th read (or write) of file data from now on, with
// 1 the next one, fails with the given error number, as a failing disk
// would. A count of 0 clears it.
void FailNthRead(int nth, int errorNumber);
void FailNthWrite(int nth, int errorNumber);

#ifndef _WIN32
// Setting the extended attribute of that name on a replacement fails with the
// given error number, as on a file system that keeps another kind of access
// list; an empty name clears it.
void FailAttributeCopy(const char* name, int errorNumber);
#else
// While set, stands in for ReplaceFileW(replaced, replacement, backup), so
// that a test can fail it as the system does, after what the system had done
// by then (wine never fails it half way); null puts the system's back.
using ReplaceFileCall = int (*)(const wchar_t* replaced, const wchar_t* replacement, const wchar_t* backup);
void UseReplaceFile(ReplaceFileCall call);
#endif
