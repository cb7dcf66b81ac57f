// Entries per second through each rule and through the whole cleaning, over
// the messy-name corpus.  Each rule gets the input it sees in a real run: the
// output of the rules before it.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/corpus.h"
#include "rules/case_rule.h"
#include "rules/clean_name.h"
#include "rules/stem_cleanup.h"
#include "rules/term_removal.h"
#include "rules/year_rule.h"
#include "text/case.h"
#include "text/unicode_case.h"

namespace {

constexpr std::size_t kCorpusSize = 20000;
constexpr int kHighestYear = 2026;

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = bench::MessyNames(kCorpusSize);
  return names;
}

std::vector<std::string> Stems() {
  std::vector<std::string> stems;
  for (const std::string& name : Names())
    stems.push_back(rules::CleanStem(rules::SplitName(name).stem));
  return stems;
}

// Runs rule over every input once per iteration and counts the entries.
template <class Rule>
void RunOver(benchmark::State& state, const std::vector<std::string>& inputs,
             Rule rule) {
  for (auto _ : state) {
    for (const std::string& input : inputs) benchmark::DoNotOptimize(rule(input));
  }
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(inputs.size()));
}

void BM_StemCleanup(benchmark::State& state) {
  RunOver(state, Names(), [](const std::string& name) {
    return rules::CleanStem(rules::SplitName(name).stem);
  });
}

void BM_CaseRule(benchmark::State& state) {
  static const std::vector<std::string> stems = Stems();
  RunOver(state, stems, [](const std::string& stem) {
    return rules::ApplyCaseRule(stem, true, true, text::UnicodeCaseMapping());
  });
}

void BM_YearRule(benchmark::State& state) {
  static const std::vector<std::string> stems = Stems();
  RunOver(state, stems, [](const std::string& stem) {
    return rules::ApplyYearRule(stem, kHighestYear);
  });
}

void BM_TermRemoval(benchmark::State& state) {
  static const std::vector<std::string> stems = [] {
    std::vector<std::string> out;
    for (const std::string& stem : Stems())
      out.push_back(rules::ApplyYearRule(stem, kHighestYear).stem);
    return out;
  }();
  RunOver(state, stems, [](const std::string& stem) {
    return rules::ApplyTermRemoval(stem);
  });
}

void BM_LowerForm(benchmark::State& state) {
  RunOver(state, Names(),
          [](const std::string& name) { return text::AsciiLowerForm(name); });
}

rules::NameRules Rules(bool mixed_case) {
  rules::NameRules r;
  r.from_upper = r.from_lower = mixed_case;
  r.year_rule = r.term_rule = true;
  r.highest_year = kHighestYear;
  return r;
}

// "/m /y /k": every rule.
void BM_PipelineMYK(benchmark::State& state) {
  const rules::NameRules r = Rules(true);
  RunOver(state, Names(),
          [&r](const std::string& name) { return rules::CleanName(name, r); });
}

// "/y /k": the driver's run.
void BM_PipelineYK(benchmark::State& state) {
  const rules::NameRules r = Rules(false);
  RunOver(state, Names(),
          [&r](const std::string& name) { return rules::CleanName(name, r); });
}

// "/v": the library names, and with "/m" judged on them.
void BM_PipelineV(benchmark::State& state) {
  rules::NameRules r;
  r.video_rule = true;
  r.highest_year = kHighestYear;
  RunOver(state, Names(),
          [&r](const std::string& name) { return rules::CleanName(name, r); });
}

void BM_PipelineMV(benchmark::State& state) {
  rules::NameRules r = Rules(true);
  r.video_rule = true;
  r.letter_case = &text::UnicodeCaseMapping();
  RunOver(state, Names(),
          [&r](const std::string& name) { return rules::CleanName(name, r); });
}

// "/y /e /k".
void BM_PipelineYEK(benchmark::State& state) {
  rules::NameRules r = Rules(false);
  r.episode_rule = true;
  RunOver(state, Names(),
          [&r](const std::string& name) { return rules::CleanName(name, r); });
}

BENCHMARK(BM_StemCleanup);
BENCHMARK(BM_CaseRule);
BENCHMARK(BM_YearRule);
BENCHMARK(BM_TermRemoval);
BENCHMARK(BM_LowerForm);
BENCHMARK(BM_PipelineMYK);
BENCHMARK(BM_PipelineYK);
BENCHMARK(BM_PipelineYEK);
BENCHMARK(BM_PipelineV);
BENCHMARK(BM_PipelineMV);

}  // namespace

BENCHMARK_MAIN();
