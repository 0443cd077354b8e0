// The outside libraries in the system directory, loaded by file name:
// the SubClass control of dwsbc36.ocx and the functions of dwspy36.dll.
#pragma once

#include <memory>
#include <string>

#include "runtime/SubClassing.h"

namespace glimra {

// The system directory + "\" + `fileName`.
std::string SystemFilePath(const std::string& fileName);

// A SubClass control of dwsbc36.ocx hosted by `owner`; raises run-time
// error 53 when the file cannot be loaded. Events arrive on the thread that
// made the control.
std::unique_ptr<SubClassControl> CreateSubClass(WindowHandle owner);

// The factory the forms use: CreateSubClass.
SubClassFactory SystemSubClassFactory();

// dwspy36.dll; raises run-time error 53 when the file cannot be loaded.
std::unique_ptr<MemoryLibrary> LoadMemoryLibrary();

}  // namespace glimra
