// The module's one login dialog and the registry's way to reach it.
#include "dlg_login.h"

CDlgLogin g_dlgLogin;

ILoginPrompt& ModuleLoginPrompt() { return g_dlgLogin; }
