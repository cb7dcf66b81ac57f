// The simple case mapping of Unicode, from the table in
// unicode_case_table.inc (made from utf8proc by tools/make_case_table.cc).
// Both builds read the same table, so a name's letters take the same case on
// every system, whatever its locale or code page.
#pragma once

#include "text/case.h"

namespace text {

const CaseMapping& UnicodeCaseMapping();

}  // namespace text
