#include "support/notify_icon.h"

#include <algorithm>

namespace support {

std::uint32_t NotifyIconRecord::Field(std::size_t offset) const {
  return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void NotifyIconRecord::SetField(std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string NotifyIconRecord::Tip() const {
  return std::string(bytes.begin() + kTipOffset, bytes.begin() + kTipOffset + kTipSize);
}

void WriteTip(NotifyIconRecord& record, const std::string& tip) {
  std::string field = tip;
  field.push_back('\0');
  field.resize(kTipSize, ' ');
  std::copy(field.begin(), field.end(), record.bytes.begin() + kTipOffset);
}

NotifyIconRecord AddRecord(std::uintptr_t hWnd, std::int32_t id, std::uint32_t callbackMessage, std::uintptr_t icon,
                           const std::string& tip) {
  NotifyIconRecord record;
  record.window = hWnd;
  record.icon = icon;
  record.SetField(0, kNotifyIconRecordSize);
  record.SetField(4, static_cast<std::uint32_t>(hWnd));
  record.SetField(8, static_cast<std::uint32_t>(id));
  record.SetField(12, kNifMessageIconTip);
  record.SetField(16, callbackMessage);
  record.SetField(20, static_cast<std::uint32_t>(icon));
  WriteTip(record, tip);
  return record;
}

NotifyIconRecord DeleteRecord(std::uintptr_t hWnd, std::int32_t id) {
  NotifyIconRecord record;
  record.window = hWnd;
  record.SetField(0, kNotifyIconRecordSize);
  record.SetField(4, static_cast<std::uint32_t>(hWnd));
  record.SetField(8, static_cast<std::uint32_t>(id));
  record.SetField(12, kNifMessageIconTip);
  return record;
}

}  // namespace support
