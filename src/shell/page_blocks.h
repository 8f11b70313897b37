// The HTML every page is built from: the document frame, the fixed blocks shared by all
// pages and the start page.
#pragma once

#include <string>
#include <string_view>

#include "acquire/messages.h"
#include "text/russian.h"

namespace tarvelo {

inline constexpr std::string_view kBodyStart = "<body scroll=\"auto\">\r\n<div id=\"top\">";
inline constexpr std::string_view kNavigation =
    "<div id=\"showh\" onclick=\"return doCmd('home')\" title=\"Нажмите, чтобы перейти на стартовую страницу "
    "Tarvelo\">&#8592; На главную</div>\r\n<div id=\"showa\" onclick=\"showa(this)\" title=\"Нажмите, чтобы "
    "показать/скрыть дополнительные параметры\">Больше &#8595;</div>\r\n";
// The navigation without "Больше", for pages that hide nothing it could show.
inline constexpr std::string_view kHomeButton = kNavigation.substr(0, kNavigation.find("<div id=\"showa\""));

// What goes around every page body.
struct PageFrame {
  std::string style;          // the main style sheet, placeholders filled
  std::string flags_style;    // the country-flag classes
  std::string script;         // the page script
  // Addresses the page script uses, written into the head (empty: none): where the large
  // vehicle pictures are (the picture's file name follows), and the game wiki (an
  // article's name follows).
  std::string vehicle_pictures_address;
  std::string wiki_address;
  std::string user_style;     // address of the user's style sheet, or empty
  std::string update_notice;  // the update link, or empty
  bool show_debug_log = false;
  std::string debug_log;      // the log shown under the page when show_debug_log is set
};

// The whole document: head with style sheets and script, the body unchanged, and the
// debug log when one is given.
std::string PageDocument(const PageFrame& frame, std::string_view body);

// The search form, its lists pop-up filled with `lists_html`, pre-filled with `text`.
// It closes the top block opened by the body start.
std::string SearchForm(std::string_view lists_html, std::string_view text);

// Where the lists pop-up of a page's search form keeps its lists (a CSS selector).
inline constexpr std::string_view kFormListsSelector = "#top form .addons .inner > span + span > div";

// Puts `lists_html` in place of the lists in the pop-up of `body`'s search form; false,
// and `body` unchanged, when the body has no search form.
bool ReplaceFormLists(std::string& body, std::string_view lists_html);

// The loaders' messages as paragraphs: class "r" for an error, "g" for a
// warning, none for a note; a message with details links them after its text.
std::string MessageParagraphs(const LoaderMessages& messages);

// Messages under a report. The paths they quote stay whole.
std::string WrapMessages(const LoaderMessages& messages);

// Addresses the start page links to.
struct StartPageLinks {
  std::string questions_and_answers;  // the questions-and-answers post of the program's forum topic
  std::string wotreplays;
  std::string wotext;
  std::string kttc;
  std::string ivanerr;
};

std::string IntroductionBlock(const StartPageLinks& links);

// The reference documents in use, as the start page tells of them.
struct ReferenceFacts {
  std::string vehicles_version;
  std::string expected_version;
  DateTime last_refresh = 0;  // 0: never refreshed
  bool refreshing = false;    // a refresh is under way
};
// «Справочник машин: …, ожидаемые значения: …», when they were last refreshed,
// and the link that refreshes them («Обновить справочники», page command "refdata").
std::string ReferenceBlock(const ReferenceFacts& facts);
std::string PartnersBlock(const StartPageLinks& links);

}  // namespace tarvelo
