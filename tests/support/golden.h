// Golden screens: the frame buffer compared byte for byte with a stored
// 160 x 120 indexed PNG in tests/goldens/.
#pragma once
#include <gtest/gtest.h>

// Passes when frame_buffer equals the golden `name`. A missing golden fails.
// On a mismatch a scaled-up picture (golden | actual | differing pixels) is
// written to golden-diffs/ in the build tree. Only `make goldens` (which sets
// OMNIRA_UPDATE_GOLDENS=1) writes goldens.
::testing::AssertionResult matches_golden(const char *name);
