#include "control/MouseCtrl.h"
