#include "trevanil_prop_page.h"

#include "trevanil_module.h"
#include "trevanil_resource.h"

namespace {
const activex::PropertyPageInfo kPageInfo = {&TrevanilModuleHandle, IDD_PROPPAGE_TREVANIL, IDS_TREVANIL_PPG_CAPTION,
                                             {250, 62}};
}

CTrevanilPropPage::CTrevanilPropPage() : PropertyPage(kPageInfo) {}
