// The client's machine-readable record of what it did: one line per event,
// the event name and its fields separated by tabs. Inside a field a tab,
// carriage return, line feed and backslash are written as \t, \r, \n, \\.
//   start <pid>                       menubar <caption|caption|...>
//   menu <command id>                 keyword <word>
//   chat <room> <markup>              signon <name>   signoff <name>
//   mailpaste <caption> <markup>      attach <caption> <file>
//   attachdialog <dialog caption> <chosen file, empty when cancelled>
//   markup <caption of the control's window> <the rich control's content as markup>
//   mail <sent|later|closed> <caption> <to> <subject> <body markup> <files joined by |>
//   room <name>                       close
#pragma once

#include <initializer_list>
#include <string>

namespace waol {

void SetEventLogPath(const std::string& path);
void LogEvent(std::initializer_list<std::string> fields);
std::string EscapeField(const std::string& field);

}  // namespace waol
