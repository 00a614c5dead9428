// One readable line per platform call, shared by every fake of a test so that the order across
// seams is visible.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace fakes {

class CallLog {
 public:
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  const std::vector<std::string>& Lines() const { return lines_; }
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(lines_);
    return taken;
  }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

inline std::string Hex(std::uint64_t value) {
  std::ostringstream out;
  out << "0x" << std::hex << value;
  return out.str();
}

}  // namespace fakes
