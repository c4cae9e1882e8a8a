// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the headless display drawing into textures before any test asks for one.
#include <gtest/gtest.h>

#include "platform/display.h"

namespace {
class DrawIntoTextures : public ::testing::Environment {
public:
    void SetUp() override { open_offscreen_display(/*textures=*/true); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new DrawIntoTextures);
}  // namespace
