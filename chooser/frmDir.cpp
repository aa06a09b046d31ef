#include "chooser/frmDir.h"
