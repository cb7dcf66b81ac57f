// The fast rules must give what the plain ones gave: the corpus names against
// results stored before the rules were made fast, and the term removal
// against a plain implementation of its definition (each row in turn removes
// its first occurrence in the lower-case form).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "bench/corpus.h"
#include "rules/ascii.h"
#include "rules/clean_name.h"
#include "rules/release_name.h"
#include "rules/stem_cleanup.h"
#include "rules/term_removal.h"
#include "rules/term_table.h"
#include "rules/year_rule.h"
#ifndef _WIN32
#endif
#include "text/case.h"
#include "text/unicode_case.h"
#include "text/replace.h"

namespace {

struct Expected {
  const char* name;
  const char* year_terms;        // "/y /k"
  const char* case_year_terms;   // "/m /y /k"
};

const Expected kExpected[] = {
#include "tests/corpus_expected.inc"
};

rules::NameRules Rules(bool mixed_case) {
  rules::NameRules r;
  r.from_upper = r.from_lower = mixed_case;
  r.year_rule = r.term_rule = true;
  r.highest_year = 2026;
#ifndef _WIN32
  r.letter_case = &text::UnicodeCaseMapping();
#endif
  return r;
}

TEST(CorpusResults, SameAsStored) {
  ASSERT_EQ(std::size(kExpected), 2000u);
  // The stored names are the corpus's: the generator has not drifted.
  std::vector<std::string> names = bench::MessyNames(std::size(kExpected));
  for (std::size_t i = 0; i < std::size(kExpected); ++i) {
    const Expected& e = kExpected[i];
    ASSERT_EQ(names[i], e.name);
    EXPECT_EQ(rules::CleanName(e.name, Rules(false)).name, e.year_terms) << e.name;
#ifndef _WIN32
    // The stored results are those of the Unicode case mapping.
    EXPECT_EQ(rules::CleanName(e.name, Rules(true)).name, e.case_year_terms)
        << e.name;
#endif
  }
}

// Every run of spaces as one space, none at the ends.
std::string TidySpaces(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// The term removal by its definition: every row searched over the whole
// lower-case form, in order.
std::string PlainTermRemoval(const std::string& stem) {
  std::string working = stem + " ";
  std::string lower = text::AsciiLowerForm(working);
  for (std::string_view row : rules::kTermRows) {
    std::string term = " ";
    term += text::ReplaceAll(text::AsciiLowerForm(row), "_", " ");
    const bool prefix = term.back() == '*';
    if (prefix) {
      term.pop_back();
    } else {
      term.push_back(' ');
    }
    std::size_t at = lower.find(term);
    if (at == std::string::npos) continue;
    std::size_t from = at + 1;  // keep the space in front
    std::size_t to = prefix ? working.find(' ', from) : at + term.size() - 1;
    working.erase(from, to - from);
    lower.erase(from, to - from);
  }
  return TidySpaces(working);
}

// The stem cleanup by its definition: one whole-text rewrite per step.
std::string PlainCleanStem(std::string_view stem) {
  std::string s(stem);
  std::replace(s.begin(), s.end(), '[', '(');
  std::replace(s.begin(), s.end(), ']', ')');
  s = text::ReplaceAll(s, "(", " (");
  s = text::ReplaceAll(s, ")", ") ");
  std::replace(s.begin(), s.end(), '.', ' ');
  std::replace(s.begin(), s.end(), '_', ' ');
  s = TidySpaces(s);
  s = text::ReplaceAll(s, "( ", "(");
  return text::ReplaceAll(s, " )", ")");
}

TEST(CorpusResults, StemCleanupAsDefined) {
  std::vector<std::string> stems;
  for (const std::string& name : bench::MessyNames(10000))
    stems.emplace_back(rules::SplitName(name).stem);
  // Every short mix of the bytes the cleanup treats specially.
  const std::string_view alphabet = "a. _[]()\t";
  for (unsigned code = 0; code < 9u * 9 * 9 * 9 * 9; ++code) {
    std::string stem;
    for (unsigned c = code; c > 0; c /= 9) stem.push_back(alphabet[c % 9]);
    stems.push_back(stem);
  }
  for (const std::string& stem : stems)
    ASSERT_EQ(rules::CleanStem(stem), PlainCleanStem(stem)) << '"' << stem << '"';
}

// The year rule by its definition: split into words, try them from the last
// back to the second: a date, or a word of four digits in brackets or none;
// an unclosed bracket group before it goes from its first word; the first
// release marker, then the first sample word (also one glued on after a
// "-"), among the words after it stay behind it.
int PlainNumber(const std::string& w, std::size_t digits) {
  if (w.size() != digits) return -1;
  int value = 0;
  for (char c : w) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

rules::YearResult PlainYearRule(const std::string& stem, int highest_year) {
  std::vector<std::string> words = {""};
  for (char c : stem) {
    if (c == ' ') {
      words.emplace_back();
    } else {
      words.back().push_back(c);
    }
  }
  auto is_year = [&](const std::string& w) {
    const int v = PlainNumber(w, 4);
    return v >= rules::kLowestValidYear && v <= highest_year;
  };
  auto month_day = [](const std::string& m, const std::string& d) {
    const int month = PlainNumber(m, 2), day = PlainNumber(d, 2);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
  };
  for (std::size_t k = words.size() - 1; k >= 1; --k) {
    const std::string& w = words[k];
    std::string written;
    std::size_t last = k;  // the year's or date's last word
    if (is_year(w) && k + 2 < words.size() && month_day(words[k + 1], words[k + 2])) {
      written = w + '-' + words[k + 1] + '-' + words[k + 2];
      last = k + 2;
    } else if (w.size() == 5 && w[0] == '(' && is_year(w.substr(1)) &&
               k + 2 < words.size() && words[k + 2].size() == 3 &&
               words[k + 2][2] == ')' &&
               month_day(words[k + 1], words[k + 2].substr(0, 2))) {
      // One bracket group: "(2019 03 14)".
      written = w.substr(1) + '-' + words[k + 1] + '-' + words[k + 2].substr(0, 2);
      last = k + 2;
    } else if (w.size() == 12 && w[0] == '(' && w[11] == ')' && w[5] == '-' &&
               w[8] == '-' && is_year(w.substr(1, 4)) &&
               month_day(w.substr(6, 2), w.substr(9, 2))) {
      written = w.substr(1, 10);
    } else if (w.size() == 10 && w[4] == '-' && w[7] == '-' &&
               is_year(w.substr(0, 4)) && month_day(w.substr(5, 2), w.substr(8, 2))) {
      written = w;
    } else {
      const std::size_t from = w.find_first_not_of("()");
      if (from == std::string::npos) continue;
      const std::string year = w.substr(from, w.find_last_not_of("()") + 1 - from);
      if (!is_year(year)) continue;
      written = "(" + year + ")";
    }
    std::vector<std::size_t> open;  // the words of the unclosed "("
    for (std::size_t i = 0; i < k; ++i) {
      for (char c : words[i]) {
        if (c == '(') open.push_back(i);
        if (c == ')' && !open.empty()) open.pop_back();
      }
    }
    const std::size_t cut = open.empty() ? k : open.front();
    if (cut == 0) continue;
    std::string rebuilt;
    for (std::size_t i = 0; i < cut; ++i) rebuilt += words[i] + ' ';
    rebuilt += written;
    // The first season, episode or part mark: the grammar read at each
    // dropped word in turn.
    std::string dropped;
    for (std::size_t i = last + 1; i < words.size(); ++i) dropped += words[i] + ' ';
    const rules::StemWords rest = rules::SplitWords(dropped);
    for (std::size_t i = 0; i < rest.n; ++i) {
      const rules::Mark m = rules::ReadMark(rest, i, highest_year);
      if (m.kind == rules::MarkKind::kEpisode || m.kind == rules::MarkKind::kSeason ||
          m.kind == rules::MarkKind::kPart) {
        std::string marker;
        rules::AppendMark(m, rest, marker);
        rebuilt += ' ' + marker;
        break;
      }
    }
    for (std::size_t i = last + 1; i < words.size(); ++i) {
      std::string bare = words[i];
      std::erase(bare, '(');
      std::erase(bare, ')');
      bare = bare.substr(bare.rfind('-') + 1);  // "x264-GRP-sample"
      if (rules::ascii::EqualsFolded(bare, "sample") ||
          rules::ascii::EqualsFolded(bare, "trailer")) {
        rebuilt += ' ' + bare;
        break;
      }
    }
    return {rebuilt, rebuilt != stem};
  }
  return {stem, false};
}

TEST(CorpusResults, YearRuleAsDefined) {
  std::vector<std::string> stems;
  for (const std::string& name : bench::MessyNames(10000))
    stems.push_back(rules::CleanStem(rules::SplitName(name).stem));
  // Short mixes of spaces, brackets, digits and the other ways in to a number.
  const std::string_view alphabet = "a (2)0\t&H.";
  const std::string_view digits[] = {"1999", "2010", "2030", "7DA", "+2e3", "-2000"};
  for (unsigned code = 0; code < 11u * 11 * 11 * 11 * 11; ++code) {
    std::string stem;
    for (unsigned c = code; c > 0; c /= 11) {
      if (c % 11 == 10) {
        stem += digits[(code / 11) % std::size(digits)];
      } else {
        stem.push_back(alphabet[c % 11]);
      }
    }
    stems.push_back(stem);
  }
  // Years with release markers (and words that are none) after them.
  const std::string_view words[] = {
      "2010", "(1999)", "S01E02", "s1e2-03", "(S01E02E03)", "1x02", "1920x1080",
      "Part", "pt", "2", "IV)", "CD1", "cd", "Disc", "E05", "x",
      "03", "14", "2019-03-14", "Season", "S01", "(Sample)", "trailer", "(a",
      "x-SAMPLE"};
  // Every four of the first sixteen, every three of them all.
  for (unsigned code = 0; code < 16u * 16 * 16 * 16; ++code) {
    std::string stem = "A";
    for (unsigned c = code, n = 0; n < 4; c /= 16, ++n) {
      stem += ' ';
      stem += words[c % 16];
    }
    stems.push_back(stem);
  }
  constexpr unsigned kWords = std::size(words);
  for (unsigned code = 0; code < kWords * kWords * kWords; ++code) {
    std::string stem = "A";
    for (unsigned c = code, n = 0; n < 3; c /= kWords, ++n) {
      stem += ' ';
      stem += words[c % kWords];
    }
    stems.push_back(stem);
  }
  for (const std::string& stem : stems) {
    rules::YearResult got = rules::ApplyYearRule(stem, 2026);
    rules::YearResult want = PlainYearRule(stem, 2026);
    ASSERT_EQ(got.stem, want.stem) << '"' << stem << '"';
    ASSERT_EQ(got.changed, want.changed) << '"' << stem << '"';
  }
}

TEST(CorpusResults, TermRemovalAsDefined) {
  std::vector<std::string> stems;
  for (const std::string& name : bench::MessyNames(10000)) {
    stems.push_back(rules::ApplyYearRule(
        rules::CleanStem(rules::SplitName(name).stem), 2026).stem);
  }
  // Rows that only meet after others are cut, rows at both ends, doubled and
  // stray spaces, case and UTF-8 around them.
  for (const char* stem : {
           "Movie eztv xvid re", "Movie mvgroup hd forums x", "Movie  xvid",
           " Movie xvid ", "Movie xvid  ", "xvid", "xvid xvid", "a (eztv re)",
           "A WWW.ORG", "Movie xvid-", "Movie -xvid x264-", "a hd hd hd",
           "Ärger DVDRip-ÄÖ Büro", "Movie\txvid", "a bdrip bdrip bdrip",
           "a eztv re forums eztv re forum", "a HDTV-x (hdtv) hdtv",
           "a {1337X}-y", "a 720P-DHD 720p", "a dvdrip+", "  ", ""}) {
    stems.push_back(stem);
  }
  for (const std::string& stem : stems) {
    rules::TermResult got = rules::ApplyTermRemoval(stem);
    std::string want = PlainTermRemoval(stem);
    EXPECT_EQ(got.stem, want) << '"' << stem << '"';
    EXPECT_EQ(got.changed, want != stem) << '"' << stem << '"';
  }
}

}  // namespace
