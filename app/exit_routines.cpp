#include "app/exit_routines.h"

#include <utility>
#include <vector>

namespace brenvik {
namespace {

std::vector<ExitRoutine>& Routines() {
    static std::vector<ExitRoutine> routines;
    return routines;
}

}  // namespace

void RegisterExitRoutine(ExitRoutine routine) { Routines().push_back(routine); }

void RunExitRoutines() {
    std::vector<ExitRoutine> routines = std::exchange(Routines(), {});
    for (ExitRoutine routine : routines) routine();
}

}  // namespace brenvik
