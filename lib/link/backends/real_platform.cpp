#include "link/backends/real_platform.h"
