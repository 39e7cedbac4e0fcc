#pragma once
// What a test runs as and in: the bitness of its own process, from the
// build, and the kind of Windows of its prefix, from the test registration
// (VARNHOLT_PREFIX_ARCH is "win64" or "win32"). Tests state their expected
// answers from these, never from the code under test.

namespace testsupport {

bool ProcessIs64Bit();

// Fails the current test when the registration did not name the prefix, so
// a test run by hand without it cannot pass by assuming.
bool PrefixIs64Bit();

// A 32-bit process in a 64-bit prefix: the only case of WOW64.
bool ExpectWow64();

// Wine rather than Windows, from the loader's own export: where Wine's
// components are known to keep less than Windows does, a test states both.
bool RunsUnderWine();

}  // namespace testsupport
