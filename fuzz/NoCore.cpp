// The player's readers never call the core while reading; the game list's
// code still names the core's functions, so they exist here and do nothing.
#include "TarvoCore.h"

extern "C" {
void CoreInit(void*, CoreMessageCallback) {}
void CoreShutdown(void) {}
int CoreGetInt(int, int) {
    return 0;
}
const char* CoreGetString(int, int) {
    return "";
}
void CoreCommand(int, int) {}
void CoreSetOption(int, int) {}
}
