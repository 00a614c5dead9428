// The 88-byte, first version of the notification-icon record in its ANSI form, built as bytes so
// that its layout does not depend on the compiler. A 32-bit program hands these bytes over as they
// are; a 64-bit one has wider handles, so the record also keeps both handles whole and
// CopyFirstVersion puts the fields into the native record one by one.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
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
  // The handles at full width; the bytes hold their low 32 bits, all that a 32-bit program has.
  std::uintptr_t window = 0, icon = 0;

  std::uint32_t Field(std::size_t offset) const;
  void SetField(std::size_t offset, std::uint32_t value);

  std::uint32_t cbSize() const { return Field(0); }
  std::uintptr_t hWnd() const { return window; }
  std::uint32_t uID() const { return Field(8); }
  std::uint32_t uFlags() const { return Field(12); }
  std::uint32_t uCallbackMessage() const { return Field(16); }
  std::uintptr_t hIcon() const { return icon; }
  std::string Tip() const;  // the 64 tip bytes as they stand

  bool operator==(const NotifyIconRecord& other) const {
    return bytes == other.bytes && window == other.window && icon == other.icon;
  }
};

// The tip text and its NUL, left-aligned in 64 characters: padded with spaces, not zeros, or cut.
void WriteTip(NotifyIconRecord& record, const std::string& tip);

NotifyIconRecord AddRecord(std::uintptr_t hWnd, std::int32_t id, std::uint32_t callbackMessage, std::uintptr_t icon,
                           const std::string& tip);
NotifyIconRecord DeleteRecord(std::uintptr_t hWnd, std::int32_t id);

// Fills a zeroed native record of the first version, field by field, for a platform whose
// layout differs from the 88 bytes (64-bit: the handles are 8 bytes and aligned to 8).
// firstVersionSize is that platform's own size of the first version.
template <typename Native>
void CopyFirstVersion(const NotifyIconRecord& record, Native& native, std::uint32_t firstVersionSize) {
  std::memset(static_cast<void*>(&native), 0, sizeof native);
  native.cbSize = firstVersionSize;
  native.hWnd = reinterpret_cast<decltype(native.hWnd)>(record.hWnd());
  native.uID = record.uID();
  native.uFlags = record.uFlags();
  native.uCallbackMessage = record.uCallbackMessage();
  native.hIcon = reinterpret_cast<decltype(native.hIcon)>(record.hIcon());
  static_assert(sizeof native.szTip >= kTipSize, "the first version's tip is 64 bytes");
  std::memcpy(native.szTip, record.bytes.data() + kTipOffset, kTipSize);
}

}  // namespace support
