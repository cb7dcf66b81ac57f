// Prints the first COUNT names of the benchmark corpus, one a line, for the
// driver script to create as files.  With --table it prints instead the rows
// of tests/corpus_expected.inc: each name with what "/y /k" and "/m /y /k"
// make of it in this build (highest year 2026), to store results that later
// changes must keep.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/corpus.h"
#include "rules/clean_name.h"

namespace {

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string Cleaned(const std::string& name, bool mixed_case) {
  rules::NameRules r;
  r.from_upper = r.from_lower = mixed_case;
  r.year_rule = r.term_rule = true;
  r.highest_year = 2026;
  return rules::CleanName(name, r).name;
}

}  // namespace

int main(int argc, char** argv) {
  const bool table = argc == 3 && std::strcmp(argv[2], "--table") == 0;
  if ((argc != 2 && !table) || std::atol(argv[1]) <= 0) {
    std::fprintf(stderr, "usage: namewisp_corpus COUNT [--table]\n");
    return 2;
  }
  for (const std::string& name :
       bench::MessyNames(std::strtoul(argv[1], nullptr, 10))) {
    if (!table) {
      std::printf("%s\n", name.c_str());
      continue;
    }
    std::printf("{%s,\n %s,\n %s},\n", Quoted(name).c_str(),
                Quoted(Cleaned(name, false)).c_str(),
                Quoted(Cleaned(name, true)).c_str());
  }
  return 0;
}
