// The console as namewisp sees it: lines out, one question answered yes or
// no, and the room a line takes.  One side per system; tests use a fake.
#pragma once

#include <string_view>

namespace platform {

enum class Answer {
  kYes,
  kNo,
  kAll,   // yes to this question and to every one after it
  kQuit,  // no, and no more questions: the run stops renaming
};

class Console {
 public:
  virtual ~Console() = default;

  // Writes text to standard output; "\n" ends a line and is written as the
  // platform's line end.  Text may be held back until its line ends or a
  // question is asked, so that a line goes out in one write.  A failed write
  // is ignored: the renames matter more than their record.
  virtual void Print(std::string_view text) = 0;
  // Whether standard output is a terminal (a console window), which acts
  // on control bytes: names are shown escaped there.
  virtual bool IsTerminal() = 0;
  // Writes one line to standard error, at once.
  virtual void PrintError(std::string_view line) = 0;
  // The 1-based column in which the next printed character would stand.
  virtual int CursorColumn() = 0;
  // The width of the window in columns; a very large number without one.
  virtual int ScreenWidth() = 0;
  // How many columns the text takes on the screen.
  virtual int DisplayColumns(std::string_view text) = 0;
  // Prints the prompt and waits for one key press: "y" or "Y" is yes, "a"
  // or "A" all, "q" or "Q" quit, any other key no.  Without a keyboard the
  // answer is no, at once.  Where Ctrl+C interrupts (POSIX), it ends the
  // process instead of answering.  When standard output is no terminal but
  // the keyboard's terminal is at hand, shown (the prompt as a terminal may
  // show it) goes there too, and so does the rest of the line printed after
  // the answer, so that the user sees what is asked.
  virtual Answer Ask(std::string_view prompt, std::string_view shown = {}) = 0;
  // Writes text as it is to standard error where that is a terminal (the
  // console), else nothing: a line of progress that a carriage return
  // draws over.  Standard output held back stays held.
  virtual void ShowProgress(std::string_view text) { (void)text; }
};

}  // namespace platform
