#include "platform/libreoffice/fork/host_protocol.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace protocol = pravelo::platform::libreoffice::protocol;

TEST(HostProtocol, FieldsSurviveJoiningWithBlanksTabsNewlinesAndEmptyOnes) {
    const std::vector<std::string> fields{"open", "/tmp/a b\tc\nd æøå.doc", "", "x"};
    EXPECT_EQ(protocol::split(protocol::join(fields)), fields);
    EXPECT_EQ(protocol::split(""), std::vector<std::string>{""});
}

class HostProtocolSocket : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0);
    }
    void TearDown() override {
        for (const int end : ends)
            if (end >= 0) ::close(end);
    }
    int ends[2] = {-1, -1};
};

TEST_F(HostProtocolSocket, MessagesKeepTheirBoundariesAndCarryADescriptor) {
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ASSERT_TRUE(protocol::send(ends[0], {"child", "42"}, pipe[1]));
    ASSERT_TRUE(protocol::send(ends[0], protocol::failure(11, "Division by zero")));
    ::close(pipe[1]);

    auto first = protocol::receive(ends[1]);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->fields, (std::vector<std::string>{"child", "42"}));
    ASSERT_GE(first->descriptor, 0);
    ASSERT_EQ(::write(first->descriptor, "z", 1), 1);
    char byte = 0;
    EXPECT_EQ(::read(pipe[0], &byte, 1), 1);
    EXPECT_EQ(byte, 'z');
    ::close(first->descriptor);
    ::close(pipe[0]);

    auto second = protocol::receive(ends[1]);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->fields, (std::vector<std::string>{"err", "11", "Division by zero"}));
    EXPECT_LT(second->descriptor, 0);
}

TEST_F(HostProtocolSocket, AGonePeerAndATimeoutAreTold) {
    bool timedOut = false;
    EXPECT_FALSE(protocol::receive(ends[1], std::chrono::milliseconds(20), timedOut));
    EXPECT_TRUE(timedOut);
    ::close(ends[0]);
    ends[0] = -1;
    EXPECT_FALSE(protocol::receive(ends[1], std::chrono::seconds(5), timedOut));
    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(protocol::send(ends[1], {"fork"}));
}
