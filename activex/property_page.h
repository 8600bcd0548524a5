// A property page made of one dialog resource that exchanges no properties.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <vector>
#include "com_object.h"
#include "raii.h"

namespace activex {

struct PropertyPageInfo {
    HMODULE (*module)();
    int dialogId;
    int titleStringId;
    SIZE sizeInDialogUnits;
};

// A module's page derives from it with its PropertyPageInfo and is made with
// CreateObject<CMyPage>.
class PropertyPage : public Implements<PropertyPage, IPropertyPage> {
public:
    explicit PropertyPage(const PropertyPageInfo& info) : m_info(info) {}
    ~PropertyPage() override;

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT cmdShow) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override { return S_FALSE; }
    STDMETHODIMP Apply() override { return S_OK; }
    STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
    const PropertyPageInfo& m_info;
    ComPtr<IPropertyPageSite> m_site;
    std::vector<ComPtr<IUnknown>> m_objects;
    HWND m_hwnd = nullptr;
};

} // namespace activex
