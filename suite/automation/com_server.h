// The classes one library of the stand-in serves, and what COM needs of an
// in-process server: the class objects, unloading, and self-registration.
#pragma once

#include <windows.h>

#include <cstddef>

#include "dispatch_object.h"

struct TServedClass {
  const char* ProgId;
  CLSID Clsid;
  TDispatchObject* (*Create)();
};

// Defined by each library.
extern const TServedClass kServedClasses[];
extern const size_t kServedClassCount;
