#include "app/wx/ordinex_wx_app.h"

wxIMPLEMENT_APP(ordinex::COrdinexWxApp);
