// Run-time errors: the failures a procedure can meet unexpectedly (a failed
// call, a bad conversion, an overflow). They carry the number and description
// the error report shows.
#pragma once

#include <stdexcept>
#include <string>

namespace glimra {

enum ErrorNumber : long {
  kErrInvalidCall = 5,
  kErrOverflow = 6,
  kErrOutOfMemory = 7,
  kErrSubscript = 9,
  kErrDivisionByZero = 11,
  kErrTypeMismatch = 13,
  kErrBadFileName = 52,
  kErrFileNotFound = 53,
  kErrDeviceIO = 57,
  kErrFileExists = 58,
  kErrDiskFull = 61,
  kErrDeviceUnavailable = 68,
  kErrPermissionDenied = 70,
  kErrDiskNotReady = 71,
  kErrPathFileAccess = 75,
  kErrPathNotFound = 76,
  kErrObjectRequired = 424,
};

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(long number, const std::string& description) : std::runtime_error(description), number_(number) {}
  long Number() const { return number_; }
  std::string Description() const { return what(); }

 private:
  long number_;
};

// The standard description of a run-time error number.
std::string DescribeError(long number);

// Raises run-time error `number` with its standard description.
[[noreturn]] void RaiseError(long number);

}  // namespace glimra
