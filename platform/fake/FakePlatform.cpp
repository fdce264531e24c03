#include "platform/fake/FakePlatform.h"
