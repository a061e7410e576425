#pragma once

#include "fileio/IoFaults.h"

// Where the file layer asks whether a test wants it to fail as failing
// storage would. Programs get the answers of NoFaultSeams.cpp (never); test
// programs that ask for the seams (MORVEX_FAULT_SEAMS) get FaultSeams.cpp's,
// set through IoFaults.h. Asked once per chunk, file or replacement.

// The injected error number when this read (or write) of file data is the
// one it was meant for, else 0.
int TakeReadFault();
int TakeWriteFault();

#ifndef _WIN32
// The error number injected for setting the extended attribute of that name, else 0.
int AttributeCopyFault(const char* name);
#else
// The stand-in for ReplaceFileW that a test set, or null.
ReplaceFileCall ReplaceFileStandIn();
#endif
