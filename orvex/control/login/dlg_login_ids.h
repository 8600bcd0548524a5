// Resource and control ids of the login dialog.
#pragma once

#define IDD_DLG_LOGIN      103
#define IDC_EDIT_USERNAME  201
#define IDC_EDIT_PASSWORD  202
#define IDC_EDIT_HTTPPORT  203
