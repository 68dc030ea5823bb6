// A JUnit XML report of a scenario run, so that CI systems show the result.
#pragma once

#include "Runner.h"

namespace Scenario {

// One test case per expectation; a script error is one failing case. False,
// with the reason in why, when the file cannot be written.
bool writeJUnit(const QString& file, const QString& scriptName, const std::vector<Expectation>& expectations,
                const QString& scriptError, double seconds, QString& why);

}  // namespace Scenario
