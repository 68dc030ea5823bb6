// One meaning for every program's exit status, so a script or a CI job can tell
// "the vehicle said no" from "the command line or a file was wrong".
#pragma once

namespace TavrinApps::ExitStatus {

constexpr int done = 0;     // everything asked was done and held
constexpr int failed = 1;   // an expectation, a check or a drive failed
constexpr int refused = 2;  // a usage, input or output error: the program did not do (all of) its work

// Ended by Ctrl+C, SIGTERM or SIGHUP after stopping what it drove, as shells count it.
constexpr int afterSignal(int signal)
{
    return 128 + signal;
}

// The lines each program's --help ends with.
inline constexpr const char* help =
    "Exit status: 0 done, 1 an expectation, check or drive failed, 2 a usage, input or output error,\n"
    "128+N ended by signal N (Ctrl+C, SIGTERM, SIGHUP) after stopping a driven device.";

}  // namespace TavrinApps::ExitStatus
