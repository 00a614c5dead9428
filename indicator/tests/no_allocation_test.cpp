// The hook runs for every key of the desktop: it must not allocate, on any path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "forms/application.h"
#include "indicator/indicator.h"
#include "indicator/tests/counting_fakes.h"
#include "indicator/tests/hook_fixture.h"

namespace {
int allocations = 0;
bool counting = false;
}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(KeyboardHookCost, NoPathAllocates) {
  fakes::CountingBackend backend;
  fakes::CountingResidentPlatform resident;
  fakes::CountingHookPlatform platform;
  forms::Application app(backend);
  support::ResidentSupport support(resident, backend);
  lumora::AboutBox about(app);
  lumora::IndicatorWindow form1(app, support, platform, about);
  app.Run(form1, false);

  const auto letter = fakes::KeyRecord('A', 0x80);
  const auto capsDown = fakes::KeyRecord(20, 0);
  const auto capsUp = fakes::KeyRecord(20, 0x80);
  allocations = 0;
  counting = true;
  for (const auto* record : {&letter, &capsDown, &capsUp, &capsUp}) {
    app.Dispatch([&] { form1.KeyboardHookProc(0, 0x101, reinterpret_cast<std::intptr_t>(record->data())); });
  }
  app.Dispatch([&] { form1.KeyboardHookProc(-1, 0x101, 0); });
  counting = false;
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(backend.shows, 2u);
  EXPECT_EQ(backend.timerArmings, 0u);  // the timer runs from the start: a key only restarts it
}

}  // namespace
