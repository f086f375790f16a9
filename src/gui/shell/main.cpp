#include "gui/shell/ordinex_wx_app.h"

wxIMPLEMENT_APP(ordinex::COrdinexWxApp);
