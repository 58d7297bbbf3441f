// The offscreen desktop for the whole suite.
#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

class Desktop : public ::testing::Environment {
public:
    void SetUp() override { platform::testing::StartTestApplication(); }
};

const auto* const desktop = ::testing::AddGlobalTestEnvironment(new Desktop);

} // namespace
