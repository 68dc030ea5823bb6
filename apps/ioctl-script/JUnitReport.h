// A JUnit XML report of a scenario run, so that CI systems show the result.
#pragma once

#include "Runner.h"

namespace Scenario {

// One test case per expectation; a script error is one failing case.
bool writeJUnit(const QString& file, const QString& scriptName, const std::vector<Expectation>& expectations,
                const QString& scriptError, double seconds);

}  // namespace Scenario
