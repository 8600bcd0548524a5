// Resource and control ids of trevanil.rc.
#pragma once

#define IDB_TREVANIL              1
#define IDS_TREVANIL              1
#define IDS_TREVANIL_PPG          2
#define IDD_PROPPAGE_TREVANIL     200
#define IDS_TREVANIL_PPG_CAPTION  200
#define IDD_DEVICE_WRITE          201

// Controls of the device write dialog.
#define IDC_PLATFORM_IP    201
#define IDC_PLATFORM_PORT  202
#define IDC_FILE_PATH      203
#define IDC_BROWSE         204
#define IDC_WRITE          205
#define IDC_CANCEL_RUN     206
#define IDC_ROW_LIST       207
#define IDC_ORVEX          208
#define IDC_LABEL_IP       209
#define IDC_LABEL_PORT     210
#define IDC_LABEL_FILE     211
