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

} // namespace srvtest
