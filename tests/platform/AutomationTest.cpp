#include "platform/Automation.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

class Probe : public AutomationObject {};
class Other : public AutomationObject {};

TEST(Automation, NothingRegisteredRaises429) {
    const Automation automation;
    const auto error = trapError([&] { automation.CreateObject("QZVSEObject.Application"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 429);
    EXPECT_EQ(error->description(), "Objekterstellung durch ActiveX-Komponente nicht möglich");
}

TEST(Automation, CreatesByProgIdWithoutRegardToCase) {
    Automation automation;
    automation.registerServer("RevisionManager.Application", [] { return std::make_unique<Probe>(); });
    EXPECT_NE(automation.create<Probe>("revisionmanager.application"), nullptr);
    EXPECT_EQ(trapError([&] { automation.create<Other>("RevisionManager.Application"); })->number(),
              13);
}

} // namespace
} // namespace ostrevan
