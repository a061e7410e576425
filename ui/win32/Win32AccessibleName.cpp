#include "Win32AccessibleName.h"

#include "Win32Text.h"

#include <initguid.h>
#include <oleacc.h>

void SetWin32AccessibleName(HWND control, std::string_view name)
{
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
            reinterpret_cast<void**>(&services))))
        return;
    const std::wstring wideName = ToWide(name);
    services->SetHwndPropStr(
        control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, wideName.c_str());
    services->Release();
}
