// The 88-byte, first version of the notification-icon record in its ANSI form, built as bytes so
// that its layout does not depend on the compiler.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace support {

constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimDelete = 2;
constexpr std::uint32_t kNifMessageIconTip = 7;  // NIF_MESSAGE | NIF_ICON | NIF_TIP
constexpr std::size_t kNotifyIconRecordSize = 88;
constexpr std::size_t kTipOffset = 24;
constexpr std::size_t kTipSize = 64;

struct NotifyIconRecord {
  std::array<std::uint8_t, kNotifyIconRecordSize> bytes{};

  std::uint32_t Field(std::size_t offset) const;
  void SetField(std::size_t offset, std::uint32_t value);

  std::uint32_t cbSize() const { return Field(0); }
  std::uint32_t hWnd() const { return Field(4); }
  std::uint32_t uID() const { return Field(8); }
  std::uint32_t uFlags() const { return Field(12); }
  std::uint32_t uCallbackMessage() const { return Field(16); }
  std::uint32_t hIcon() const { return Field(20); }
  std::string Tip() const;  // the 64 tip bytes as they stand
};

// The tip text and its NUL, left-aligned in 64 characters: padded with spaces, not zeros, or cut.
void WriteTip(NotifyIconRecord& record, const std::string& tip);

NotifyIconRecord AddRecord(std::uint32_t hWnd, std::int32_t id, std::uint32_t callbackMessage,
                           std::uint32_t icon, const std::string& tip);
NotifyIconRecord DeleteRecord(std::uint32_t hWnd, std::int32_t id);

}  // namespace support
