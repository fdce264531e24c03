#include "control/ToolCommands.h"

#include <cctype>
#include <cstring>

char AccessKey(const char* caption) {
    const char* marker = std::strchr(caption, '&');
    return marker && marker[1] ? char(std::toupper(static_cast<unsigned char>(marker[1]))) : '\0';
}
