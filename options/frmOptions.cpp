#include "options/frmOptions.h"
