#include "orvex_prop_page.h"

#include "orvex_module.h"
#include "orvex_resource.h"

namespace {
const activex::PropertyPageInfo kPageInfo = {&OrvexModuleHandle, IDD_PROPPAGE_ORVEX, IDS_ORVEX_PPG_CAPTION,
                                             {250, 62}};
}

COrvexPropPage::COrvexPropPage() : PropertyPage(kPageInfo) {}
