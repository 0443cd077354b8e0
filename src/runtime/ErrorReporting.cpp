#include "runtime/ErrorReporting.h"

#include <new>
#include <stdexcept>

namespace glimra {

std::string& VersionText() {
  static std::string text;
  return text;
}

VBBool& LowColorFlag() {
  static VBBool flag = kFalse;
  return flag;
}

std::string MakeVersionText(int major, int minor, int revision) {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

VBBool LowColorFlagFor(int bitsPerPixel, VBBool current) {
  if (bitsPerPixel <= 8) return kTrue;
  if (bitsPerPixel >= 16) return kFalse;
  return current;
}

ErrorEnvironment& CurrentErrorEnvironment() {
  static ErrorEnvironment environment;
  return environment;
}

namespace {
bool gReportShowing = false;
}  // namespace

bool ErrorReportShowing() { return gReportShowing; }

std::int16_t ReportError(const ErrorSite& site, long line, long number, const std::string& description) {
  const ErrorEnvironment& environment = CurrentErrorEnvironment();
  if (!environment.report || gReportShowing) return 0;
  ErrorReport report{"Glimra", VersionText(),          site.module, site.procedure,
                     line,     std::to_string(number), description, LowColorFlag()};
  gReportShowing = true;
  std::int16_t answer = 0;
  try {
    answer = environment.report(report);
  } catch (...) {
    answer = 0;  // a failing report is not reported again
  }
  gReportShowing = false;
  return answer;
}

std::pair<long, std::string> DescribeException(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const RuntimeError& e) {
    return {e.Number(), e.Description()};
  } catch (const std::bad_alloc&) {
    return {kErrOutOfMemory, DescribeError(kErrOutOfMemory)};
  } catch (const std::out_of_range&) {
    return {kErrSubscript, DescribeError(kErrSubscript)};
  } catch (const std::overflow_error&) {
    return {kErrOverflow, DescribeError(kErrOverflow)};
  } catch (const std::invalid_argument&) {
    return {kErrInvalidCall, DescribeError(kErrInvalidCall)};
  } catch (const std::exception& e) {
    return {kErrInvalidCall, e.what()};
  } catch (...) {
    return {kErrInvalidCall, DescribeError(kErrInvalidCall)};
  }
}

void EndProgram() {
  const ErrorEnvironment& environment = CurrentErrorEnvironment();
  if (environment.unloadAllForms) environment.unloadAllForms();
  if (environment.endProgram) environment.endProgram();
  throw EndProgramNow{};
}

std::int16_t ActOnAnswer(std::int16_t answer) {
  switch (answer) {
    case kAnswerAbort: EndProgram();
    case kAnswerRetry:
    case kAnswerIgnore: return answer;
    default: throw LeaveProcedure{};
  }
}

}  // namespace glimra
