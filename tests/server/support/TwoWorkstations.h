// A loopback server with two logged-on workstations: the administrator "su" and the operator
// "alice" (no administration power), for service tests that check who hears of a change.
#pragma once

#include "server/support/TestServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace srvtest {

class TwoWorkstations : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ok());
        su = server.LogOnAdmin();
        alice = server.LogOn("alice", "alice-pw");
        ASSERT_TRUE(su && alice);
    }

    TestServer server;
    std::unique_ptr<TestClient> su, alice;
};

// The two workstations and a third, "bob" (an operator like alice).
class ThreeWorkstations : public TwoWorkstations {
protected:
    void SetUp() override {
        TwoWorkstations::SetUp();
        if (HasFatalFailure()) return;
        bob = server.LogOn("bob", "bob-pw");
        ASSERT_TRUE(bob);
    }

    std::unique_ptr<TestClient> bob;
};

} // namespace srvtest
