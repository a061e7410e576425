#include "FaultSeams.h"

#include <atomic>
#include <string>

namespace {

struct CInjectedFault
{
    std::atomic<int> countdown{0};
    std::atomic<int> error{0};
};

CInjectedFault g_readFault;
CInjectedFault g_writeFault;

int Take(CInjectedFault& fault)
{
    if (fault.countdown.load(std::memory_order_relaxed) == 0)
        return 0;
    return fault.countdown.fetch_sub(1) == 1 ? fault.error.load() : 0;
}

void Inject(CInjectedFault& fault, int nth, int errorNumber)
{
    fault.error = errorNumber;
    fault.countdown = nth;
}

} // namespace

int TakeReadFault()
{
    return Take(g_readFault);
}

int TakeWriteFault()
{
    return Take(g_writeFault);
}

void FailNthRead(int nth, int errorNumber)
{
    Inject(g_readFault, nth, errorNumber);
}

void FailNthWrite(int nth, int errorNumber)
{
    Inject(g_writeFault, nth, errorNumber);
}

#ifndef _WIN32
namespace {

struct CAttributeFault
{
    std::string name;
    int error = 0;
};

CAttributeFault g_attributeFault;

} // namespace

int AttributeCopyFault(const char* name)
{
    return !g_attributeFault.name.empty() && g_attributeFault.name == name ? g_attributeFault.error : 0;
}

void FailAttributeCopy(const char* name, int errorNumber)
{
    g_attributeFault = {name, errorNumber};
}
#else
namespace {

ReplaceFileCall g_replaceFile = nullptr;

} // namespace

ReplaceFileCall ReplaceFileStandIn()
{
    return g_replaceFile;
}

void UseReplaceFile(ReplaceFileCall call)
{
    g_replaceFile = call;
}
#endif
