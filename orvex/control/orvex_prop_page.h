// COrvexPropPage: the control's property page (dialog 200, caption "常规"). The control
// has no properties of its own, so the page shows one placeholder text.
#pragma once
#include "activex/property_page.h"

class COrvexPropPage : public activex::PropertyPage {
public:
    COrvexPropPage();  // made by activex::CreateObject
};
