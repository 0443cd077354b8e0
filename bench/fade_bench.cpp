// What the fade engine costs against the floor of copying its output, on a
// 30000-character line: warm (calls in a running process) and cold (the first
// call in a fresh process, page faults of the output included); and
// glimra-fade --format ansi against lolcat, a widely used terminal rainbow,
// on the same 30000-character file in the same run. Times are CPU time (the
// thread's for the engine, the process's for the programs), so other work on
// the machine does not count; each figure is a median.
//
// Then what glimra.exe itself costs under Wine beside the stand-in AOL
// client, measured by bench/wine/glimra_costs.cpp (run with wine; its samples
// become this program's iterations): Enter in the chat box to the line in the
// room, faded and plain; the CPU time of idling beside a signed-on client with
// a room open (read from /proc, in nanoseconds); start-up to the chat tools
// window beside a running client, next to the program's fixed pauses on that
// way; and one remote menu call.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/modFade.h"

extern char** environ;

namespace {

using glimra::Colour;

constexpr std::size_t kChatText = 30000;

struct Case {
  const char* name;
  std::vector<Colour> colours;
  bool solid, wavy;
};
const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"gradient5", {0xCC3300, 0xFF3399, 0x9933FF, 0x0099FF, 0x00CCFF}, false, false},
      {"solid3", {0x0000FF, 0x00FF00, 0xFF0000}, true, false},
      {"wavy5", {0xCC3300, 0xFF3399, 0x9933FF, 0x0099FF, 0x00CCFF}, false, true},
      {"gradient2", {0x0000FF, 0xFF0000}, false, false},
  };
  return cases;
}
const Case* FindCase(const std::string& name) {
  for (const Case& c : Cases())
    if (name == c.name) return &c;
  return nullptr;
}

std::string SampleText(std::size_t length) {
  static const std::string words = "Hello everyone in the room, how is the weather where you are tonight? ";
  std::string text;
  while (text.size() < length) text += words;
  text.resize(length);
  return text;
}

// The same words as a text file of 72-character lines.
std::string SampleFile(std::size_t length) {
  std::string text;
  for (std::size_t at = 0; text.size() < length; at += 71) text += SampleText(at + 71).substr(at) + "\n";
  text.resize(length);
  return text;
}

void Configure(const Case& c) {
  glimra::FadeSettings& s = glimra::LiveFadeSettings();
  s = glimra::FadeSettings{};
  s.FadeNumber = static_cast<std::int16_t>(c.colours.size());
  for (std::size_t i = 0; i < c.colours.size(); ++i) s.Colors[i + 1] = c.colours[i];
  s.SolidFade = glimra::ToVBBool(c.solid);
  s.Wavy = glimra::ToVBBool(c.wavy);
  s.Bold = glimra::kTrue;
}

double ThreadCpuNanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Figures for the summary printed after the benchmarks.
struct Figures {
  double warmEngine = 0, warmCopy = 0, coldEngine = 0, coldCopy = 0;
  // Each the median of the ratios of a batch of engine calls and the copies
  // right after it: both of a pair meet the machine in the same state.
  double warmRatio = 0, coldRatio = 0;
};
std::map<std::string, Figures> gFigures;
std::string gGlimraFade, gLolcat, gSelf;
struct ProgramFigures {
  double glimraFade = 0, lolcat = 0;
  bool measured = false;
};
ProgramFigures gPrograms;

// ---- warm ----

// Batches of engine calls and of output copies, interleaved, so both meet the
// same machine; each copy, like each rendering, makes a fresh string.
void BM_EngineWarm(benchmark::State& state, const Case& c) {
  Configure(c);
  const std::string text = SampleText(kChatText);
  std::string output = text;
  glimra::FadeEngine(output);
  constexpr int kBatch = 8;
  std::vector<std::string> lines(kBatch);
  std::vector<double> engine, copy, ratios;
  for (auto _ : state) {
    for (std::string& line : lines) line = text;
    const double t0 = ThreadCpuNanoseconds();
    for (std::string& line : lines) glimra::FadeEngine(line);
    const double t1 = ThreadCpuNanoseconds();
    for (int i = 0; i < kBatch; ++i) {
      std::string copied(output);
      benchmark::DoNotOptimize(copied.data());
    }
    const double t2 = ThreadCpuNanoseconds();
    engine.push_back((t1 - t0) / kBatch);
    copy.push_back((t2 - t1) / kBatch);
    ratios.push_back(t2 > t1 ? (t1 - t0) / (t2 - t1) : 0);
    state.SetIterationTime((t1 - t0) / kBatch / 1e9);
  }
  if (lines[0] != output) state.SkipWithError("the rendering changed between calls");
  Figures& f = gFigures[c.name];
  f.warmEngine = Median(engine);
  f.warmCopy = Median(copy);
  f.warmRatio = Median(ratios);
  state.counters["output_bytes"] = static_cast<double>(output.size());
  state.counters["copy_us"] = f.warmCopy / 1e3;
  state.counters["x_copy"] = f.warmRatio;
}

