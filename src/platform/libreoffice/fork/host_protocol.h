#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Messages between the program, the office host and the host's forks: one
// datagram each on a SOCK_SEQPACKET socket, fields separated by a unit
// separator, optionally carrying one descriptor.
namespace pravelo::platform::libreoffice::protocol {

std::string join(const std::vector<std::string>& fields);
std::vector<std::string> split(const std::string& message);

// One message, in one call (safe from several threads). False when the peer is gone.
bool send(int socket, const std::vector<std::string>& fields, int descriptor = -1);

struct Received {
    std::vector<std::string> fields;
    int descriptor = -1;  // owned by the caller
};

// Waits for the next message; none when the peer has gone. With a timeout,
// *timedOut says whether it passed first.
std::optional<Received> receive(int socket);
std::optional<Received> receive(int socket, std::chrono::milliseconds timeout, bool& timedOut);

// A fork's answer: "ok" and a value, or "err", a number and a description.
std::vector<std::string> ok(const std::string& value = {});
std::vector<std::string> failure(int number, const std::string& description);

}  // namespace pravelo::platform::libreoffice::protocol
