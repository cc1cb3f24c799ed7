#include "platform/display_server.h"

void waitForDisplayServer() {}
