// CTrevanilPropPage: the control's property page (dialog 200, caption "General"). The
// control has no properties of its own, so the page is empty.
#pragma once
#include "activex/property_page.h"

class CTrevanilPropPage : public activex::PropertyPage {
public:
    CTrevanilPropPage();  // made by activex::CreateObject
};
