// Resource ids of orvex.rc (the login dialog's ids are in login/dlg_login_ids.h).
#pragma once

#define IDD_ABOUTBOX_ORVEX   1
#define IDB_ORVEX            1
#define IDS_ORVEX            1
#define IDS_ORVEX_PPG        2
#define IDD_PROPPAGE_ORVEX   200
#define IDS_ORVEX_PPG_CAPTION 200
#define IDC_ABOUT_ICON_TEXT  1000
