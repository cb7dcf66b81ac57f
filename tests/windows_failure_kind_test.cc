#ifdef _WIN32
// The words a failed call of the system is reported with.
#include <gtest/gtest.h>

#include "app/failure_words.h"
#include "platform/platform.h"
#include "platform/windows/failure_kind.h"

namespace {

TEST(WindowsFailureKind, CommonErrorsHaveWords) {
  struct Case {
    unsigned long code;
    const char* words;
  } cases[] = {
      {123, "name refused: invalid characters"},  // invalid name
      {87, "name refused: invalid characters"},   // a device's name, say
      {32, "in use by another program"},          // sharing violation
      {5, "permission denied"},                   // access denied
      {3, "not found"},                           // path not found
      {206, "name too long"},
      {17, "on another drive"},
      {9999, "error 9999"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::FailureWords(platform::windows::OutcomeOf(c.code)), c.words)
        << c.code;
}

}  // namespace
#endif  // _WIN32
