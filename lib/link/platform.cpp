#include "link/platform.h"
