#include "rules/media_ids.h"

#include "rules/ascii.h"

namespace rules {

bool IsImdbId(std::string_view text) {
  if ((text.size() != 9 && text.size() != 10) || ascii::AsciiLower(text[0]) != 't' ||
      ascii::AsciiLower(text[1]) != 't')
    return false;
  for (std::size_t i = 2; i < text.size(); ++i) {
    if (!ascii::IsDigit(text[i])) return false;
  }
  return true;
}

namespace {

// The servers' tags for ids, by server and source: the bracket that opens
// it, the key, and the character between key and value.
struct IdForm {
  MediaServer server;
  IdSource source;
  char open, close;
  std::string_view key;
  char between;
};
constexpr IdForm kIdForms[] = {
    {MediaServer::kPlex, IdSource::kImdb, '{', '}', "imdb", '-'},
    {MediaServer::kPlex, IdSource::kTmdb, '{', '}', "tmdb", '-'},
    {MediaServer::kPlex, IdSource::kTvdb, '{', '}', "tvdb", '-'},
    {MediaServer::kJellyfin, IdSource::kImdb, '[', ']', "imdbid", '-'},
    {MediaServer::kJellyfin, IdSource::kTmdb, '[', ']', "tmdbid", '-'},
    {MediaServer::kJellyfin, IdSource::kTvdb, '[', ']', "tvdbid", '-'},
    {MediaServer::kEmby, IdSource::kImdb, '[', ']', "imdbid", '='},
    {MediaServer::kEmby, IdSource::kTmdb, '[', ']', "tmdbid", '='},
    {MediaServer::kEmby, IdSource::kTvdb, '[', ']', "tvdbid", '='},
};

constexpr std::string_view kSourceNames[] = {"IMDb", "TMDb", "TVDB"};

bool IsAlnum(char c) { return ascii::IsDigit(c) || ascii::IsLetter(c); }

bool IsNumberId(std::string_view text) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (!ascii::IsDigit(c)) return false;
  }
  return true;
}

bool IsOpen(char c) { return c == '[' || c == '(' || c == '{'; }

// A server's form that opens at name[at] ("{tmdb-603}", "[imdbid=tt...]",
// in any bracket and case): its source, value and length; 0 for none.
std::size_t ReadIdForm(std::string_view name, std::size_t at, IdSource& source,
                       std::string_view& value, const IdForm** form = nullptr) {
  // The longest form: "[imdbid=tt12345678]".
  constexpr std::size_t kLongestForm = 24;
  if (!IsOpen(name[at])) return 0;
  const std::size_t close = name.substr(0, at + kLongestForm).find_first_of("])}", at + 1);
  if (close == std::string_view::npos) return 0;
  const std::string_view inside = name.substr(at + 1, close - at - 1);
  const std::size_t sep = inside.find_first_of("-=");
  if (sep == std::string_view::npos) return 0;
  const std::string_view key = inside.substr(0, sep);
  for (const IdForm& f : kIdForms) {
    // Any server's key in any bracket: "{imdbid-...}" is read too.
    if (!ascii::EqualsFolded(key, f.key)) continue;
    source = f.source;
    value = inside.substr(sep + 1);
    if (source == IdSource::kImdb ? !IsImdbId(value) : !IsNumberId(value)) return 0;
    if (form) {
      *form = nullptr;
      for (const IdForm& exact : kIdForms) {
        if (exact.open == name[at] && exact.close == name[close] &&
            exact.between == inside[sep] && ascii::EqualsFolded(key, exact.key))
          *form = &exact;
      }
    }
    return close + 1 - at;
  }
  return 0;
}

}  // namespace

TitleId TitleIdOf(const MediaIds& ids, bool show) {
  const std::string& own = show ? ids.tvdb : ids.imdb;
  if (!own.empty()) return {show ? IdSource::kTvdb : IdSource::kImdb, own};
  return {IdSource::kTmdb, show ? ids.tmdb_show : ids.tmdb_movie};
}

void MediaIds::Add(IdSource source, bool show, std::string value) {
  std::string* field = nullptr;
  unsigned bit = 0;
  switch (source) {
    case IdSource::kImdb:
      if (show || !IsImdbId(value)) return;
      value[0] = value[1] = 't';
      field = &imdb;
      bit = 1;
      break;
    case IdSource::kTmdb:
      if (!IsNumberId(value)) return;
      field = show ? &tmdb_show : &tmdb_movie;
      bit = show ? 4 : 2;
      break;
    case IdSource::kTvdb:
      if (!show || !IsNumberId(value)) return;
      field = &tvdb;
      bit = 8;
      break;
  }
  if (contradicted & bit) return;
  if (field->empty()) {
    *field = std::move(value);
    return;
  }
  if (*field == value) return;
  std::string said = std::string(kSourceNames[static_cast<int>(source)]);
  if (source == IdSource::kTmdb) said += show ? " show" : " film";
  conflicts.push_back(said + " ids " + *field + " and " + value +
                      " contradict each other: neither is used");
  field->clear();
  contradicted |= bit;
}

void ReadIdsInName(std::string_view name, bool show, MediaIds& ids) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    IdSource source;
    std::string_view value;
    if (const std::size_t n = ReadIdForm(name, i, source, value); n > 0) {
      ids.Add(source, show, std::string(value));
      i += n - 1;
      continue;
    }
    // "tt0133093" as a word of its own: no letter or digit either side.
    if ((i > 0 && IsAlnum(name[i - 1])) || ascii::AsciiLower(name[i]) != 't') continue;
    std::size_t end = i + 2;
    while (end < name.size() && ascii::IsDigit(name[end])) ++end;
    if (end <= name.size() && IsImdbId(name.substr(i, end - i)) &&
        (end == name.size() || !IsAlnum(name[end])))
      ids.Add(IdSource::kImdb, show, std::string(name.substr(i, end - i)));
  }
}

std::string IdTag(MediaServer server, IdSource source, std::string_view value) {
  for (const IdForm& f : kIdForms) {
    if (f.server != server || f.source != source) continue;
    std::string tag(1, f.open);
    tag.append(f.key);
    tag.push_back(f.between);
    tag.append(value);
    tag.push_back(f.close);
    return tag;
  }
  return {};
}

std::optional<MediaServer> ServerOfName(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    IdSource source;
    std::string_view value;
    const IdForm* form = nullptr;
    if (ReadIdForm(name, i, source, value, &form) > 0 && form) return form->server;
    if (name[i] == '{' && ascii::StartsFolded(name.substr(i + 1), "edition-") &&
        name.find('}', i) != std::string_view::npos)
      return MediaServer::kPlex;
  }
  return std::nullopt;
}

std::string EditionTag(MediaServer server, std::string_view edition) {
  std::string tag = server == MediaServer::kPlex ? "{edition-" : "- ";
  for (char c : edition) {
    if (c != '{' && c != '}') tag.push_back(c);
  }
  if (server == MediaServer::kPlex) tag.push_back('}');
  return tag;
}

std::optional<MediaServer> ServerNamed(std::string_view word) {
  static constexpr std::pair<std::string_view, MediaServer> kNames[] = {
      {"plex", MediaServer::kPlex},
      {"jellyfin", MediaServer::kJellyfin},
      {"emby", MediaServer::kEmby},
  };
  for (const auto& [name, server] : kNames) {
    if (name.size() != word.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i)
      same = name[i] == (word[i] >= 'A' && word[i] <= 'Z' ? word[i] + 32 : word[i]);
    if (same) return server;
  }
  return std::nullopt;
}

}  // namespace rules
