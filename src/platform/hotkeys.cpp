#include "platform/hotkeys.h"

#include <algorithm>

void ManualHotkeys::registerAll() {
    if (registered)
        return;
    registered = true;
    ++registrations;
}

void ManualHotkeys::releaseAll() {
    if (!registered)
        return;
    registered = false;
    ++releases;
}

bool ManualHotkeys::press(int id) {
    if (!registered || std::find(kKeys.begin(), kKeys.end(), id) == kKeys.end())
        return false;
    Q_EMIT hotkey(id);
    return true;
}
