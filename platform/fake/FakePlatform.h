#pragma once

#include "platform/Platform.h"
