#include "model/MouseObj.h"
