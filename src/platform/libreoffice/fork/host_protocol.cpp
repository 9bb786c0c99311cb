#include "platform/libreoffice/fork/host_protocol.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace pravelo::platform::libreoffice::protocol {
namespace {
constexpr char Separator = '\x1f';
constexpr std::size_t MaxMessage = 256 * 1024;
}  // namespace

std::string join(const std::vector<std::string>& fields) {
    std::string message;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) message += Separator;
        message += fields[i];
    }
    return message;
}

std::vector<std::string> split(const std::string& message) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    while (true) {
        const auto at = message.find(Separator, from);
        fields.push_back(message.substr(from, at == std::string::npos ? at : at - from));
        if (at == std::string::npos) return fields;
        from = at + 1;
    }
}

bool send(int socket, const std::vector<std::string>& fields, int descriptor) {
    std::string text = join(fields);
    if (text.size() > MaxMessage) text.resize(MaxMessage);
    iovec part{text.data(), text.size()};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(int))> control{};
    if (descriptor >= 0) {
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(header), &descriptor, sizeof(int));
    }
    while (true) {
        if (::sendmsg(socket, &message, MSG_NOSIGNAL) >= 0) return true;
        if (errno != EINTR) return false;
    }
}

std::optional<Received> receive(int socket) {
    std::string buffer(MaxMessage, '\0');
    iovec part{buffer.data(), buffer.size()};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(int))> control{};
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    ssize_t got;
    do {
        got = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return std::nullopt;
    Received received;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS)
            std::memcpy(&received.descriptor, CMSG_DATA(header), sizeof(int));
    }
    buffer.resize(static_cast<std::size_t>(got));
    received.fields = split(buffer);
    return received;
}

std::optional<Received> receive(int socket, std::chrono::milliseconds timeout, bool& timedOut) {
    timedOut = false;
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        pollfd fd{socket, POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            timedOut = true;
            return std::nullopt;
        }
        if (ready < 0) return std::nullopt;
        return receive(socket);
    }
}

std::vector<std::string> ok(const std::string& value) {
    return {"ok", value};
}

std::vector<std::string> failure(int number, const std::string& description) {
    return {"err", std::to_string(number), description};
}

}  // namespace pravelo::platform::libreoffice::protocol
