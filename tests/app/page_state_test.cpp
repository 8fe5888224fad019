// SPDX-License-Identifier: MIT
// The number buttons' rules, read without a window: what each address the
// view is sent to sets, what each click does on the page shown, and what each
// button is then called.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "addresses.h"
#include "page_state.h"
#include "portal_host.h"

namespace kwirl {
namespace {

const NumberCaptions kBefore{"a", "b", "c", "d", "e", "f"};
const NumberCaptions kShortcut{"1", "2", "3", "4", "5", "6"};
const NumberCaptions kPieces{"4", "16", "36", "64", "100", "144"};
NumberCaptions paging(const std::string& page) { return {"|<", "<<", "<", page, ">", ">>"}; }

// A state nothing of the tables would set: odd captions, page index 7.
TPageState oddState() {
    TPageState state;
    state.setCaptions(NumberMode::Nothing, kBefore);
    state.pageIndex = 7;
    return state;
}

// The same on either scheme: the rules read tokens, never the scheme.
TEST(PageState, WhatANavigationSetsByAddress) {
    for (const std::string& portal : {"http://" + portalHost(), "https://" + portalHost()}) {
        const std::string list = portal + "/index.php?name=puzzle1&op=pz6m";
        struct Case {
            std::string address;
            NumberCaptions captions;
            std::int32_t pageIndex;
            bool refused;
        } cases[] = {
            {"javascript:false", kBefore, 7, false},
            {portal + "/index.php?name=puzzle1&javascript:false&n=x", kBefore, 7, false},
            {portal + "/index.php?name=puzzle3&op=game&level=2", kPieces, 7, false},
            {list + "&n=80", paging("3"), 2, false},
            {list + "&n=0&n=40&n=80", paging("3"), 2, false},
            {list + "&n=0&n=40", paging("2"), 1, false},
            {list + "&n=80&x=1", paging("3"), 2, false},
            {list + "&n=", paging("1"), 0, false},
            {list + "&n=&", paging("1"), 0, false},
            {list + "&n=79", paging("2"), 1, false},
            {list + "&n=-1", paging("1"), 0, false},
            {list + "&n=-41", paging("0"), -1, false},
            {list + "&n=80 ", paging("3"), 2, false},  // trailing blank at the very end is trimmed
            {list + "&n=80 &x=1", kBefore, 7, true},   // not trimmed before "&": refused
            {list + "&n=80#top", kBefore, 7, true},
            {list + "&n=2147483648", kBefore, 7, true},                                      // beyond 32 bits
            {list + "&n=$50", paging("3"), 2, false},                                        // hexadecimal 80
            {list, kBefore, 7, true},                                                        // list view without offset
            {portal + "/index.php?name=puzzle3&op=game&level=2&op=pz6m", kPieces, 7, true},  // pieces, then refused
            {portal + "/index.php?name=puzzle3&op=game&level=2&op=pz6m&n=40", paging("2"), 1, false},
            {portal + "/index.php?op=pz6m&n=120", kShortcut, 3, false},  // pages, then shortcut mode
            {"about:blank", kShortcut, 7, false},
            {portal + "/index.php", kShortcut, 7, false},
            {portal + "/index.php?name=awards", kShortcut, 7, false},
            // Another site's page or frame may name any address: it sets nothing.
            {"http://elsewhere.example/page", kBefore, 7, false},
            {"http://elsewhere.example/index.php?name=puzzle3&op=game&id=7&level=2", kBefore, 7, false},
            {"http://elsewhere.example/index.php?name=puzzle3&op=pz6m&n=39960", kBefore, 7, false},
            {"http://" + nameOfHost(portalHost()) + ".elsewhere.example/index.php?name=puzzle3&op=game&level=2",
             kBefore, 7, false},
            {portal + "/index.php?name=puzzle1", kBefore, 7, false},  // start page: leaves the mode
            {portal + "/index.php?name=puzzleguide", kBefore, 7, false},
            {portal + "/index.php?name=puzzle3&op=game", kBefore, 7, false},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.address);
            TPageState state = oddState();
            if (c.refused) {
                EXPECT_THROW(state.follow(c.address), std::runtime_error);
            } else {
                EXPECT_NO_THROW(state.follow(c.address));
            }
            EXPECT_EQ(state.captions(), c.captions);
            EXPECT_EQ(state.pageIndex, c.pageIndex);
        }
    }
}

struct Step {
    NumberButtonStep::Kind kind;
    bool stopFirst;
    std::string address;
    bool operator==(const Step&) const = default;
};

// Each button's click on each kind of page: the preset, every navigation in
// order, and the page index and page caption it leaves.
TEST(PageState, WhatEachNumberButtonDoesOnEachPage) {
    using enum NumberButtonStep::Kind;
    const std::string game = "http://h/index.php?name=puzzle3&op=game&level=3";
    const std::string list = "http://h/index.php?name=puzzle1&op=pz6m&n=200";
    const std::string awards = baseAddress() + "?name=awards";
    const CatalogueLibrary listView{"one", "http://h/index.php?name=lib1&op=pz6m"};
    struct Case {
        std::size_t button;
        std::string current;
        std::int32_t pageIndex;
        ChosenLibrary chosen;
        int preset;  // the bar's start, in percent
        std::vector<Step> steps;
        std::int32_t pageIndexAfter;
    } cases[] = {
        // A game: the level appended, the same one again all the same; some stop first.
        {0, game, 4, {}, 8, {{Level, true, game + "&level=1"}}, 4},
        {1, game, 4, {}, 20, {{Level, false, game + "&level=2"}}, 4},
        {2, game, 4, {}, 8, {{Level, true, game + "&level=3"}}, 4},
        {3, game, 4, {}, 8, {{Level, true, game + "&level=4"}}, 4},
        {4, game, 4, {}, 8, {{Level, false, game + "&level=5"}}, 4},
        {5, game, 4, {}, 8, {{Level, false, game + "&level=6"}}, 4},
        // A paged list: the page moves, backwards never below the first.
        {0, list, 5, {}, 8, {{Page, true, list + "&n=0"}}, 0},
        {1, list, 5, {}, 20, {{Page, true, list + "&n=0"}}, 0},
        {1, list, 12, {}, 20, {{Page, true, list + "&n=80"}}, 2},
        {2, list, 5, {}, 8, {{Page, true, list + "&n=160"}}, 4},
        {2, list, 0, {}, 8, {{Page, true, list + "&n=0"}}, 0},
        {3, list, 5, {}, 8, {{Page, true, list + "&n=200"}}, 5},
        {4, list, 5, {}, 8, {{Page, true, list + "&n=240"}}, 6},
        {5, list, 5, {}, 8, {{Page, true, list + "&n=600"}}, 15},
        {5, list, 99999, {}, 8, {{Page, true, list + "&n=4000360"}}, 100009},
        // A neutral page: each button's own library, or the catalogue's chosen
        // one at its first page (a list view opens only with an offset).
        {0, awards, 3, {}, 8, {{Shortcut, true, pageAddress("pazzle")}}, 0},
        {1, awards, 3, {}, 20, {{Shortcut, true, pageAddress("puzzle2")}}, 0},
        {2, awards, 3, {}, 8, {{Shortcut, true, pageAddress("puzzle3")}}, 0},
        {3, awards, 3, {}, 8, {{Shortcut, true, pageAddress("puzzle4")}}, 0},
        {4, awards, 3, {}, 8, {{Shortcut, true, pageAddress("puzzle10")}}, 0},
        {5, awards, 3, {}, 8, {{Shortcut, true, pageAddress("puzzle5")}}, 0},
        {2,
         "about:blank",
         3,
         CatalogueLibrary{"zero", "http://h/index.php?name=lib0"},
         8,
         {{Shortcut, true, "http://h/index.php?name=lib0"}},
         0},
        {5, "about:blank", 3, listView, 8, {{Shortcut, true, "http://h/index.php?name=lib1&op=pz6m&n=0"}}, 0},
        // A list view without an offset: only ">" pages it.
        {4,
         "http://h/index.php?name=puzzle1&op=pz6m",
         2,
         {},
         8,
         {{Page, true, "http://h/index.php?name=puzzle1&op=pz6m&n=120"}},
         3},
        {5, "http://h/index.php?name=puzzle1&op=pz6m", 2, {}, 8, {}, 2},
        // A list that is also neutral: the page first, the shortcut last.
        {4,
         "http://h/index.php?op=pz1d&n=40",
         1,
         {},
         8,
         {{Page, true, "http://h/index.php?op=pz1d&n=40&n=80"}, {Shortcut, true, pageAddress("puzzle10")}},
         0},
        // Pages of no class the buttons act on: the preset alone.
        {0, "http://h/index.php?name=puzzle1", 3, {}, 8, {}, 3},
        {1, "http://h/index.php?name=puzzleguide", 3, {}, 20, {}, 3},
        {3, "http://h/index.php?name=puzzle1&op=game", 3, {}, 8, {}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("button " + std::to_string(c.button) + " on " + c.current + " at " + std::to_string(c.pageIndex));
        TPageState state;
        state.pageIndex = c.pageIndex;
        const NumberButtonClick click = state.click(c.button, c.current, c.chosen);
        EXPECT_EQ(100 / click.presetDivisor, c.preset);
        std::vector<Step> steps;
        std::string pageCaption = state.captions()[3];
        for (const NumberButtonStep& s : click.steps) {
            EXPECT_FALSE(s.failure);
            steps.push_back({s.kind, s.stopFirst, s.address});
            state.take(s);
            if (s.kind == Page) pageCaption = std::to_string(s.page + 1);
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(state.pageIndex, c.pageIndexAfter);
        EXPECT_EQ(state.captions()[3], pageCaption);
    }
}

std::vector<std::string> namesOf(const std::array<AccessibleText, 6>& texts) {
    std::vector<std::string> names;
    for (const auto& t : texts) names.push_back(t.name);
    return names;
}

// A button's name says what its click does now, its caption first where a
// frame's page set captions that say otherwise.
TEST(PageState, WhatEachNumberButtonIsCalled) {
    const std::string portal = baseAddress();
    const std::string game = portal + "?name=puzzle3&op=game&level=2";
    const std::string list = portal + "?name=puzzle1&op=pz6m&n=40";
    const std::string awards = portal + "?name=awards";
    const CatalogueLibrary chosen{"Animals", "http://h/index.php?name=lib0"};
    struct Case {
        std::string followed;  // the last address the buttons followed, a frame's perhaps
        std::string current;   // the top page the view shows
        ChosenLibrary chosen;
        std::vector<std::string> names;
        std::string firstDescription;
    } cases[] = {
        {game,
         game,
         {},
         {"4 pieces", "16 pieces", "36 pieces", "64 pieces", "100 pieces", "144 pieces"},
         "Plays this puzzle cut into 4 pieces"},
        {list,
         list,
         {},
         {"First page", "Ten pages back", "Previous page", "Page 2", "Next page", "Ten pages on"},
         "Shows the first page of this list"},
        {awards,
         awards,
         {},
         {"Library 1: Big fantastic puzzle library", "Library 2: Big life puzzle library",
          "Library 3: Big animal puzzle library", "Library 4: Big mix puzzle library",
          "Library 5: CRAZY Fantasy ART library (3651 puzzle)", "Library 6: Super Crazy Fantasy Art library"},
         "Opens this library's list of puzzles"},
        {awards,
         awards,
         chosen,
         {"Library 1: Animals", "Library 2: Animals", "Library 3: Animals", "Library 4: Animals", "Library 5: Animals",
          "Library 6: Animals"},
         "Opens this library's list of puzzles"},
        // A game in a frame of the hall of awards: a click opens a library all the same.
        {game,
         awards,
         chosen,
         {"4: Library 1: Animals", "16: Library 2: Animals", "36: Library 3: Animals", "64: Library 4: Animals",
          "100: Library 5: Animals", "144: Library 6: Animals"},
         "Opens this library's list of puzzles"},
        // The start page is none the buttons act on.
        {"about:blank", portal + "?name=puzzle1", {}, {"1", "2", "3", "4", "5", "6"}, "Does nothing on this page"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.followed + " in " + c.current);
        TPageState state;
        state.follow(c.followed);
        const auto texts = state.describe(c.current, c.chosen);
        EXPECT_EQ(namesOf(texts), c.names);
        EXPECT_EQ(texts[0].description, c.firstDescription);
    }
}

// A load given up before its page came goes back to the page still shown,
// and only to it.
TEST(PageState, ALoadGivenUpGoesBackToThePageShown) {
    const std::string list = baseAddress() + "?name=puzzle1&op=pz6m&n=80";
    const std::string game = baseAddress() + "?name=puzzle3&op=game&level=2";
    TPageState state;
    EXPECT_FALSE(state.backToShownPage(list));  // nothing shown yet
    state.follow(list);
    state.pageShown(list);
    state.follow(game);
    EXPECT_FALSE(state.backToShownPage(game));  // the new page came after all
    EXPECT_EQ(state.captions(), kPieces);
    EXPECT_TRUE(state.backToShownPage(list));
    EXPECT_EQ(state.captions(), paging("3"));
    EXPECT_EQ(state.pageIndex, 2);
    EXPECT_EQ(state.mode(), NumberMode::Paging);
}

}  // namespace
}  // namespace kwirl
