// File services: existence checks, whole-file text reading and writing, and
// the help launcher. Text is ANSI, one byte a character, passed through
// unchanged.
#pragma once

#include <string>

#include "runtime/Conversions.h"

namespace glimra {

class FormWindow;

// The program's own folder without a trailing "\"; the folder of the running
// program unless set otherwise (tests point it at a scratch folder).
std::string& AppPath();

// True when a file search finds `path` (a file, a folder, or a match of a
// wildcard pattern).
bool FileExists(const std::string& path);

// True when `path` is not empty and a search that includes folders finds it.
// A path ending in "\" names the folder itself.
bool FolderExists(const std::string& path);

// The whole file as text; the empty text when it cannot be read.
std::string ReadTextFile(const std::string& path);
// The same, telling whether the whole file was read.
bool TryReadTextFile(const std::string& path, std::string& text);

// Replaces the file's contents with `text` followed by CR LF. True when all
// of it was written.
bool WriteTextFile(const std::string& path, const std::string& text);

// The program's help file: AppPath() + "\glimra.hlp" unless start-up sets
// another.
std::string& HelpFile();

// The help window WinHelp shows for Glimra's help file.
constexpr char kHelpWindowClass[] = "MS_WINHELP";
constexpr char kHelpWindowCaption[] = "Glimra!";
constexpr unsigned kHelpWindowWaitMs = 10000;

// Opens the help file at `keyword` (a partial key) for `form`. Unless
// `noWait` is True, waits up to ten seconds, letting events run, for the
// help window and puts it above all other windows; a window that does not
// come is not reported. With `noWait` True it returns at once, even when the
// help program cannot start, and lets no events run.
void RunWinHelp(FormWindow& form, const std::string& keyword, VBBool noWait);

}  // namespace glimra
