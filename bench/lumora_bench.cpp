// Nanoseconds per KeyboardHookProc call over counting fakes: the hook's own cost on the input
// path of every key of the desktop, without the platform's.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "forms/application.h"
#include "indicator/indicator.h"
#include "indicator/tests/counting_fakes.h"

namespace {

constexpr std::uintptr_t kWmKeyUp = 0x101;

std::array<std::uint8_t, 20> Record(std::uint32_t vkCode, std::uint32_t flags) {
  std::array<std::uint8_t, 20> bytes{};
  const std::uint32_t fields[5] = {vkCode, 0x1E, flags, 1000, 0};
  for (int f = 0; f < 5; ++f) {
    for (int b = 0; b < 4; ++b) bytes[static_cast<size_t>(f * 4 + b)] = static_cast<std::uint8_t>(fields[f] >> (8 * b));
  }
  return bytes;
}

struct Program {
  fakes::CountingBackend backend;
  fakes::CountingResidentPlatform resident;
  fakes::CountingHookPlatform platform;
  forms::Application app{backend};
  support::ResidentSupport support{resident, backend};
  lumora::AboutBox about{app};
  lumora::IndicatorWindow form1{app, support, platform, about};
  Program() { app.Run(form1, false); }
};

void Run(benchmark::State& state, std::int32_t nCode, std::uint32_t vkCode, std::uint32_t flags, bool dispatched) {
  Program program;
  const auto record = Record(vkCode, flags);
  const auto lParam = reinterpret_cast<std::intptr_t>(record.data());
  for (auto _ : state) {
    std::intptr_t result = 0;
    if (dispatched) {
      // As the Win32 thunk calls it.
      program.app.Dispatch([&] { result = program.form1.KeyboardHookProc(nCode, kWmKeyUp, lParam); });
    } else {
      result = program.form1.KeyboardHookProc(nCode, kWmKeyUp, lParam);
    }
    benchmark::DoNotOptimize(result);
  }
}

void BM_LetterRelease(benchmark::State& state) { Run(state, 0, 'A', 0x80, false); }
void BM_LetterPress(benchmark::State& state) { Run(state, 0, 'A', 0x00, false); }
void BM_CapsLockRelease(benchmark::State& state) { Run(state, 0, 20, 0x80, false); }
void BM_NegativeCode(benchmark::State& state) { Run(state, -1, 'A', 0x80, false); }
void BM_LetterReleaseThroughDispatch(benchmark::State& state) { Run(state, 0, 'A', 0x80, true); }
void BM_CapsLockReleaseThroughDispatch(benchmark::State& state) { Run(state, 0, 20, 0x80, true); }

BENCHMARK(BM_LetterRelease);
BENCHMARK(BM_LetterPress);
BENCHMARK(BM_CapsLockRelease);
BENCHMARK(BM_NegativeCode);
BENCHMARK(BM_LetterReleaseThroughDispatch);
BENCHMARK(BM_CapsLockReleaseThroughDispatch);

}  // namespace
