#include "platform/hotkeys.h"

#include <algorithm>

void ManualHotkeys::registerAll() {
    if (m_registered)
        return;
    m_registered = true;
    ++registrations;
}

void ManualHotkeys::releaseAll() {
    if (!m_registered)
        return;
    m_registered = false;
    ++releases;
}

bool ManualHotkeys::press(int id) {
    if (!m_registered || std::find(kKeys.begin(), kKeys.end(), id) == kKeys.end() ||
        leftToFocus(id))
        return false;
    Q_EMIT hotkey(id);
    return true;
}
