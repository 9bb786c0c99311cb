#include <gtest/gtest.h>

#include <vector>

#include "platform/posix/linux_registry.h"

namespace pravelo::platform::posix {
namespace {

constexpr const char* kMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::uint32_t kAccess = 0x2003F;

LinuxRegistry registryFinding(const std::string& found) {
    return LinuxRegistry({"hardinfo", "kinfocenter"}, [found](const std::string& name) {
        return name == "kinfocenter" ? found : std::string();
    });
}

TEST(LinuxRegistry, PathOfTheInstalledToolWithItsZeroByte) {
    auto registry = registryFinding("/usr/bin/kinfocenter");
    Registry::Key key = 0;
    ASSERT_EQ(registry.openKey(Registry::LocalMachine, kMsinfo, 0, kAccess, key), 0);
    std::vector<unsigned char> buffer(1024, 0xAA);
    std::uint32_t type = 0, size = 1024;
    ASSERT_EQ(registry.queryValue(key, "PATH", type, buffer.data(), size), 0);
    EXPECT_EQ(type, Registry::TypeString);
    ASSERT_EQ(size, 21u);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + size),
              std::string("/usr/bin/kinfocenter\0", 21));
    EXPECT_EQ(registry.closeKey(key), 0);
    EXPECT_NE(registry.queryValue(key, "PATH", type, buffer.data(), size), 0);  // closed
}

TEST(LinuxRegistry, MissingKeysAndValues) {
    Registry::Key key = 0;
    EXPECT_EQ(registryFinding("").openKey(Registry::LocalMachine, kMsinfo, 0, kAccess, key), 2);

    auto registry = registryFinding("/usr/bin/kinfocenter");
    EXPECT_EQ(registry.openKey(Registry::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                               0, kAccess, key),
              2);
    EXPECT_EQ(registry.openKey(0x80000001u, kMsinfo, 0, kAccess, key), 2);
    // Names are case-insensitive, as on Windows.
    ASSERT_EQ(registry.openKey(Registry::LocalMachine, "software\\microsoft\\shared tools\\msinfo",
                               0, kAccess, key),
              0);
    unsigned char buffer[1024] = {};
    std::uint32_t type = 0, size = sizeof buffer;
    EXPECT_EQ(registry.queryValue(key, "MSINFO", type, buffer, size), 2);
    EXPECT_EQ(registry.queryValue(key, "path", type, buffer, size), 0);
    registry.closeKey(key);
}

TEST(LinuxRegistry, DataLongerThanTheBufferLeavesItUntouched) {
    auto registry = registryFinding("/" + std::string(1023, 'p'));  // 1024 bytes + zero byte
    Registry::Key key = 0;
    ASSERT_EQ(registry.openKey(Registry::LocalMachine, kMsinfo, 0, kAccess, key), 0);
    std::vector<unsigned char> buffer(1024, 0xAA);
    std::uint32_t type = 0, size = 1024;
    EXPECT_EQ(registry.queryValue(key, "PATH", type, buffer.data(), size), 234);
    EXPECT_EQ(buffer, std::vector<unsigned char>(1024, 0xAA));
    buffer.assign(1025, 0xAA);
    size = 1025;
    EXPECT_EQ(registry.queryValue(key, "PATH", type, buffer.data(), size), 0);
    EXPECT_EQ(buffer.back(), 0);
    registry.closeKey(key);
}

}  // namespace
}  // namespace pravelo::platform::posix
