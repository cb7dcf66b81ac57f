// The cleaning of one name, on arbitrary bytes and with every combination of
// options ("/v" with and without "/m"), as a file's name and as a directory's: no crash, no sanitizer
// report, and each stage keeps its promise.  The bytes are also read as a
// terms file, whose terms are then removed from the name's stem, and as a
// download folder's listing, planned as a library takes it.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/check.h"
#include "fuzz/plain_utf8.h"
#include "rules/case_rule.h"
#include "rules/clean_name.h"
#include "rules/download_folder.h"
#include "rules/download_in_progress.h"
#include "rules/episode_rule.h"
#include "rules/release_name.h"
#include "rules/stem_cleanup.h"
#include "rules/subtitle_suffix.h"
#include "rules/term_removal.h"
#include "rules/user_terms.h"
#include "rules/year_rule.h"
#include "text/case.h"
#include "text/unicode_case.h"

namespace {

bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

void CheckCleanStem(std::string_view stem) {
  FUZZ_CHECK(stem.empty() || (stem.front() != ' ' && stem.back() != ' '));
  FUZZ_CHECK(!Has(stem, "  "));
  FUZZ_CHECK(stem.find_first_of("._[]") == std::string_view::npos);
}

// Names are the file system's UTF-8 bytes here: a valid name stays valid.
void CheckCaseRule(const std::string& before, const std::string& after) {
  FUZZ_CHECK(after.size() == before.size());
  if (fuzz::IsValidUtf8(before)) FUZZ_CHECK(fuzz::IsValidUtf8(after));
}

// The brackets that no other closes or opens: the rules never add to them.
std::size_t Unbalanced(std::string_view text) {
  std::size_t open = 0, stray = 0;
  for (char c : text) {
    if (c == '(') ++open;
    if (c == ')') open > 0 ? --open : ++stray;
  }
  return open + stray;
}

// A second run changes nothing, and no bracket is left open or unopened.
void CheckYearRule(const std::string& before, const rules::YearResult& after,
                   int highest_year) {
  FUZZ_CHECK(after.changed == (after.stem != before));
  if (!after.changed) return;
  FUZZ_CHECK(Unbalanced(after.stem) <= Unbalanced(before));
  FUZZ_CHECK(!rules::ApplyYearRule(after.stem, highest_year).changed);
}

// The word the year rule cuts at: that of the last year or date of year,
// month and day, or the year of a date in another order; null for none.
const char* YearCut(const rules::ReleaseName& r, std::size_t& mark) {
  for (mark = r.mark_count; mark-- > 0;) {
    const rules::Mark& m = r.marks[mark];
    if (m.kind == rules::MarkKind::kYear ||
        (m.kind == rules::MarkKind::kDate && m.date_form == 0))
      return r.words.at[m.at].data();
    if (m.kind == rules::MarkKind::kDate && m.date_form == 1)
      return r.words.at[m.year_at].data();
  }
  return nullptr;
}

// The year rule reads from where YearReadingStart says: the same year, and
// the same marks after it, as a reading of every word.
void CheckYearReadingStart(const std::string& stem, int highest_year) {
  const std::size_t from = rules::YearReadingStart(stem, highest_year);
  const rules::ReleaseName all = rules::ReadMarks(stem, highest_year);
  if (all.mark_count == rules::kMaxMarks) return;  // the whole reading stopped early
  std::size_t k = 0, j = 0;
  const char* const cut = YearCut(all, k);
  if (from == std::string::npos) {
    FUZZ_CHECK(cut == nullptr);
    return;
  }
  const rules::ReleaseName part =
      rules::ReadMarks(std::string_view(stem).substr(from), highest_year);
  FUZZ_CHECK(YearCut(part, j) == cut);
  if (cut == nullptr) return;
  // Anime numbers and dates in one word, which the rule does not keep, may
  // depend on the words before (a name that a bracket opens).
  auto next = [](const rules::ReleaseName& r, std::size_t& i) {
    while (++i < r.mark_count && (r.marks[i].kind == rules::MarkKind::kAnime ||
                                  (r.marks[i].kind == rules::MarkKind::kDate &&
                                   r.marks[i].date_form >= 2))) {
    }
  };
  for (next(all, k), next(part, j); k < all.mark_count || j < part.mark_count;
       next(all, k), next(part, j)) {
    FUZZ_CHECK(k < all.mark_count && j < part.mark_count);
    FUZZ_CHECK(all.words.at[all.marks[k].at].data() ==
                   part.words.at[part.marks[j].at].data() &&
               all.marks[k].kind == part.marks[j].kind &&
               all.marks[k].words == part.marks[j].words);
  }
}

// The words before the marker stay as they were, and the rule is done with
// its result.
void CheckEpisodeRule(const std::string& before,
                      const rules::EpisodeResult& after, int highest_year) {
  FUZZ_CHECK(after.changed == (after.stem != before));
  // The quick refusal refuses only stems whose reading finds no mark the
  // rule cuts at.
  if (!rules::MayHoldEpisode(before, highest_year)) {
    const rules::ReleaseName r = rules::ReadMarks(before, highest_year);
    for (const rules::Mark& m : r.Marks()) {
      FUZZ_CHECK(m.at == 0 || (m.kind != rules::MarkKind::kEpisode &&
                               m.kind != rules::MarkKind::kDate &&
                               m.kind != rules::MarkKind::kSeason));
    }
  }
  if (!after.changed) return;
  const std::size_t space = after.stem.find(' ');
  FUZZ_CHECK(space != std::string::npos);
  FUZZ_CHECK(before.compare(0, space + 1, after.stem, 0, space + 1) == 0);
  FUZZ_CHECK(Unbalanced(after.stem) <= Unbalanced(before));
  FUZZ_CHECK(!rules::ApplyEpisodeRule(after.stem, highest_year).changed);
}

void CheckTermRemoval(const std::string& before, const rules::TermResult& after) {
  FUZZ_CHECK(after.changed == (after.stem != before));
  FUZZ_CHECK(after.stem.size() <= before.size());
  FUZZ_CHECK(before.empty() || !after.stem.empty());
  // The first word stays.
  FUZZ_CHECK(after.stem.substr(0, after.stem.find(' ')) ==
             before.substr(0, before.find(' ')) ||
             before.find_first_not_of(' ') != 0);
}

// The directory split cuts where the file split would, or nowhere; the
// extension it keeps is a plain one.
void CheckDirectorySplit(std::string_view name) {
  const rules::NameSplit split = rules::SplitDirectoryName(name);
  FUZZ_CHECK(split.stem.size() + split.extension.size() == name.size());
  FUZZ_CHECK(name.substr(0, split.stem.size()) == split.stem);
  if (split.extension.empty()) {
    FUZZ_CHECK(split.stem == name);
    return;
  }
  FUZZ_CHECK(split.extension == rules::SplitName(name).extension);
  if (split.stem.empty()) return;  // a hidden name: no stem, as for a file
  FUZZ_CHECK(split.extension.size() >= 2 && split.extension.size() <= 5);
  FUZZ_CHECK(rules::IsDirectoryExtension(split.extension.substr(1)));
}

// A terms file of any bytes: every term is one the file could write, every
// error names a line of it, and the terms keep the removal's promises.
void CheckTermsFile(std::string_view text, const std::string& stem) {
  const rules::TermsFile file = rules::ParseTermsFile(text);
  int lines = 1;
  for (char c : text) lines += c == '\n';
  int previous = 0;
  for (const rules::TermsFileError& error : file.errors) {
    FUZZ_CHECK(error.line > previous && error.line <= lines);
    FUZZ_CHECK(!error.problem.empty());
    previous = error.line;
  }
  for (const rules::UserTerm& term : file.terms.terms) {
    FUZZ_CHECK(!term.written.empty() && term.written.size() <= rules::kMaxUserTermBytes);
    FUZZ_CHECK(term.written.find_first_of(" \t#") == std::string::npos);
    FUZZ_CHECK(term.search.size() >= 2 && term.search[0] == ' ' && term.search[1] != ' ');
    FUZZ_CHECK(!Has(term.search, "  "));
    FUZZ_CHECK(term.prefix == (term.search.back() != ' '));
  }
  CheckTermRemoval(stem, rules::RemoveUserTerms(stem, file.terms));
}

const rules::UserTerms& SomeUserTerms() {
  static const rules::TermsFile file = rules::ParseTermsFile(
      "WEB-DL\nDDP5.1\n[MULTI]\nx265-*\nDD5.1*\nHDR\n2160p\nS01\n");
  return file.terms;
}

// The stages one by one, as CleanName runs them, then CleanName itself.
void CheckPipeline(std::string_view name, const rules::NameRules& options,
                   bool is_directory) {
  const rules::NameSplit split =
      is_directory ? rules::SplitDirectoryName(name) : rules::SplitFileName(name);
  // The split covers the name, but for a file's final period alone, which
  // goes.
  const bool final_period_goes = !is_directory && split.extension.empty() &&
                                 split.stem.size() + 1 == name.size() &&
                                 name.back() == '.';
  FUZZ_CHECK(final_period_goes ||
             split.stem.size() + split.extension.size() == name.size());
  FUZZ_CHECK(name.substr(0, split.stem.size()) == split.stem);
  // The periods that joined words, as CleanName reads them for /y and /e:
  // only where one may go on an episode's run.
  std::uint64_t joins = 0;
  std::string stem =
      rules::CleanStem(split.stem, rules::MayJoinEpisodeRun(split.stem) ? &joins : nullptr);
  CheckCleanStem(stem);
  if (options.from_upper || options.from_lower) {
    std::string cased =
        rules::ApplyCaseRule(stem, options.from_upper, options.from_lower,
                             *options.letter_case);
    CheckCaseRule(stem, cased);
    stem = std::move(cased);
  }
  if (options.year_rule) {
    CheckYearReadingStart(stem, options.highest_year);
    rules::YearResult year = rules::ApplyYearRule(stem, options.highest_year, &joins);
    CheckYearRule(stem, year, options.highest_year);
    stem = std::move(year.stem);
  }
  if (options.episode_rule) {
    rules::EpisodeResult episode =
        rules::ApplyEpisodeRule(stem, options.highest_year, &joins);
    CheckEpisodeRule(stem, episode, options.highest_year);
    stem = std::move(episode.stem);
    if (episode.changed && options.year_rule) {
      rules::YearResult year = rules::ApplyYearRule(stem, options.highest_year, &joins);
      CheckYearRule(stem, year, options.highest_year);
      stem = std::move(year.stem);
    }
  }
  if (options.term_rule) {
    rules::TermResult terms = rules::ApplyTermRemoval(stem);
    CheckTermRemoval(stem, terms);
    stem = std::move(terms.stem);
    if (options.user_terms) {
      rules::TermResult more = rules::RemoveUserTerms(stem, *options.user_terms);
      CheckTermRemoval(stem, more);
      stem = std::move(more.stem);
    }
  }
  const rules::CleanedName cleaned = rules::CleanName(name, options, is_directory);
  FUZZ_CHECK(cleaned.name == (stem.empty() ? "" : stem + std::string(split.extension)));
  // A listed name never becomes a path: no "/" or NUL appears, and it never
  // becomes "." or "..".
  FUZZ_CHECK(Has(name, "/") || !Has(cleaned.name, "/"));
  FUZZ_CHECK(Has(name, std::string_view("\0", 1)) ||
             !Has(cleaned.name, std::string_view("\0", 1)));
  FUZZ_CHECK(cleaned.name != "." && cleaned.name != "..");
}

// "/v", with "/m" and without, as a file's and a directory's name: no path
// made, and a second run changes nothing.
void CheckVideoRule(std::string_view name) {
  for (int bits = 0; bits < 4; ++bits) {
    rules::NameRules options;
    options.video_rule = true;
    options.from_upper = options.from_lower = bits & 1;
    options.highest_year = 2026;
    options.letter_case = &text::UnicodeCaseMapping();
    const bool is_directory = bits & 2;
    const rules::CleanedName once = rules::CleanName(name, options, is_directory);
    FUZZ_CHECK(Has(name, "/") || !Has(once.name, "/"));
    FUZZ_CHECK(once.name != "." && once.name != "..");
    if (once.name.empty()) continue;
    FUZZ_CHECK(rules::CleanName(once.name, options, is_directory).name == once.name);
  }
}

// The input as a download folder's listing, a file a line: "s" before a
// name puts it in the subtitle folder, "f" in a folder inside that, named
// up to the first "/".  Every file gets a place or the reason it has none,
// and no two get one name in one folder.
void CheckDownloadPlan(std::string_view input) {
  std::vector<rules::DownloadFile> files;
  std::set<std::string> listed;
  while (!input.empty() && files.size() < 64) {
    const std::size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? "" : input.substr(end + 1);
    rules::DownloadFile file;
    if (line.starts_with("s") || line.starts_with("f")) {
      file.in_subs = true;
      const bool inside = line.front() == 'f';
      line.remove_prefix(1);
      const std::size_t slash = line.find('/');
      if (inside && slash != std::string_view::npos) {
        file.subfolder = line.substr(0, slash);
        line.remove_prefix(slash + 1);
      }
    }
    // What no listing holds: an empty name, a path, one name twice.
    if (line.empty() || Has(line, "/") || Has(line, std::string_view("\0", 1)) ||
        line == "." || line == ".." ||
        !listed.insert(std::string(file.subfolder) + (file.in_subs ? "|s|" : "||") +
                       std::string(line))
             .second)
      continue;
    file.listed = line;
    files.push_back(file);
  }
  rules::NameRules options;
  options.video_rule = true;
  options.highest_year = 2026;
  options.letter_case = &text::UnicodeCaseMapping();
  for (rules::DownloadFile& file : files)
    file.cleaned = rules::ReadForPlan(file.listed, options);
  const std::string_view folder = files.empty() ? std::string_view() : files.front().listed;
  const std::vector<rules::DownloadPlace> places = rules::PlanDownload(
      folder, rules::ReadForPlan(folder, options, true), files, options);
  FUZZ_CHECK(places.size() == files.size());
  std::set<std::string> taken;
  for (const rules::DownloadPlace& place : places) {
    FUZZ_CHECK(!place.final_name.empty() || place.why != nullptr);
    if (place.final_name.empty()) continue;
    FUZZ_CHECK(!Has(place.final_name, "/") && !Has(place.own_name, "/"));
    FUZZ_CHECK(taken.insert(place.final_name + '/' + place.own_name).second);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  for (int highest_year : {rules::HighestValidYear(2019), 2100}) {
    for (int bits = 0; bits < 128; ++bits) {
      // Only combinations that can differ: user terms need the term rule,
      // the highest year the year rule; the later options (episode,
      // directory, user terms) are tried without the case rule, which only
      // changes letters that the fuzzer's input may change itself.
      if ((bits & 64) && !(bits & 8)) continue;
      if (highest_year == 2100 && !(bits & 4)) continue;
      if ((bits & (16 | 32 | 64)) && (bits & 3)) continue;
      rules::NameRules options;
      options.from_upper = bits & 1;
      options.from_lower = bits & 2;
      options.year_rule = bits & 4;
      options.term_rule = bits & 8;
      options.episode_rule = bits & 16;
      options.user_terms = (bits & 64) ? &SomeUserTerms() : nullptr;
      options.highest_year = highest_year;
      options.letter_case = &text::UnicodeCaseMapping();
      CheckPipeline(name, options, bits & 32);
    }
  }
  CheckDirectorySplit(name);
  CheckVideoRule(name);
  CheckDownloadPlan(name);
  CheckTermsFile(name, rules::CleanStem(rules::SplitName(name).stem));
  // A name in progress ends in one of the extensions, period included.
  FUZZ_CHECK(!rules::IsDownloadInProgress(name) || Has(name, "."));
  // The mixed form on the raw bytes too, not only on cleaned stems.
  CheckCaseRule(std::string(name),
                text::MixedForm(name, text::UnicodeCaseMapping()));
  return 0;
}
