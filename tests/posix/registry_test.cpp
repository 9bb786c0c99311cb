#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/posix/linux_registry.h"

namespace pravelo::platform::posix {
namespace {

constexpr Registry::Key kLocalMachine = Registry::LocalMachine;
constexpr const char* kMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::uint32_t kAccess = 0x2003F;

LinuxRegistry registryFinding(const std::string& found) {
    return LinuxRegistry({"hardinfo", "kinfocenter"}, [found](const std::string& name) {
        return name == "kinfocenter" ? found : std::string();
    });
}

TEST(LinuxRegistry, SystemInformationPathWhenInstalled) {
    auto registry = registryFinding("/usr/bin/kinfocenter");
    Registry::Key key = 0;
    ASSERT_EQ(registry.openKey(kLocalMachine, kMsinfo, 0, kAccess, key), 0);
    EXPECT_NE(key, 0u);

    std::vector<unsigned char> buffer(1024, 0);
    std::uint32_t type = 0, size = 1024;
    ASSERT_EQ(registry.queryValue(key, "PATH", type, buffer.data(), size), 0);
    EXPECT_EQ(type, Registry::TypeString);
    EXPECT_EQ(size, std::strlen("/usr/bin/kinfocenter") + 1);  // counts the zero byte
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), size),
              std::string("/usr/bin/kinfocenter", size));
    EXPECT_EQ(registry.closeKey(key), 0);
}

TEST(LinuxRegistry, EverythingIsMissingWithoutATool) {
    auto registry = registryFinding("");
    Registry::Key key = 0;
    EXPECT_EQ(registry.openKey(kLocalMachine, kMsinfo, 0, kAccess, key), 2);
}

TEST(LinuxRegistry, OtherKeysAndValuesAreMissing) {
    auto registry = registryFinding("/usr/bin/kinfocenter");
    Registry::Key key = 0;
    EXPECT_EQ(registry.openKey(kLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", 0,
                               kAccess, key),
              2);
    EXPECT_EQ(registry.openKey(0x80000001u, kMsinfo, 0, kAccess, key), 2);
    EXPECT_EQ(registry.openKey(kLocalMachine, "software\\microsoft\\shared tools\\msinfo", 0,
                               kAccess, key),
              0);  // names are case-insensitive
    std::vector<unsigned char> buffer(1024, 0);
    std::uint32_t type = 0, size = 1024;
    EXPECT_EQ(registry.queryValue(key, "MSINFO", type, buffer.data(), size), 2);
    EXPECT_EQ(registry.queryValue(key, "path", type, buffer.data(), size), 0);
    EXPECT_EQ(registry.closeKey(key), 0);
    EXPECT_NE(registry.queryValue(key, "PATH", type, buffer.data(), size), 0);  // closed
}

TEST(LinuxRegistry, DataLongerThanTheBufferLeavesItUntouched) {
    const std::string path = "/" + std::string(1023, 'p');  // 1024 characters + zero byte
    auto registry = registryFinding(path);
    Registry::Key key = 0;
    ASSERT_EQ(registry.openKey(kLocalMachine, kMsinfo, 0, kAccess, key), 0);
    std::vector<unsigned char> buffer(1024, 0xAA);
    std::uint32_t type = 0, size = 1024;
    EXPECT_EQ(registry.queryValue(key, "PATH", type, buffer.data(), size), 234);
    EXPECT_EQ(buffer, std::vector<unsigned char>(1024, 0xAA));

    buffer.assign(1025, 0);
    size = 1025;
    EXPECT_EQ(registry.queryValue(key, "PATH", type, buffer.data(), size), 0);
    EXPECT_EQ(size, 1025u);
    EXPECT_EQ(buffer.back(), 0);
    registry.closeKey(key);
}

}  // namespace
}  // namespace pravelo::platform::posix
