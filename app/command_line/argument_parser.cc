#include "app/command_line/argument_parser.h"

#include <string_view>

#include "app/command_line/long_options.h"
#include "app/command_line/option_table.h"
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
  return a == "/h" || a == "/H" || a == "/?";
}

// The long option an argument is: its word or short form, or with a file or
// folder, "--into" alone or "--into=DIR".
const LongOption* ArgumentOption(std::string_view argument) {
  for (const LongOption& option : kLongOptions) {
    if (option.flag ? argument == option.word ||
                          (!option.alias.empty() && argument == option.alias)
                    : argument.substr(0, argument.find('=')) == option.word)
      return &option;
  }
  return nullptr;
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
    const LongOption* option = dash ? ArgumentOption(argument) : nullptr;
    if (options_ended || (argument.starts_with("-") && !dash)) {
      request.operands.push_back(argument);
    } else if (argument == "--") {
      options_ended = true;
    } else if (IsHelpArgument(argument)) {
      request.help = true;
    } else if (option && option->flag) {
      long_options.*(option->flag) = true;
      if (option->rename_only) note(std::string(option->word));
    } else if (option) {
      std::string& value = long_options.*(option->value);
      if (option->word.size() < argument.size()) {
        value = argument.substr(option->word.size() + 1);
      } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
      }
      // A folder is recorded with the run; a file's name is not.
      note(option->takes == LongOption::Value::kFolder ||
                   option->takes == LongOption::Value::kWord
               ? std::string(option->word) + " " + value
               : std::string(option->word));
      if (value.empty() && request.usage_error.empty())
        request.usage_error = MissingValueError(*option);
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
  ApplyLongOptions(long_options, request);
  rename_options = rename_options || RenameOptionGiven(long_options);
  if (!request.usage_error.empty()) return request;
  if (request.version || request.help) return request;
  if (request.undo || request.history) {
    const char* what = request.undo ? "--undo" : "--history";
    if (rename_options) {
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
