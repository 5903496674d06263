#include "kernel/api/app_handle.h"

CApplication* ZXSg_pApplication = nullptr;
