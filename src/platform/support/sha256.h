#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pravelo::platform {

// SHA-256 over data fed in pieces, for telling a document's content apart.
class Sha256 {
  public:
    Sha256();
    void add(const void* data, std::size_t size);
    // Lower-case hex; the object is spent afterwards.
    std::string hex();

  private:
    void block(const unsigned char* data);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> buffer_{};
    std::size_t used_ = 0;
    std::uint64_t total_ = 0;
};

}  // namespace pravelo::platform
