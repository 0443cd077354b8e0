// The uniform error handler. A procedure that can meet an unexpected run-time
// error names its site (module and procedure) and runs its statements through
// a guard: the error goes to the error report component, and the member's
// answer aborts the program, retries the statement or skips it.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>

#include "runtime/Conversions.h"
#include "runtime/RuntimeError.h"

namespace glimra {

// The answers of the report component (standard message-box answers).
enum ReportAnswer : std::int16_t { kAnswerAbort = 3, kAnswerRetry = 4, kAnswerIgnore = 5 };

// The eight arguments of one error report, in the component's order.
struct ErrorReport {
  std::string product;
  std::string version;
  std::string module;
  std::string procedure;
  long line = 0;
  std::string number;
  std::string description;
  VBBool lowColor = kFalse;
};

// Program-wide values every report carries; set once during start-up.
std::string& VersionText();
VBBool& LowColorFlag();

// major.minor.revision as plain decimals joined by ".".
std::string MakeVersionText(int major, int minor, int revision);
// True for 8 bits per pixel or fewer, False for 16 or more; in between the
// flag keeps its value.
VBBool LowColorFlagFor(int bitsPerPixel, VBBool current);

// The world the handler acts on. The Win32 side installs the real report
// box, the forms collection and process exit; tests install their own.
struct ErrorEnvironment {
  std::function<std::int16_t(const ErrorReport&)> report;
  std::function<void()> unloadAllForms;
  std::function<void()> endProgram;  // must not return
};
ErrorEnvironment& CurrentErrorEnvironment();

// Where a handler sits: the module (or form) and the procedure (or event handler).
struct ErrorSite {
  const char* module;
  const char* procedure;
};

// Thrown by a guard when the answer says to leave the procedure; caught by
// RunProcedure, which then returns the procedure's result as it stood.
struct LeaveProcedure {};

// Thrown by an `endProgram` that cannot end the process at once (tests, tools);
// no guard holds it.
struct EndProgramNow {};

// Ends Glimra the one way it ends: every form unloaded, newest first, then
// the program ends at once.
[[noreturn]] void EndProgram();

// Sends one error to the report component and returns the answer; a failure
// of the report itself counts as no answer (0). The report is modal but its
// loop still runs timers and messages from other programs: an error raised
// by one of them while a report is up gets no report of its own and no
// answer (0), so its procedure is left.
std::int16_t ReportError(const ErrorSite& site, long line, long number, const std::string& description);

// True while a report waits for the member's answer; event handlers that
// must be held until then (the chat tools timer, the chat box) look here.
bool ErrorReportShowing();

// Maps any exception to a run-time error number and description.
std::pair<long, std::string> DescribeException(std::exception_ptr error);

// Handles the answer: Abort unloads every form and ends the program; Retry
// and Ignore return their answer; anything else throws LeaveProcedure.
std::int16_t ActOnAnswer(std::int16_t answer);

// Runs one statement under the handler: Retry runs it again, Ignore goes on
// after it, Abort ends the program, any other answer leaves the procedure.
template <class Statement>
void Guard(const ErrorSite& site, Statement&& statement, long line = 0) {
  for (;;) {
    try {
      statement();
      return;
    } catch (const LeaveProcedure&) {
      throw;
    } catch (const EndProgramNow&) {
      throw;
    } catch (...) {
      const auto [number, description] = DescribeException(std::current_exception());
      if (ActOnAnswer(ReportError(site, line, number, description)) == kAnswerIgnore) return;
    }
  }
}

// Runs a procedure body whose statements are guarded; a LeaveProcedure from
// any guard ends the body and the procedure returns what `result` holds.
// An error outside any guard is handled as if the whole body were one
// statement.
template <class Body>
void RunProcedure(const ErrorSite& site, Body&& body) {
  try {
    Guard(site, body);
  } catch (const LeaveProcedure&) {
  }
}

// A statement whose failure is skipped without any report (handlers that
// "skip a failing statement and go on").
template <class Statement>
bool SkipOnError(Statement&& statement) {
  try {
    statement();
    return true;
  } catch (const LeaveProcedure&) {
    throw;
  } catch (const EndProgramNow&) {
    throw;
  } catch (...) {
    return false;
  }
}

}  // namespace glimra
