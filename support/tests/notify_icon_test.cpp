#include "support/notify_icon.h"

#include <gtest/gtest.h>

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

}  // namespace
