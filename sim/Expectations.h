// The scenario's `expect` steps: a package author's assertions on what the
// simulated IDE holds and what it has shown so far. One regular form,
//   expect <subject> <selector...> [<property> <value>]
// where a subject (a menu item, a toolbar, a toolbar control, debugger
// lines, message boxes, a package) selects the objects it finds, and the
// step passes when one of them has the value. Without a property the step
// asks that one exists; `exists true|false` and `count <n>` work on every
// subject. Expected texts may hold `*` for any run of characters.
#pragma once

#include <string_view>

namespace tvx::sim {

class ScenarioRunner;
class SimulatedIde;
struct Report;

// The report is read for the packages' outcomes as the loader reports them.
void RegisterExpectations(ScenarioRunner& runner, SimulatedIde& ide, const Report& report);

// Whether the text matches the pattern, where `*` matches any run of
// characters (none included) and every other character itself.
bool MatchesPattern(std::string_view pattern, std::string_view text) noexcept;

} // namespace tvx::sim
