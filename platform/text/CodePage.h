#pragma once
// Converts text between UTF-8 and the Windows "ANSI" code pages in which the recorder and older
// Windows tools store text (CP949 for Korean, CP1252 for Western languages), through iconv.
// The process has one ANSI code page, as a Windows process has: the code page of the user's
// language once the program has chosen it, CP1252 until then.

#include <string>
#include <string_view>

namespace tachy::text {

constexpr int kCodePageWestern = 1252;
constexpr int kCodePageKorean = 949;

// Decodes code-page bytes into UTF-8. Bytes the code page does not define become U+FFFD, except
// in CP1252, whose five unassigned bytes keep their own number (as Windows reads them), so that
// a decode and encode give back every byte.
std::string decodeCodePage(std::string_view bytes, int codePage);

// Encodes UTF-8 text in the code page; characters it cannot hold are written as '?'.
std::string encodeCodePage(std::string_view utf8, int codePage);

// Whether this machine's iconv knows the code page.
bool isCodePageAvailable(int codePage);

// The ANSI code page Windows uses for a language id (0x0412 Korean: 949; 0x0411 Japanese: 932;
// Chinese: 936 or 950; Cyrillic languages: 1251; everything else here: 1252).
int ansiCodePageForLanguage(int languageId);

// The process's ANSI code page (1252 until set).
int ansiCodePage();
void setAnsiCodePage(int codePage);

} // namespace tachy::text
