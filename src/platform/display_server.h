#pragma once

// The display server draws what the program sends it in its own time, and
// under load it may fall behind. Waits until it has carried out everything
// sent so far, so that a picture just painted is on screen. Returns at once
// where there is no server to ask (offscreen) or no way to ask it.
void waitForDisplayServer();
