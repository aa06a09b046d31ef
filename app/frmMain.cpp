#include "app/frmMain.h"
