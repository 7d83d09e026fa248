// Arbitrary bytes as a solution-steps file: the reader refuses or reads, and every step it reads writes
// back as a line that reads as the same step.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "levelcheck/steps.h"

// Aborts, so libFuzzer keeps the input that broke the rule.
#define CHECK(condition)                                                               \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "steps_fuzz: %s failed (line %d)\n", #condition, __LINE__); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<Step> steps;
  std::string error;
  if (!ReadSteps(in, steps, error)) {
    CHECK(error.rfind("line ", 0) == 0);
    return 0;
  }
  long total = 0;
  for (const Step& step : steps) {
    CHECK(step.frames >= 0 && step.frames <= 1000000);
    total += step.frames;
    std::istringstream line(FormatStep(step));
    std::vector<Step> again;
    CHECK(ReadSteps(line, again, error) && again.size() == 1);
    const Step& back = again[0];
    CHECK(back.kind == step.kind && back.arrows == step.arrows && back.frames == step.frames &&
          back.digit == step.digit && back.number == step.number &&
          (step.kind != StepKind::Click || back.objectKind == step.objectKind));
  }
  CHECK(total <= 1000000);
  return 0;
}
