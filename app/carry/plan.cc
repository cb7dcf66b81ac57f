#include "app/carry/plan.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace app {

void KeepWithVideos(std::vector<PlannedStep>& steps) {
  // Most plans hold no side file: nothing to look up.
  if (std::none_of(steps.begin(), steps.end(),
                   [](const PlannedStep& step) { return step.video; }))
    return;
  std::unordered_set<const platform::Entry*> planned;
  for (const PlannedStep& step : steps) planned.insert(step.entry);
  std::unordered_map<const platform::Entry*, std::vector<std::size_t>> sides;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].video && planned.count(steps[i].video)) {
      sides[steps[i].video].push_back(i);
      steps[i].follows = true;
    }
  }
  if (sides.empty()) return;
  std::vector<PlannedStep> ordered;
  ordered.reserve(steps.size());
  for (PlannedStep& step : steps) {
    if (step.follows) continue;
    const platform::Entry* entry = step.entry;
    ordered.push_back(std::move(step));
    if (auto at = sides.find(entry); at != sides.end())
      for (std::size_t i : at->second) ordered.push_back(std::move(steps[i]));
  }
  steps = std::move(ordered);
}

std::string Describe(const std::vector<PlannedStep>& steps,
                     const Library* library) {
  std::string out;
  for (const PlannedStep& step : steps) {
    out.append(*step.shown).append(step.entry->name).append(" ==> ");
    if (IntoOtherFolder(step.kind)) out.append(library->Shown(step.to));
    out.append(step.new_name);
    if (step.kind == StepKind::kLink) out.append(" (link)");
    if (step.kind == StepKind::kCopy) out.append(" (copy)");
    if (step.ask) out.append(" (asked)");
    if (step.follows) out.append(" (follows)");
    if (step.why_not) out.append(" [").append(step.why_not).append("]");
    out.push_back('\n');
  }
  return out;
}

std::string Describe(const RunPlan& plan, const Library* library) {
  std::string out;
  for (const PlanPart& part : plan.parts) out += Describe(part.steps, library);
  return out;
}

}  // namespace app
