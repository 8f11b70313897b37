// UTF-8 and Windows-1251, the two encodings that answers of outside sites arrive in.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

bool IsValidUtf8(std::string_view bytes);
std::string Cp1251ToUtf8(std::string_view bytes);

// An answer as program text: valid UTF-8 stays as it is, anything else is taken
// as Windows-1251 and converted.
std::string DecodeAnswer(std::string_view bytes);

// Plain text of a web page: scripts and tags removed, CR/LF/tab turned into
// blanks, double blanks collapsed, trimmed, decoded with DecodeAnswer, and its
// character references replaced by their characters.
std::string PlainTextOfPage(std::string_view html);

// "&amp;", "&#8212;", "&#x2014;" and the other references of HTML text replaced by
// their characters; a name it does not know, or a number that is no character,
// stays as it is written. Text in, UTF-8 text out.
std::string DecodeCharacterReferences(std::string_view text);

// Every run from "<" to the next ">" removed; a "<" that is never closed stays.
std::string RemoveTags(std::string_view text);

// Characters of UTF-8 text: a character is a byte that is not a continuation
// byte (10xxxxxx) and the continuation bytes after it.
size_t CharacterCount(std::string_view utf8);
// Where the character after the one that begins at `at` begins (at most the end).
size_t NextCharacter(std::string_view utf8, size_t at);
// Where the character that holds byte `at` begins.
size_t CharacterStart(std::string_view utf8, size_t at);
// The first `characters` characters.
std::string_view FirstCharacters(std::string_view utf8, size_t characters);

// Lower and upper case for ASCII and Cyrillic letters of UTF-8 text.
std::string LowerCase(std::string_view utf8);
std::string UpperCase(std::string_view utf8);

// Leading and trailing blanks and control characters removed.
std::string Trim(std::string_view text);
std::string_view TrimmedView(std::string_view text);

}  // namespace tarvelo
