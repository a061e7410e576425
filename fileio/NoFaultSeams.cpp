#include "FaultSeams.h"

// The shipped answers: no fault is ever injected.

int TakeReadFault()
{
    return 0;
}

int TakeWriteFault()
{
    return 0;
}

#ifndef _WIN32
int AttributeCopyFault(const char*)
{
    return 0;
}
#else
ReplaceFileCall ReplaceFileStandIn()
{
    return nullptr;
}
#endif
