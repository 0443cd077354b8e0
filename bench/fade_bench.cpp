// Fade-engine throughput: input characters per second for the gradient,
// solid and wavy renderings, a mail-sized text, and a plain copy of the same
// number of output bytes to compare with.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "engine/modFade.h"

namespace {

using glimra::Colour;

std::string SampleText(std::size_t length) {
  static const std::string words = "Hello everyone in the room, how is the weather where you are tonight? ";
  std::string text;
  while (text.size() < length) text += words;
  text.resize(length);
  return text;
}

void Configure(std::vector<Colour> colours, bool solid, bool wavy) {
  glimra::FadeSettings& s = glimra::LiveFadeSettings();
  s = glimra::FadeSettings{};
  s.FadeNumber = static_cast<std::int16_t>(colours.size());
  for (std::size_t i = 0; i < colours.size(); ++i) s.Colors[i + 1] = colours[i];
  s.SolidFade = glimra::ToVBBool(solid);
  s.Wavy = glimra::ToVBBool(wavy);
  s.Bold = glimra::kTrue;
}

// Nanoseconds a plain copy of `bytes` bytes into a fresh string takes.
double PlainCopyNanoseconds(std::size_t bytes) {
  const std::string source(bytes, 'x');
  constexpr int kRounds = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i) {
    std::string copy(source);
    benchmark::DoNotOptimize(copy.data());
  }
  const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count() / kRounds;
}

void RunFade(benchmark::State& state, std::vector<Colour> colours, bool solid, bool wavy) {
  Configure(std::move(colours), solid, wavy);
  const std::string text = SampleText(static_cast<std::size_t>(state.range(0)));
  std::size_t outputBytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    std::string line = text;
    glimra::FadeEngine(line);
    outputBytes = line.size();
    benchmark::DoNotOptimize(line.data());
  }
  const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["output_bytes"] = static_cast<double>(outputBytes);
  // How many plain copies of the output the fade costs.
  state.counters["x_copy"] =
      elapsed.count() / static_cast<double>(state.iterations()) / PlainCopyNanoseconds(outputBytes);
}

void BM_FadeGradient2(benchmark::State& state) { RunFade(state, {0x0000FF, 0xFF0000}, false, false); }
void BM_FadeGradient5(benchmark::State& state) {
  RunFade(state, {0xCC3300, 0xFF3399, 0x9933FF, 0x0099FF, 0x00CCFF}, false, false);
}
void BM_FadeSolid3(benchmark::State& state) { RunFade(state, {0x0000FF, 0x00FF00, 0xFF0000}, true, false); }
void BM_FadeWavy5(benchmark::State& state) {
  RunFade(state, {0xCC3300, 0xFF3399, 0x9933FF, 0x0099FF, 0x00CCFF}, false, true);
}

// A plain copy of as many bytes as the 5-colour fade of the same text writes.
void BM_PlainCopyOfFadeOutput(benchmark::State& state) {
  Configure({0xCC3300, 0xFF3399, 0x9933FF, 0x0099FF, 0x00CCFF}, false, false);
  std::string faded = SampleText(static_cast<std::size_t>(state.range(0)));
  glimra::FadeEngine(faded);
  for (auto _ : state) {
    std::string copy(faded.size(), '\0');
    std::memcpy(copy.data(), faded.data(), faded.size());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["output_bytes"] = static_cast<double>(faded.size());
}

constexpr int kLongText = 1 << 16;
constexpr int kMailText = 30000;

BENCHMARK(BM_FadeGradient2)->Arg(kLongText)->Arg(kMailText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FadeGradient5)->Arg(kLongText)->Arg(kMailText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FadeSolid3)->Arg(kLongText)->Arg(kMailText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FadeWavy5)->Arg(kLongText)->Arg(kMailText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainCopyOfFadeOutput)->Arg(kMailText)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