// ---- cold: the first call in a fresh process ----

// Runs this program again with `argument` and reads the number it prints.
double RunChild(const std::string& argument) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  std::vector<char*> argv = {const_cast<char*>(gSelf.c_str()), const_cast<char*>(argument.c_str()), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, gSelf.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::string said;
  char buffer[64];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<std::size_t>(n));
  close(pipeEnds[0]);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atof(said.c_str()) : -1;
}

// In the fresh process: one rendering, or one copy of as many bytes.
int ColdEngineCall(const Case& c) {
  Configure(c);
  std::string line = SampleText(kChatText);
  const double t0 = ThreadCpuNanoseconds();
  glimra::FadeEngine(line);
  const double t1 = ThreadCpuNanoseconds();
  std::printf("%.0f %zu\n", t1 - t0, line.size());
  return 0;
}

int ColdCopy(std::size_t bytes) {
  const std::string source(bytes, 'x');
  const std::string text = SampleText(kChatText);  // the same heap as the engine's child
  const double t0 = ThreadCpuNanoseconds();
  std::string copied(source);
  benchmark::DoNotOptimize(copied.data());
  const double t1 = ThreadCpuNanoseconds();
  std::printf("%.0f\n", t1 - t0);
  return 0;
}

void BM_EngineCold(benchmark::State& state, const Case& c) {
  Configure(c);
  std::string output = SampleText(kChatText);
  glimra::FadeEngine(output);
  std::vector<double> engine, copy, ratios;
  for (auto _ : state) {
    const double e = RunChild(std::string("--cold-engine=") + c.name);
    const double k = RunChild("--cold-copy=" + std::to_string(output.size()));
    if (e < 0 || k < 0) {
      state.SkipWithError("the fresh process failed");
      return;
    }
    engine.push_back(e);
    copy.push_back(k);
    ratios.push_back(k > 0 ? e / k : 0);
    state.SetIterationTime(e / 1e9);
  }
  Figures& f = gFigures[c.name];
  f.coldEngine = Median(engine);
  f.coldCopy = Median(copy);
  f.coldRatio = Median(ratios);
  state.counters["copy_us"] = f.coldCopy / 1e3;
  state.counters["x_copy"] = f.coldRatio;
}

// ---- glimra-fade against lolcat ----

// Runs a program with stdin from `input` and stdout to `output`; its CPU
// time in nanoseconds (user and system), or -1.
double ProgramCpu(const std::vector<std::string>& command, const std::string& input, const std::string& output) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  const auto ns = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e9 + t.tv_usec * 1e3; };
  return ns(usage.ru_utime) + ns(usage.ru_stime);
}

std::string ReadWhole(const std::string& path) {
  std::string text;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
  }
  return text;
}

