// Reading and writing the solution-steps format.
#include "levelcheck/steps.h"

#include <sstream>

namespace {

// Longest hold or wait a step may ask for: over four hours of play, far beyond any level, and a bound on
// the time a mistyped number can cost.
constexpr long MAX_FRAMES = 1000000;
// The same bound on a whole file, so no file of steps keeps a replay going for hours.
constexpr long MAX_TOTAL_FRAMES = MAX_FRAMES;

const char* const ARROW_WORDS[] = {"left", "right", "up", "down"};

// A whole positive decimal number up to limit, nothing else.
bool ReadCount(const std::string& word, long limit, int& value) {
  if (word.empty() || word.size() > 9) return false;
  long n = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > limit) return false;
  value = static_cast<int>(n);
  return true;
}

bool ReadArrow(const std::string& word, unsigned& bit) {
  for (unsigned i = 0; i < 4; ++i) {
    if (word == ARROW_WORDS[i]) {
      bit = 1u << i;
      return true;
    }
  }
  return false;
}

// "left", "up+right": one arrow or two different ones joined by '+'.
bool ReadArrows(const std::string& word, unsigned& arrows) {
  const size_t plus = word.find('+');
  unsigned first = 0;
  if (plus == std::string::npos) {
    if (!ReadArrow(word, first)) return false;
    arrows = first;
    return true;
  }
  unsigned second = 0;
  if (!ReadArrow(word.substr(0, plus), first) || !ReadArrow(word.substr(plus + 1), second) || first == second)
    return false;
  arrows = first | second;
  return true;
}

// Up or down first, as a person says "up and right".
std::string ArrowsWord(unsigned arrows) {
  std::string dirs;
  for (unsigned i : {2u, 3u, 0u, 1u}) {
    if ((arrows & (1u << i)) == 0) continue;
    if (!dirs.empty()) dirs += '+';
    dirs += ARROW_WORDS[i];
  }
  return dirs;
}

bool ReadKind(const std::string& word, ObjectType& kind) {
  for (ObjectType k : {Rock, Paper, Scissors, Key, Ladder, Door}) {
    if (word == KindWord(k)) {
      kind = k;
      return true;
    }
  }
  return false;
}

// One line's words into a step; error says what is wrong when it is none.
bool ReadStep(const std::vector<std::string>& w, Step& step, std::string& error) {
  const std::string& verb = w[0];
  auto wantWords = [&](size_t n, const char* form) {
    if (w.size() == n) return true;
    error = std::string("expected \"") + form + "\"";
    return false;
  };
  auto wantFrames = [&](const std::string& word) {
    if (ReadCount(word, MAX_FRAMES, step.frames)) return true;
    error = "\"" + word + "\" is no number of frames (1 to 1000000)";
    return false;
  };
  if (verb == "click") {
    if (!wantWords(3, "click <kind> <n>")) return false;
    step.kind = StepKind::Click;
    if (!ReadKind(w[1], step.objectKind)) {
      error = "no such kind \"" + w[1] + "\" (rock, paper, scissors, key, ladder or door)";
      return false;
    }
    if (!ReadCount(w[2], MAX_OBJECTS, step.number)) {
      error = "\"" + w[2] + "\" is no object number (1 to 100)";
      return false;
    }
    return true;
  }
  if (verb == "leave") {
    // "leave left": let go while the arrow is still held, so a walking key walks on by itself.
    step.kind = StepKind::Leave;
    if (w.size() == 1) return true;
    if (!wantWords(2, "leave [<dirs>]")) return false;
    if (ReadArrows(w[1], step.arrows)) return true;
    error = "\"" + w[1] + "\" is no arrow (left, right, up, down, or two joined by '+')";
    return false;
  }
  if (verb == "hold") {
    if (!wantWords(3, "hold <dirs> <frames>")) return false;
    step.kind = StepKind::Hold;
    if (!ReadArrows(w[1], step.arrows)) {
      error = "\"" + w[1] + "\" is no arrow (left, right, up, down, or two joined by '+')";
      return false;
    }
    return wantFrames(w[2]);
  }
  if (verb == "press") {
    if (!wantWords(2, "press <digit>")) return false;
    step.kind = StepKind::Press;
    if (w[1].size() != 1 || w[1][0] < '3' || w[1][0] > '6') {
      error = "\"" + w[1] + "\" is no kind key (3, 4, 5 or 6)";
      return false;
    }
    step.digit = w[1][0] - '0';
    return true;
  }
  if (verb == "wait") {
    if (!wantWords(2, "wait <frames>")) return false;
    step.kind = StepKind::Wait;
    return wantFrames(w[1]);
  }
  error = "\"" + verb + "\" is no step (click, leave, hold, press or wait)";
  return false;
}

}  // namespace

const char* KindWord(ObjectType kind) {
  switch (kind) {
    case Rock:
      return "rock";
    case Paper:
      return "paper";
    case Scissors:
      return "scissors";
    case Key:
      return "key";
    case Ladder:
      return "ladder";
    case Door:
      return "door";
    case BlueCreature:
    case GreenCreature:
      return "";
  }
  return "";
}

bool ReadSteps(std::istream& in, std::vector<Step>& steps, std::string& error) {
  std::string text;
  long total = 0;  // frames the steps play, a click or a press counting one
  for (int line = 1; std::getline(in, text); ++line) {
    const size_t hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    std::istringstream words(text);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    Step step;
    step.line = line;
    std::string why;
    if (!ReadStep(w, step, why)) {
      error = "line " + std::to_string(line) + ": " + why;
      return false;
    }
    total += step.frames > 0 ? step.frames : 1;
    if (total > MAX_TOTAL_FRAMES) {
      error = "line " + std::to_string(line) + ": the steps so far play more than " + std::to_string(MAX_TOTAL_FRAMES) +
              " frames";
      return false;
    }
    steps.push_back(step);
  }
  return true;
}

std::string FormatStep(const Step& step) {
  switch (step.kind) {
    case StepKind::Click:
      return std::string("click ") + KindWord(step.objectKind) + " " + std::to_string(step.number);
    case StepKind::Leave:
      return step.arrows == 0 ? "leave" : "leave " + ArrowsWord(step.arrows);
    case StepKind::Hold:
      return "hold " + ArrowsWord(step.arrows) + " " + std::to_string(step.frames);
    case StepKind::Press:
      return "press " + std::to_string(step.digit);
    case StepKind::Wait:
      return "wait " + std::to_string(step.frames);
  }
  return "";
}
