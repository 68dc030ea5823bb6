// The commands of the scenario language, checked before a script runs and
// dispatched while it runs, from one table.
#include "Runner.h"

namespace Scenario {

const std::vector<Runner::CommandRule>& Runner::commandTable()
{
    static const std::vector<CommandRule> table = {
        {"vehicle", 1, 1, &Runner::vehicle}, {"link", 1, 1, &Runner::link},
        {"install", 1, 1, &Runner::install}, {"language", 1, 1, &Runner::language},
        {"init", 0, 1, &Runner::init},       {"session", 0, 0, &Runner::session},
        {"size", 2, 2, &Runner::size},       {"click", 1, 3, &Runner::click},
        {"option", 1, 1, &Runner::option},   {"monitor", 1, 1, &Runner::monitor},
        {"set", 2, 3, &Runner::set},         {"abort", 0, 0, &Runner::abort},
        {"step", 1, 2, &Runner::step},       {"tick", 0, 1, &Runner::ticks},
        {"wait", 1, 2, &Runner::waitFor},    {"until", 1, 4, &Runner::untilIdle},
        {"fault", 1, 8, &Runner::fault},     {"print", 1, -1, &Runner::print},
        {"expect", 2, -1, &Runner::expect},  {"screenshot", 1, 2, &Runner::screenshot},
        {"show", 0, 1, &Runner::show},       {"leave", 1, 1, &Runner::leave},
    };
    return table;
}

const Runner::CommandRule* Runner::findCommand(const QString& name)
{
    for (const auto& rule : commandTable()) {
        if (name == QLatin1String(rule.name)) return &rule;
    }
    return nullptr;
}

}  // namespace Scenario
