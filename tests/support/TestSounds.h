#pragma once
// Every test program plays its sounds into a recording fake instead of a
// sound device, and runs each test with a settings folder of its own
// (XDG_CONFIG_HOME points at a fresh temporary folder), so no test touches
// the user's settings or speakers and no test sees another one's settings.

#include "support/RecordingSoundOutput.h"

// The sounds the program's players asked for during the current test.
SoundLog &TestSoundLog();

// The settings folder of the current test (XDG_CONFIG_HOME).
QString TestConfigHome();

// Called once by the test programs' main, after GoogleTest is initialised.
void InstallTestIsolation();