void BM_TerminalGradient(benchmark::State& state) {
  if (gGlimraFade.empty() || gLolcat.empty()) {
    state.SkipWithError("needs --glimra-fade=PATH and --lolcat=PATH (./run bench passes them)");
    return;
  }
  const std::string folder = "/tmp/glimra-bench-" + std::to_string(getpid());
  const std::string input = folder + "-text.txt", output = folder + "-out.txt";
  if (FILE* file = std::fopen(input.c_str(), "wb")) {
    const std::string text = SampleFile(kChatText);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  // As their users run them: glimra-fade reads standard input; lolcat reads
  // the file, 24-bit colours (-t), forced on although the output is a file (-f).
  const std::vector<std::string> glimraFade = {gGlimraFade, "--format", "ansi"};
  const std::vector<std::string> lolcat = {gLolcat, "-t", "-f", input};
  std::vector<double> ours, theirs;
  for (auto _ : state) {
    const double a = ProgramCpu(glimraFade, input, output);
    const bool oursTrueColour = ReadWhole(output).find("\x1b[38;2;") != std::string::npos;
    const double b = ProgramCpu(lolcat, input, output);
    const bool theirsTrueColour = ReadWhole(output).find("38;2;") != std::string::npos;
    if (a < 0 || b < 0 || !oursTrueColour || !theirsTrueColour) {
      state.SkipWithError("a program failed or wrote no 24-bit colours");
      break;
    }
    ours.push_back(a);
    theirs.push_back(b);
    state.SetIterationTime(a / 1e9);
  }
  std::remove(input.c_str());
  std::remove(output.c_str());
  if (ours.empty()) return;
  gPrograms = {Median(ours), Median(theirs), true};
  state.counters["lolcat_ms"] = gPrograms.lolcat / 1e6;
  state.counters["x_faster"] = gPrograms.lolcat / gPrograms.glimraFade;
}

// ---- what glimra.exe costs under Wine ----

std::string gCosts;  // glimra_costs.exe

// The fixed pauses on the way to the chat tools window when the client is
// already running: attaching to it (1000 ms, then five of 100 ms), the
// start-up steps (seven of 100 ms), and the chat tools timer, whose first
// tick (1000 ms after the window was made) shows the window beside the room.
constexpr double kPausesToLoadedMs = 1000 + 5 * 100 + 7 * 100;
constexpr double kPausesToShownMs = kPausesToLoadedMs + 1000;

double MonotonicNanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// CPU time of every thread of the glimra.exe processes of this Wine prefix,
// in nanoseconds (the first field of each thread's schedstat).
double GlimraCpuNanoseconds() {
  const char* prefix = std::getenv("WINEPREFIX");
  const std::string ours = std::string("WINEPREFIX=") + (prefix ? prefix : "");
  double total = 0;
  DIR* processes = opendir("/proc");
  if (!processes) return -1;
  while (dirent* entry = readdir(processes)) {
    const std::string pid = entry->d_name;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string folder = "/proc/" + pid;
    if (ReadText(folder + "/comm") != "glimra.exe\n") continue;
    std::stringstream environment(ReadText(folder + "/environ"));
    bool inOurPrefix = false;
    for (std::string variable; std::getline(environment, variable, '\0');) inOurPrefix |= variable == ours;
    if (!inOurPrefix) continue;
    if (DIR* threads = opendir((folder + "/task").c_str())) {
      while (dirent* thread = readdir(threads)) {
        if (thread->d_name[0] == '.') continue;
        total += std::atof(ReadText(folder + "/task/" + thread->d_name + "/schedstat").c_str());
      }
      closedir(threads);
    }
  }
  closedir(processes);
  return total;
}

struct CostRun {
  std::map<std::string, std::vector<double>> samples;
  std::string error;
};

// Runs `wine glimra_costs.exe SCENARIO COUNT` and collects its samples. Its
// lines "idle_begin" and "idle_end" bracket a stretch of idling, over which
// glimra.exe's CPU time is read here and scaled to a minute. GLIMRA_WINE names
// the loader (the 64-bit one starts the 64-bit program without emulation).
CostRun RunCosts(const std::string& scenario, int count) {
  const char* loader = std::getenv("GLIMRA_WINE") ? std::getenv("GLIMRA_WINE") : "wine";
  CostRun run;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {{}, "no pipe"};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  const std::string countText = std::to_string(count);
  std::vector<char*> argv = {const_cast<char*>(loader), const_cast<char*>(gCosts.c_str()),
                             const_cast<char*>(scenario.c_str()), const_cast<char*>(countText.c_str()), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, loader, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  FILE* said = fdopen(pipeEnds[0], "r");
  double cpuBegin = 0, timeBegin = 0;
  char line[256];
  while (said && std::fgets(line, sizeof line, said)) {
    char name[128] = {};
    double value = 0;
    if (std::sscanf(line, "%127s %lf", name, &value) != 2) continue;
    if (std::string(name) == "idle_begin") {
      cpuBegin = GlimraCpuNanoseconds();
      timeBegin = MonotonicNanoseconds();
    } else if (std::string(name) == "idle_end") {
      const double cpu = GlimraCpuNanoseconds() - cpuBegin;
      const double window = MonotonicNanoseconds() - timeBegin;
      run.samples["idle_cpu_ms_per_minute"].push_back(cpu / 1e6 * 60e9 / window);
    } else {
      run.samples[name].push_back(value);
    }
  }
  if (said) std::fclose(said);
  int status = 0;
  if (spawned == 0) waitpid(pid, &status, 0);
  if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    run.error = "glimra_costs.exe " + scenario + " failed (status " + std::to_string(WEXITSTATUS(status)) + ")";
  return run;
}

const CostRun& Costs(const std::string& scenario, int count) {
  static std::map<std::string, CostRun> runs;
  auto found = runs.find(scenario);
  if (found == runs.end()) found = runs.emplace(scenario, RunCosts(scenario, count)).first;
  return found->second;
}

constexpr int kStarts = 5, kChatLines = 10, kIdleWindows = 3, kMenuCalls = 50;

struct CostFigures {
  std::map<std::string, double> medians;
  bool measured = false;
};
CostFigures gCostFigures;

// One iteration per sample of `name` (milliseconds) from `scenario`.
void BM_GlimraCost(benchmark::State& state, std::string scenario, int count, std::string name) {
  if (gCosts.empty()) {
    state.SkipWithError("needs --glimra-costs=PATH, run under Wine (./run bench passes it)");
    return;
  }
  const CostRun& run = Costs(scenario, count);
  const auto found = run.samples.find(name);
  if (!run.error.empty() || found == run.samples.end() || found->second.empty()) {
    state.SkipWithError((run.error.empty() ? "no samples of " + name : run.error).c_str());
    return;
  }
  const std::vector<double>& samples = found->second;
  if (std::any_of(samples.begin(), samples.end(), [](double v) { return v < 0; })) {
    state.SkipWithError(("a step of " + name + " did not complete").c_str());
    return;
  }
  std::size_t next = 0;
  for (auto _ : state) state.SetIterationTime(samples[next++ % samples.size()] / 1e3);
  gCostFigures.medians[name] = Median(samples);
  gCostFigures.measured = true;
  state.counters["median_ms"] = Median(samples);
  state.counters["samples"] = static_cast<double>(samples.size());
}

void RegisterCost(const char* label, const char* scenario, int count, const char* name, int samples) {
  benchmark::RegisterBenchmark(("BM_GlimraCost/" + std::string(label)).c_str(), BM_GlimraCost, scenario, count, name)
      ->UseManualTime()
      ->Iterations(samples)
      ->Unit(benchmark::kMillisecond);
}

void RegisterCosts() {
  RegisterCost("enter_to_room_faded", "chat", kChatLines, "faded_shown_ms", kChatLines);
  RegisterCost("enter_to_room_plain", "chat", kChatLines, "plain_shown_ms", kChatLines);
  RegisterCost("enter_to_sent_faded", "chat", kChatLines, "faded_sent_ms", kChatLines);
  RegisterCost("enter_to_sent_plain", "chat", kChatLines, "plain_sent_ms", kChatLines);
  RegisterCost("idle_cpu_per_minute", "idle", kIdleWindows, "idle_cpu_ms_per_minute", kIdleWindows);
  RegisterCost("startup_to_tools_loaded", "startup", kStarts, "loaded_ms", kStarts);
  RegisterCost("startup_to_tools_visible", "startup", kStarts, "visible_ms", kStarts);
  RegisterCost("startup_to_tools_shown", "startup", kStarts, "shown_ms", kStarts);
  RegisterCost("process_doing_nothing", "startup", kStarts, "nothing_ms", kStarts);
  RegisterCost("remote_menu_call", "menu", kMenuCalls, "menu_call_ms", kMenuCalls);
  RegisterCost("remote_menu_call_hooked", "menu", kMenuCalls, "menu_hooked_call_ms", kMenuCalls);
}

void RegisterAll() {
  for (const Case& c : Cases())
    benchmark::RegisterBenchmark(("BM_EngineWarm/" + std::string(c.name)).c_str(), BM_EngineWarm, c)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  for (const Case& c : Cases())
    benchmark::RegisterBenchmark(("BM_EngineCold/" + std::string(c.name)).c_str(), BM_EngineCold, c)
        ->UseManualTime()
        ->Iterations(15)
        ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_TerminalGradient/glimra-fade_vs_lolcat", BM_TerminalGradient)
      ->UseManualTime()
      ->Iterations(3)
      ->Unit(benchmark::kMillisecond);
  RegisterCosts();
}

void PrintCosts() {
  if (!gCostFigures.measured) return;
  const auto figure = [](const char* name) {
    const auto found = gCostFigures.medians.find(name);
    return found == gCostFigures.medians.end() ? -1.0 : found->second;
  };
  std::printf(
      "\nglimra.exe under Wine beside the stand-in AOL client (wall-clock medians; pauses are the program's\n"
      "own fixed waits on that way):\n");
  if (figure("faded_shown_ms") >= 0)
    std::printf(
        "  Enter in the chat box to the line shown in the room: faded %.1f ms, plain %.1f ms (fading adds %.1f ms);\n"
        "    to the line sent (the client logs it): faded %.1f ms, plain %.1f ms; pauses on that way: none\n",
        figure("faded_shown_ms"), figure("plain_shown_ms"), figure("faded_shown_ms") - figure("plain_shown_ms"),
        figure("faded_sent_ms"), figure("plain_sent_ms"));
  if (figure("idle_cpu_ms_per_minute") >= 0)
    std::printf(
        "  idle beside a signed-on client with a room open: %.1f ms of CPU a minute (%d windows of 10 s, each\n"
        "    scaled to a minute; the chat tools timer ticks every second); pauses cost no CPU\n",
        figure("idle_cpu_ms_per_minute"), kIdleWindows);
  if (figure("shown_ms") >= 0)
    std::printf(
        "  start-up beside a running client with a room open: chat tools window loaded (menu in place) %.0f ms,\n"
        "    of which pauses %.0f ms; shown beside the room and painted %.0f ms, of which pauses %.0f ms: %.0f ms\n"
        "    beyond them (visible, before painting, at %.0f ms; a program that does nothing takes %.0f ms to start\n"
        "    and end under this Wine)\n",
        figure("loaded_ms"), kPausesToLoadedMs, figure("shown_ms"), kPausesToShownMs,
        figure("shown_ms") - kPausesToShownMs, figure("visible_ms"), figure("nothing_ms"));
  if (figure("menu_call_ms") >= 0)
    std::printf(
        "  one remote menu call on the client's menu bar: %.2f ms through the helper resident in the client;\n"
        "    %.2f ms when a hook is installed and removed for it (how the helper is made)\n",
        figure("menu_call_ms"), figure("menu_hooked_call_ms"));
}

void PrintSummary() {
  if (!gFigures.empty()) {
    std::printf(
        "\nThe engine against a copy of its output, %zu characters, bold (thread CPU time, medians;\n"
        "each ratio the median of the ratios of calls and copies measured back to back):\n",
        kChatText);
    std::printf("  %-10s %12s %12s %8s %12s %12s %8s\n", "line", "warm engine", "warm copy", "ratio", "cold engine",
                "cold copy", "ratio");
  }
  for (const Case& c : Cases()) {
    const auto found = gFigures.find(c.name);
    if (found == gFigures.end()) continue;
    const Figures& f = found->second;
    std::printf("  %-10s %9.1f us %9.1f us %7.2fx %9.1f us %9.1f us %7.2fx\n", c.name, f.warmEngine / 1e3,
                f.warmCopy / 1e3, f.warmRatio, f.coldEngine / 1e3, f.coldCopy / 1e3, f.coldRatio);
  }
  if (gPrograms.measured)
    std::printf(
        "\nglimra-fade --format ansi against lolcat -t -f, the same %zu-character file (process CPU time, medians):\n"
        "  glimra-fade %.1f ms, lolcat %.1f ms: lolcat takes %.0fx as long\n",
        kChatText, gPrograms.glimraFade / 1e6, gPrograms.lolcat / 1e6, gPrograms.lolcat / gPrograms.glimraFade);
}

}  // namespace

int main(int argc, char** argv) {
  gSelf = "/proc/self/exe";
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) gSelf.assign(self, static_cast<std::size_t>(n));
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    const auto value = [&](const char* prefix) -> const char* {
      return argument.rfind(prefix, 0) == 0 ? argv[i] + std::strlen(prefix) : nullptr;
    };
    if (const char* name = value("--cold-engine=")) {
      const Case* c = FindCase(name);
      return c ? ColdEngineCall(*c) : 2;
    }
    if (const char* bytes = value("--cold-copy=")) return ColdCopy(std::strtoull(bytes, nullptr, 10));
    if (const char* path = value("--glimra-fade=")) {
      gGlimraFade = path;
    } else if (const char* path = value("--lolcat=")) {
      gLolcat = path;
    } else if (const char* path = value("--glimra-costs=")) {
      gCosts = path;
    } else {
      rest.push_back(argv[i]);
    }
  }
  int restCount = static_cast<int>(rest.size());
  rest.push_back(nullptr);
  RegisterAll();
  benchmark::Initialize(&restCount, rest.data());
  if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  PrintCosts();
  return 0;
}
