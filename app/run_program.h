#pragma once

#include <functional>

namespace orvane {

// The whole program: the application object, the checks of the platform, the
// window and the event loop; returns the exit code. `firstShown`, when given,
// is called once, as soon as the window has painted for the first time.
int runProgram(int argc, char *argv[], std::function<void()> firstShown = {});

} // namespace orvane
