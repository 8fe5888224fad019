// SPDX-License-Identifier: MIT
#pragma once
// The portal's address vocabulary: every page name, parameter and token the
// client builds addresses from or classifies them by, but the page a page
// button opens, which is written in its row of the toolbar's table. Nothing else about the
// portal is known to the client but its host and scheme (portal_host.h).

#include <string_view>

namespace kwirl::vocab {

inline constexpr std::string_view kScript = "/index.php";
inline constexpr std::string_view kBlankPage = "about:blank";

// Page names (values of `name`).
inline constexpr std::string_view kPuzzle1 = "puzzle1";
inline constexpr std::string_view kPuzzle2 = "puzzle2";
inline constexpr std::string_view kPuzzle3 = "puzzle3";
inline constexpr std::string_view kPuzzle4 = "puzzle4";
inline constexpr std::string_view kPuzzle5 = "puzzle5";
inline constexpr std::string_view kPuzzle10 = "puzzle10";
inline constexpr std::string_view kPazzle = "pazzle";
inline constexpr std::string_view kServstop = "servstop";

// Parameter keys and the values the client writes.
inline constexpr std::string_view kNameKey = "name";
inline constexpr std::string_view kOpKey = "op";
inline constexpr std::string_view kLevelKey = "level";
inline constexpr std::string_view kOffsetKey = "n";
inline constexpr std::string_view kListView = "pz6m";
inline constexpr int kEntriesPerPage = 40;

// Tokens searched for anywhere in an address, case-sensitively.
inline constexpr std::string_view kScriptFalseToken = "javascript:false";
inline constexpr std::string_view kPuzzleToken = "=puzzle";
inline constexpr std::string_view kPazzleToken = "=pazzle";
inline constexpr std::string_view kGameToken = "&op=game";
inline constexpr std::string_view kLevelToken = "&level=";
inline constexpr std::string_view kOffsetToken = "&n=";
inline constexpr std::string_view kListViewToken = "=pz6m";
inline constexpr std::string_view kPagedViewToken = "=pz1d";
inline constexpr std::string_view kSeparator = "&";

}  // namespace kwirl::vocab
