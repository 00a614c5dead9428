#include "support/notify_icon.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

namespace {

using support::AddRecord;
using support::DeleteRecord;

TEST(NotifyIconRecord, AddRecordHasTheFirstLayoutLittleEndian) {
  const auto record = AddRecord(0x12345678, 1, 512, 0xABCD, "Tavisk");
  EXPECT_EQ(record.bytes.size(), 88u);
  EXPECT_EQ(record.bytes[0], 88);
  EXPECT_EQ(record.bytes[4], 0x78);
  EXPECT_EQ(record.bytes[7], 0x12);
  EXPECT_EQ(record.uID(), 1u);
  EXPECT_EQ(record.uFlags(), 7u);
  EXPECT_EQ(record.uCallbackMessage(), 512u);
  EXPECT_EQ(record.hIcon(), 0xABCDu);
}

TEST(NotifyIconRecord, TipIsPaddedWithSpacesNotZeros) {
  const auto tip = AddRecord(1, 1, 512, 2, "Tavisk").Tip();
  EXPECT_EQ(tip, std::string("Tavisk") + '\0' + std::string(57, ' '));
}

TEST(NotifyIconRecord, TipLengthsAtTheEdgeOfTheField) {
  struct Case {
    size_t length;
    std::string expected;
  };
  const std::string letters(70, 'x');
  const Case cases[] = {
      {63, std::string(63, 'x') + '\0'},
      {64, std::string(64, 'x')},
      {70, std::string(64, 'x')},
      {0, std::string(1, '\0') + std::string(63, ' ')},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AddRecord(1, 1, 512, 2, letters.substr(0, c.length)).Tip(), c.expected) << c.length;
  }
}

TEST(NotifyIconRecord, DeleteRecordCarriesOnlySizeWindowIdAndFlags) {
  const auto record = DeleteRecord(0x2a, 3);
  EXPECT_EQ(record.cbSize(), 88u);
  EXPECT_EQ(record.hWnd(), 0x2au);
  EXPECT_EQ(record.uID(), 3u);
  EXPECT_EQ(record.uFlags(), 7u);
  EXPECT_EQ(record.uCallbackMessage(), 0u);
  EXPECT_EQ(record.hIcon(), 0u);
  EXPECT_EQ(record.Tip(), std::string(64, '\0'));
}

// The first version of NOTIFYICONDATAA as a 64-bit Windows program lays it out.
struct FirstVersion64 {
  std::uint32_t cbSize;
  void* hWnd;
  std::uint32_t uID, uFlags, uCallbackMessage;
  void* hIcon;
  char szTip[64];
};

TEST(NotifyIconRecord, SixtyFourBitFieldsLandAtTheirOffsetsWithWholeHandles) {
  if (sizeof(void*) != 8) GTEST_SKIP() << "the 64-bit layout needs 8-byte pointers";
  static_assert(sizeof(void*) != 8 || (offsetof(FirstVersion64, hWnd) == 8 && offsetof(FirstVersion64, hIcon) == 32 &&
                                       offsetof(FirstVersion64, szTip) == 40 && sizeof(FirstVersion64) == 104),
                "the 64-bit first version");
  const auto window = static_cast<std::uintptr_t>(0x1'4000'9000ull);
  const auto icon = static_cast<std::uintptr_t>(0x2'0000'0ABCull);
  FirstVersion64 native;
  support::CopyFirstVersion(AddRecord(window, 3, 512, icon, "Lumora"), native, 104);
  unsigned char bytes[104];
  std::memcpy(bytes, &native, sizeof bytes);
  auto at = [&](std::size_t offset, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= static_cast<std::uint64_t>(bytes[offset + i]) << (8 * i);
    return value;
  };
  EXPECT_EQ(at(0, 4), 104u);
  EXPECT_EQ(at(4, 4), 0u);  // padding, zeroed
  EXPECT_EQ(at(8, 8), window);
  EXPECT_EQ(at(16, 4), 3u);
  EXPECT_EQ(at(20, 4), 7u);
  EXPECT_EQ(at(24, 4), 512u);
  EXPECT_EQ(at(32, 8), icon);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 40), 64), std::string("Lumora") + '\0' + std::string(57, ' '));
}

}  // namespace
