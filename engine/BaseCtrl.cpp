#include "engine/BaseCtrl.h"
