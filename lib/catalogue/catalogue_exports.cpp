#include "korvid.h"
