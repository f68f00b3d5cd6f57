// A trace of the installer's start-up for developers: with the environment
// variable SETUP_STARTUP_TRACE set, each step writes the milliseconds since
// the first step and its name to standard error.
#pragma once

void StartupTrace(const char* step);
