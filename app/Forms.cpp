#include "app/Forms.h"
