// The fade scheme store: listing the schemes kept below "Schemes", writing a
// scheme to its ".fde" file, and importing the scheme files waiting in the
// incoming folder (after collecting those AOL downloaded).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/SchemeFile.h"

namespace glimra {

// The message shown when the "Schemes" key cannot be opened.
extern const char kListSchemesFailure[];
constexpr int kStyleCritical = 16;

// Where the store's messages go: (marked-up text, message style); the
// formatted message box unless replaced.
using SchemeMessage = std::function<void(const std::string& text, int style)>;
SchemeMessage& SchemeMessageBox();

// Where the import shows its progress caption ("Updating Fade Schemes");
// start-up points it at its status bar. Does nothing by default.
using SchemeStatus = std::function<void(const std::string& caption)>;
SchemeStatus& SchemeImportStatus();

// Adds the name of every scheme, in registry order, through `add`. When the
// "Schemes" key cannot be opened, shows `failureMessage` (critical) and adds
// nothing.
void ListSchemes(const std::function<void(const std::string& name)>& add,
                 const std::string& failureMessage = kListSchemesFailure);
// The same into a list box or combo box.
void ListSchemes(HWND list, const std::string& failureMessage = kListSchemesFailure);

// Writes folder + schemeName + ".fde" (folder ends with "\"), replacing any
// file of that name. Writes nothing and returns False for a name that
// CheckSchemeName refuses; False too when the file cannot be written.
bool ExportSchemeFile(const std::string& schemeName, const std::string& folder);

// The program's "incoming" folder, AppPath() + "\incoming\".
std::string IncomingFolder();

// Moves every "*.fde" file of sourceFolder (ending with "\") into the
// incoming folder. A file is removed from sourceFolder only once its copy is
// in place. A file that cannot be removed (read-only, say) is copied once,
// reported, and copied again only after it has changed. A name with letters
// outside the ANSI code page is reached by its short name and copied under
// its long name with "_" for each such letter.
void CollectSchemeFiles(const std::string& sourceFolder);

// Imports every scheme file of folder (ending with "\") into the registry,
// one key per file named after it, and deletes the file (read-only or not)
// once every value it names is stored. A file that cannot be read or stored
// stays for the next import. A file larger than any scheme, or whose name
// cannot be a scheme's, stays and is reported once. With showStatus True it
// first shows its caption and collects the scheme files of the AOL folder,
// its download folder and the program folder. What needs the member's
// attention goes into one message at the end.
void ImportSchemeFiles(const std::string& folder, VBBool showStatus);

// The names of the scheme files of folder (ending with "\") in directory
// order, as they are imported: "_" for each letter outside the ANSI code
// page. False, with the system's error code in `error`, when the folder
// cannot be searched; a folder without scheme files is no failure.
bool ListSchemeFileNames(const std::string& folder, std::vector<std::string>& names, unsigned long& error);

// How one scheme file came in.
enum class SchemeFileImport {
  Stored,
  NotAllStored,     // a value could not be stored
  Unreadable,       // the system's error code is left for GetLastError
  NotFound,         // the same
  TooLarge,         // larger than any scheme: not read at all
  NameRefused,      // the name cannot be a scheme's
  NameUnreachable,  // letters outside the code page and no short name to open it by
};
// Reads the file of folder (ending with "\") that holds scheme `schemeName`
// (a file name as ListSchemeFileNames gives it, without ".fde") into that
// scheme's key, through the same checks as ImportSchemeFiles. The file stays.
SchemeFileImport ImportSchemeFile(const std::string& folder, const std::string& schemeName);

// Stores the value one scheme file line names into key `subkey`. Lines
// naming nothing are ignored. False only when a named value could not be
// stored.
bool ImportSchemeLine(const std::string& subkey, std::string_view line);

}  // namespace glimra
