#include "app/Icons.h"
