#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "rules/clean_name.h"
#include "rules/term_removal.h"
#include "rules/user_terms.h"

namespace {

TEST(UserTerms, ParseTermsFile) {
  rules::TermsFile file = rules::ParseTermsFile(
      "\xEF\xBB\xBF# My terms\n"
      "WEB-DL\n"
      "  x265-*   # the group after it too\r\n"
      "\n"
      "\t\r\n"
      "DDP5.1\n"
      "[MULTI]\n"
      "Blu_Ray\n"
      "DD5.1*\n"
      "VOSTFR");  // no line end at the end
  ASSERT_TRUE(file.ok()) << file.errors[0].line << ": " << file.errors[0].problem;
  struct Want {
    const char* written;
    const char* search;
    bool prefix;
  } want[] = {
      {"WEB-DL", " web-dl ", false}, {"x265-*", " x265-", true},
      {"DDP5.1", " ddp5 1 ", false}, {"[MULTI]", " (multi) ", false},
      {"Blu_Ray", " blu ray ", false}, {"DD5.1*", " dd5 1", true},
      {"VOSTFR", " vostfr ", false},
  };
  ASSERT_EQ(file.terms.terms.size(), std::size(want));
  for (std::size_t i = 0; i < std::size(want); ++i) {
    EXPECT_EQ(file.terms.terms[i].written, want[i].written);
    EXPECT_EQ(file.terms.terms[i].search, want[i].search);
    EXPECT_EQ(file.terms.terms[i].prefix, want[i].prefix);
  }

  rules::TermsFile bad = rules::ParseTermsFile(
      "ok\n"
      "Blu Ray\n"
      "*\n"
      "a*b\n"
      "._\n" +
      std::string(65, 'x') + "\n" + std::string(64, 'y') + "\n" + "tab\there\n");
  struct Error {
    int line;
    const char* problem;
  } errors[] = {
      {2, "term with a space or tab (join its words with \".\" or \"_\", as in a "
          "release name)"},
      {3, "empty term"},
      {4, "\"*\" inside a term (only a final \"*\", for a prefix term)"},
      {5, "empty term"},
      {6, "term longer than 64 bytes"},
      {8, "term with a space or tab (join its words with \".\" or \"_\", as in a "
          "release name)"},
  };
  ASSERT_EQ(bad.errors.size(), std::size(errors));
  for (std::size_t i = 0; i < std::size(errors); ++i) {
    EXPECT_EQ(bad.errors[i].line, errors[i].line);
    EXPECT_EQ(bad.errors[i].problem, errors[i].problem);
  }
  EXPECT_EQ(bad.terms.terms.size(), 2u);  // "ok" and the 64 bytes of "y"

  // The example shipped in doc/ is a valid terms file.
  std::string path = __FILE__;
  path = path.substr(0, path.rfind("tests")) + "doc/terms.example";
  std::ifstream in(path, std::ios::binary);
  if (!in) GTEST_SKIP() << "no " << path << " here";
  std::stringstream text;
  text << in.rdbuf();
  rules::TermsFile example = rules::ParseTermsFile(text.str());
  EXPECT_TRUE(example.ok()) << example.errors[0].line << ": "
                            << example.errors[0].problem;
  EXPECT_GE(example.terms.terms.size(), 20u);
}

TEST(UserTerms, RemovedAfterTheTable) {
  rules::TermsFile file = rules::ParseTermsFile(
      "WEB-DL\nDDP5.1\n[MULTI]\nx265-*\nDD5.1*\nHDR\nhdr\nÉdition\nmovie\n");
  ASSERT_TRUE(file.ok());
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"Movie WEB-DL DDP5 1 x265-GRP", "Movie"},
      {"Movie web-dl ddp5 1", "Movie"},
      {"Movie (MULTI) Extra", "Movie Extra"},
      {"Movie MULTI", "Movie MULTI"},  // the term has its brackets
      {"Movie DD5 1ch Extra", "Movie Extra"},
      {"Movie DDP5 1ch", "Movie DDP5 1ch"},  // a whole term ends at its word
      {"Movie HDR HDR HDR", "Movie HDR"},  // one occurrence a line; two lines
      {"Movie HDR10", "Movie HDR10"},
      {"WEB-DL Movie", "WEB-DL"},  // the first word is never removed
      {"Movie Movie", "Movie"},
      {"Movie", "Movie"},
      {"", ""},
  };
#ifndef _WIN32
  // Case-blind beyond ASCII too, where names are UTF-8.
  EXPECT_EQ(rules::RemoveUserTerms("Movie ÉDITION x", file.terms).stem, "Movie x");
#endif
  for (const Case& c : cases) {
    rules::TermResult r = rules::RemoveUserTerms(c.in, file.terms);
    EXPECT_EQ(r.stem, c.out) << c.in;
    EXPECT_EQ(r.changed, std::string(c.in) != c.out) << c.in;
  }

  // In the pipeline: after the table's rows, which keep their own results.
  rules::NameRules k;
  k.term_rule = true;
  rules::NameRules ku = k;
  ku.user_terms = &file.terms;
  for (const char* name : {"Movie.XviD.WEB-DL.avi", "Movie.xvid.xvid.avi",
                           "Movie.DVDRip.x265-GRP.mkv", "Movie.HD.mkv"}) {
    const std::string builtin = rules::CleanName(name, k).name;
    const std::string both = rules::CleanName(name, ku).name;
    EXPECT_EQ(rules::RemoveUserTerms(builtin.substr(0, builtin.rfind('.')),
                                     file.terms).stem +
                  builtin.substr(builtin.rfind('.')),
              both)
        << name;
  }
  rules::CleanedName cleaned = rules::CleanName("Movie.XviD.WEB-DL.avi", ku);
  EXPECT_EQ(cleaned.name, "Movie.avi");
  EXPECT_TRUE(cleaned.terms_changed);
  cleaned = rules::CleanName("Movie.WEB-DL.avi", ku);
  EXPECT_EQ(cleaned.name, "Movie.avi");
  EXPECT_TRUE(cleaned.terms_changed);
  EXPECT_FALSE(rules::CleanName("Movie.WEB-DL.avi", k).terms_changed);
}

}  // namespace
