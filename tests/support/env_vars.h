// Setting and removing an environment variable in the tests, on every
// system (Windows has no setenv).
#pragma once

#include <cstdlib>

inline void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value);
#else
  setenv(name, value, 1);
#endif
}

inline void UnsetVariable(const char* name) {
#ifdef _WIN32
  _putenv_s(name, "");  // an empty value removes it
#else
  unsetenv(name);
#endif
}
