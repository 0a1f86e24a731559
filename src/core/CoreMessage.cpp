#include "CoreMessage.h"

namespace tarvo {

extern "C" int CoreMessage(void* user, int code, void* first, int second) {
    return user ? static_cast<ICoreListener*>(user)->OnCoreMessage(code, first, second) : 0;
}

} // namespace tarvo
