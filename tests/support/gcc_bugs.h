// Compiler bugs that tests must step around.
#pragma once

// g++ 12 at -O2 and -O3 reports an overlapping memcpy inside std::string's
// operator+(const char*, std::string&&) (GCC bug 105651, a -Wrestrict false
// positive). A test that builds strings that way is wrapped in these.
#if defined(__GNUC__) && !defined(__clang__)
#define PAVECAST_GCC_BUG_105651_BEGIN \
  _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wrestrict\"")
#define PAVECAST_GCC_BUG_105651_END _Pragma("GCC diagnostic pop")
#else
#define PAVECAST_GCC_BUG_105651_BEGIN
#define PAVECAST_GCC_BUG_105651_END
#endif
