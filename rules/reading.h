// What the reading of one release name found, as values that outlive the
// name: the name rules return it with the new name (rules/clean_name.h),
// and every stage after them (copies told apart, side files, the library's
// layout, a download's plan) takes it instead of reading the name again.
//
//  - The form, and what names the video: the title as the library name
//    writes it, a film's or show's year, the mark (an episode run, a season,
//    a date, an anime number) with its numbers, a part, a sample or an
//    extra's kind.
//  - The release tags that tell copies of one video apart, the first of
//    each kind, as written ("1080p", "BluRay", "x264", "GRP").
//  - Ids and the edition: the ids a name carries ("tt0133093", a media
//    server's "{tmdb-603}"), as written (rules/media_ids.h says whose they
//    are), and a film's edition ("Director's Cut", "30th Anniversary
//    Edition"); the library name in place is written without a bare id
//    or an edition's words.
//  - The words dropped after the mark, as written: an episode's title, tags
//    and noise.  Where two copies bound for one folder differ in no tag,
//    these are what tells them apart.
#pragma once

#include <string>

#include "rules/release_name.h"

namespace rules {

struct Reading {
  // kPlain: the name holds no mark; the rest but the title is empty.
  NameForm form = NameForm::kPlain;
  std::string title;  // as the library name writes it
  std::string year;   // "2010"; "" for none
  // The mark that names the video, written as the library name writes it
  // ("S02E05-E06", "S02", "2019-03-14", "- 07"), with its numbers where it
  // has them: an episode run's season, first and last episode (a season
  // pack's first and last are 0).
  MarkKind mark = MarkKind::kNone;
  std::string written_mark;
  int season = 0, first = 0, last = 0;
  int part = 0;        // a part, CD or disc the name keeps; 0 for none
  std::string sample;  // "sample", "trailer" as written; "" for none
  std::string extra;   // an extra's kind ("featurette"); "" for none

  std::string tags[kVersionKinds];  // "" where the name has none
  // A film's edition after its title in the library's words ("Director's
  // Cut" from "Directors.Cut", "30th Anniversary Edition"), or as a
  // server's "{edition-...}" writes it; "" for none.  IMAX is a version's.
  std::string edition;
  std::string imdb;     // "tt0133093"
  std::string tmdb;     // "603"
  std::string tvdb;     // "81189"
  // The words after the mark the library name is written without, one space
  // between them.
  std::string dropped;
};

}  // namespace rules
