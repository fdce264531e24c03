#include "engine/BitmapData.h"
