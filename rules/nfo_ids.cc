#include "rules/nfo_ids.h"

#include <string>

#include "rules/ascii.h"

namespace rules {
namespace {

// A byte a link is made of: printable ASCII but quotes and angle brackets.
bool IsLinkByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b > 0x20 && b < 0x7F && c != '"' && c != '\'' && c != '<' && c != '>' && c != '`';
}

// The digits at text[at], and only if no letter or digit follows them
// ("603-the-matrix" gives "603"; "603abc" nothing).
std::string_view DigitsAt(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && ascii::IsDigit(text[end])) ++end;
  if (end == at || (end < text.size() && ascii::IsLetter(text[end]))) return {};
  return text.substr(at, end - at);
}

// The link that begins at a host found at `at`: up to its first byte that
// no link holds, and no longer than a title's page's link ever is, so that
// a file of one long word is read once, not once a host.
std::string_view LinkAt(std::string_view text, std::size_t at) {
  constexpr std::size_t kLongestLink = 256;
  std::size_t end = at;
  while (end < text.size() && end - at < kLongestLink && IsLinkByte(text[end])) ++end;
  return text.substr(at, end - at);
}

// Every place the host's name stands in text; text is in lower case.
template <typename Visit>
void ForEachLink(std::string_view text, std::string_view host, Visit visit) {
  for (std::size_t at = text.find(host); at != std::string_view::npos;
       at = text.find(host, at + host.size())) {
    // The host's own name, not the end of another's ("notimdb.com").
    if (at > 0 && (ascii::IsLetter(text[at - 1]) || ascii::IsDigit(text[at - 1]) ||
                   text[at - 1] == '-'))
      continue;
    visit(LinkAt(text, at + host.size()));
  }
}

// "?tab=series&id=81189": the value of a query's parameter; "" for none.
std::string_view Parameter(std::string_view link, std::string_view name) {
  for (std::size_t at = link.find(name); at != std::string_view::npos;
       at = link.find(name, at + 1)) {
    // Its own name: after "?", "&", or "&amp;"'s ";".
    if (at == 0 || (link[at - 1] != '?' && link[at - 1] != '&' && link[at - 1] != ';'))
      continue;
    if (at + name.size() < link.size() && link[at + name.size()] == '=')
      return DigitsAt(link, at + name.size() + 1);
  }
  return {};
}

void ReadLinks(std::string_view text, bool show, MediaIds& ids) {
  // IMDb: imdb.com, www.imdb.com, m.imdb.com, imdb.de...: "/title/tt...".
  ForEachLink(text, "imdb.", [&](std::string_view link) {
    const std::size_t slash = link.find('/');
    if (slash == std::string_view::npos || link.substr(slash).find("/title/tt") != 0) return;
    std::string_view id = link.substr(slash + 7);
    std::size_t n = 2;
    while (n < id.size() && ascii::IsDigit(id[n])) ++n;
    if (n < id.size() && ascii::IsLetter(id[n])) return;
    ids.Add(IdSource::kImdb, show, std::string(id.substr(0, n)));
  });
  ForEachLink(text, "themoviedb.org/", [&](std::string_view link) {
    // A show's page in a film's download, or a film's in a show's, is
    // of the wrong kind.
    if (link.starts_with("movie/") && !show) {
      ids.Add(IdSource::kTmdb, false, std::string(DigitsAt(link, 6)));
    } else if (link.starts_with("tv/") && show) {
      ids.Add(IdSource::kTmdb, true, std::string(DigitsAt(link, 3)));
    }
  });
  ForEachLink(text, "thetvdb.com/", [&](std::string_view link) {
    std::string_view id = Parameter(link, "seriesid");
    // "?tab=series&id=": a series' page; "?tab=episode&...&id=" an
    // episode's, whose series is its "seriesid".
    if (id.empty() && link.find("tab=series") != std::string_view::npos)
      id = Parameter(link, "id");
    for (std::string_view path : {"series/", "dereferrer/series/"}) {
      if (id.empty() && link.starts_with(path)) {
        id = DigitsAt(link, path.size());
        // A slug that begins with digits ("series/24-legacy") is a name.
        if (path.size() + id.size() < link.size() && link[path.size() + id.size()] == '-')
          id = {};
      }
    }
    if (!id.empty()) ids.Add(IdSource::kTvdb, show, std::string(id));
  });
}

