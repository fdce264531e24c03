#include "engine/Search.h"
