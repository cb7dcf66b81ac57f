#include "app/argument_parser.h"

#include <string_view>

#include "app/long_options.h"
#include "app/option_table.h"
#include "text/case.h"

namespace app {
namespace {

bool StartsWithToken(std::string_view text, const OptionToken& token) {
  if (text.size() < token.lower.size()) return false;
  for (std::size_t i = 0; i < token.lower.size(); ++i) {
    const char c = token.case_blind ? text::AsciiLower(text[i]) : text[i];
    if (c != token.lower[i]) return false;
  }
  return true;
}

// Applies the tokens the argument is made of; false (and nothing applied)
// when some part of it is no token.
bool ApplyOptionTokens(std::string_view argument, RunOptions& options) {
  RunOptions found = options;
  while (!argument.empty()) {
    const OptionToken* match = nullptr;
    for (const OptionToken& token : kOptionTokens) {
      if (StartsWithToken(argument, token)) {
        match = &token;
        break;  // the table puts a longer token before its prefix
      }
    }
    if (!match) return false;
    match->set(found);
    argument.remove_prefix(match->lower.size());
  }
  options = found;
  return true;
}

bool IsHelpArgument(std::string_view a) {
  return a == "/h" || a == "/H" || a == "/?" || a == "--help" || a == "-h";
}

}  // namespace

Request ParseArguments(const std::vector<std::string>& arguments) {
  Request request;
  if (arguments.empty()) {
    request.help = true;
    return request;
  }
  bool options_ended = false;
  bool rename_options = false;  // an option that only a rename run takes
  LongOptions long_options;
  auto note = [&](const std::string& word) {
    if (!request.option_words.empty()) request.option_words += ' ';
    request.option_words += word;
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    // Dash options stand before the first operand: a file named "-n" in a
    // list from the shell is a file.
    const bool dash = argument.starts_with("-") && !options_ended &&
                      request.operands.empty();
    if (dash && argument != "--") request.dash_words.push_back(argument);
    // "--into", "--movies" or "--shows", alone or with "=DIR".
    const std::string_view option_word =
        std::string_view(argument).substr(0, argument.find('='));
    std::string* folder =
        dash ? FolderOption(option_word, long_options) : nullptr;
    if (dash && argument != "--" && argument != "--undo" &&
        argument != "--history" && argument != "--dry-run" &&
        argument != "-n" && !IsHelpArgument(argument) && !folder)
      note(argument.starts_with("--terms") ? std::string("--terms")
                                            : argument);
    if (dash && (argument == "--recursive" || argument.starts_with("--terms") ||
                 folder))
      rename_options = true;
    if (options_ended || (argument.starts_with("-") && !dash)) {
      request.operands.push_back(argument);
    } else if (argument == "--") {
      options_ended = true;
    } else if (IsHelpArgument(argument)) {
      request.help = true;
    } else if (argument == "-n") {
      long_options.dry_run = true;
    } else if (SetLongOption(argument, long_options)) {
    } else if (folder) {
      if (option_word.size() < argument.size()) {
        *folder = argument.substr(option_word.size() + 1);
      } else if (i + 1 < arguments.size()) {
        *folder = arguments[++i];
      }
      note(std::string(option_word) + " " + *folder);
      if (folder->empty() && request.usage_error.empty())
        request.usage_error =
            "namewisp: " + std::string(option_word) + " needs a folder";
    } else if (argument == "--terms" && i + 1 < arguments.size()) {
      request.terms_file = arguments[++i];
    } else if (argument == "--terms") {
      if (request.usage_error.empty())
        request.usage_error = "namewisp: --terms needs a file";
    } else if (argument.starts_with("--terms=")) {
      request.terms_file = argument.substr(8);
    } else if (argument.starts_with("-")) {
      if (request.usage_error.empty()) {
        request.usage_error = "namewisp: unknown option \"" + argument +
                              "\" (namewisp --help lists the options)";
      }
    } else if (ApplyOptionTokens(argument, request.options)) {
      note(argument);
      rename_options = true;
    } else {
      request.operands.push_back(argument);
    }
  }
  request.help = request.help || long_options.help;
  request.version = long_options.version;
  request.undo = long_options.undo;
  request.history = long_options.history;
  request.dry_run = long_options.dry_run;
  request.options.keep_history = !long_options.no_history;
  if (long_options.recursive) request.options.recursive = true;
  SetLibrary(long_options, request);
  if (!request.usage_error.empty()) return request;
  if (request.version || request.help) return request;
  if (request.undo && request.history) {
    request.usage_error = "namewisp: --undo and --history go alone";
    return request;
  }
  if (request.undo || request.history) {
    const char* what = request.undo ? "--undo" : "--history";
    if (rename_options || long_options.no_history) {
      request.usage_error = std::string("namewisp: ") + what +
                            " takes no rename options";
    } else if (request.history && !request.operands.empty()) {
      request.usage_error = "namewisp: --history takes no file pattern";
    } else if (request.operands.size() > 1) {
      request.usage_error =
          "namewisp: --undo takes one run (an ID from --history) at most";
    } else if (request.undo && !request.operands.empty()) {
      request.undo_id = request.operands[0];
      request.operands.clear();
    }
    return request;
  }
  if (request.operands.empty()) {
    request.usage_error =
        "namewisp: no file pattern given (namewisp --help shows how to use "
        "it)";
  }
  return request;
}

}  // namespace app