// The root that says whose the XML's ids are.
enum class Root { kNone, kMovie, kShow, kEpisode };

Root RootOf(std::string_view text) {
  constexpr struct {
    std::string_view tag;
    Root root;
  } kRoots[] = {{"<movie", Root::kMovie},
                {"<tvshow", Root::kShow},
                {"<episodedetails", Root::kEpisode}};
  std::size_t first = std::string_view::npos;
  Root root = Root::kNone;
  for (const auto& r : kRoots) {
    for (std::size_t at = text.find(r.tag); at != std::string_view::npos && at < first;
         at = text.find(r.tag, at + 1)) {
      const std::size_t after = at + r.tag.size();
      if (after < text.size() && (text[after] == '>' || text[after] == ' ' ||
                                  text[after] == '\t' || text[after] == '\r' ||
                                  text[after] == '\n')) {
        first = at;
        root = r.root;
        break;
      }
    }
  }
  return root;
}

// The value of an attribute in a tag's text ("type=\"imdb\""); "" for none.
std::string_view Attribute(std::string_view tag, std::string_view name) {
  for (std::size_t at = tag.find(name); at != std::string_view::npos;
       at = tag.find(name, at + 1)) {
    const std::size_t quote = at + name.size() + 1;
    if (at == 0 || (tag[at - 1] != ' ' && tag[at - 1] != '\t' && tag[at - 1] != '\n' &&
                    tag[at - 1] != '\r') ||
        quote >= tag.size() || tag[quote - 1] != '=' ||
        (tag[quote] != '"' && tag[quote] != '\''))
      continue;
    const std::size_t end = tag.find(tag[quote], quote + 1);
    if (end == std::string_view::npos) return {};
    return tag.substr(quote + 1, end - quote - 1);
  }
  return {};
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' ||
                           text.front() == '\r' || text.front() == '\n'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' ||
                           text.back() == '\r' || text.back() == '\n'))
    text.remove_suffix(1);
  return text;
}

void ReadUniqueIds(std::string_view text, bool show, MediaIds& ids) {
  constexpr std::string_view kOpen = "<uniqueid", kClose = "</uniqueid";
  // Each look goes on past the value's end: the text is read once.
  for (std::size_t at = text.find(kOpen), close = 0; at != std::string_view::npos;
       at = text.find(kOpen, close + kClose.size())) {
    const std::size_t tag_end = text.find('>', at);
    if (tag_end == std::string_view::npos) return;
    close = text.find(kClose, tag_end);
    if (close == std::string_view::npos) return;
    const std::string_view type = Attribute(text.substr(at, tag_end - at), "type");
    const std::string_view value = Trimmed(text.substr(tag_end + 1, close - tag_end - 1));
    if (type == "imdb") ids.Add(IdSource::kImdb, show, std::string(value));
    if (type == "tmdb") ids.Add(IdSource::kTmdb, show, std::string(value));
    if (type == "tvdb") ids.Add(IdSource::kTvdb, show, std::string(value));
  }
}

}  // namespace

void ReadIdsInNfo(std::string_view bytes, bool show, MediaIds& ids) {
  bytes = bytes.substr(0, kMaxNfoBytes);
  std::string lower(bytes);
  for (char& c : lower) c = ascii::AsciiLower(c);
  const Root root = RootOf(lower);
  if (root == Root::kEpisode || (root == Root::kMovie && show) ||
      (root == Root::kShow && !show))
    return;
  ReadLinks(lower, show, ids);
  ReadUniqueIds(lower, show, ids);
}

}  // namespace rules
