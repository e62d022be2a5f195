#pragma once

// Runs the installer in its main window until the window is closed; the process's exit code. Needs
// a display (an X server named by DISPLAY); without one it says so and returns 1.
int RunWindowedInstall();
