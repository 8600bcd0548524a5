#include "orvex_prop_page.h"

#include "activex/property_page.h"
#include "orvex_module.h"
#include "orvex_resource.h"

namespace {
const activex::PropertyPageInfo kPageInfo = {&OrvexModuleHandle, IDD_PROPPAGE_ORVEX, IDS_ORVEX_PPG_CAPTION,
                                             {250, 62}};
}

HRESULT COrvexPropPage::Create(REFIID iid, void** out)
{
    return activex::CreateComObject<activex::PropertyPage>(iid, out, kPageInfo);
}
