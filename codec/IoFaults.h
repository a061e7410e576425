#pragma once

// A seam for tests: the n-th read (or write) of file data from now on, with
// 1 the next one, fails with the given error number, as a failing disk
// would. A count of 0 clears it. Checked once per chunk, so free when unused.
void FailNthRead(int nth, int errorNumber);
void FailNthWrite(int nth, int errorNumber);

// Setting the extended attribute of that name on a replacement fails with the
// given error number, as on a file system that keeps another kind of access
// list; an empty name clears it. POSIX systems only.
void FailAttributeCopy(const char* name, int errorNumber);
