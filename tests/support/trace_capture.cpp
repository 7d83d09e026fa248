// The trace catcher: a sink that keeps the pieces.
#include "support/trace_capture.h"

#include "platform/error_trace.h"

namespace {

std::vector<std::string> pieces;

void KeepPiece(const char* piece) { pieces.emplace_back(piece); }

}  // namespace

void StartTraceCapture() {
  pieces.clear();
  SetTraceSink(KeepPiece);
}

void StopTraceCapture() {
  pieces.clear();
  SetTraceSink(nullptr);
}

const std::vector<std::string>& TracedPieces() { return pieces; }

std::vector<std::string> TracedLines() {
  std::vector<std::string> lines;
  std::string line;
  for (const std::string& piece : pieces) {
    if (piece == "\n") {
      lines.push_back(line);
      line.clear();
    } else {
      line += piece;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool Traced(const std::string& message) {
  for (const std::string& line : TracedLines()) {
    if (line.find(message + " hr=") != std::string::npos) return true;
  }
  return false;
}
