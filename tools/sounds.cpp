// The two sound effects, synthesised sample by sample: a soft footstep and a springy bounce.
#include "tools/sounds.h"

#include <algorithm>

#include "tools/steady_math.h"

namespace {

constexpr uint32_t RATE = 22050;  // the rate the game mixes at, so no resampling is needed

// Clamps to [-1, 1].
double Clip(double v) { return std::clamp(v, -1.0, 1.0); }

}  // namespace

Bytes MakeStepWave() {
  // A muffled thump whose pitch drops, with a short brush of soft noise on top: 90 ms.
  const int count = static_cast<int>(RATE * 0.09);
  Lcg noise{777u};
  Bytes data;
  double phase = 0, lowpass = 0;
  for (int i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / RATE, left = 1.0 - static_cast<double>(i) / count;
    double freq = 70.0 + 90.0 * left * left;
    phase += 2 * PI * freq / RATE;
    double thump = Sine(phase) * left * left * left;
    lowpass += 0.18 * ((noise.Next() * 2 - 1) - lowpass);  // soften the noise into a brush
    double brush = lowpass * (t < 0.03 ? 1.0 - t / 0.03 : 0.0);
    double attack = std::min(1.0, t / 0.002);
    double v = Clip(attack * (0.55 * thump + 0.9 * brush));
    data.push_back(static_cast<uint8_t>(std::clamp(128.0 + 127.0 * v + 0.5, 0.0, 255.0)));
  }
  return EncodeWav({1, RATE, 8}, data);
}

Bytes MakeBounceWave() {
  // A boing: a tone gliding up with a wobble that dies away, like a spring let go: 350 ms.
  const int count = static_cast<int>(RATE * 0.35);
  Bytes data;
  double phaseL = 0, phaseR = 0;
  for (int i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / RATE, left = 1.0 - static_cast<double>(i) / count;
    double glide = 170.0 + 230.0 * (1.0 - left * left);
    double wobble = 0.22 * left * left;
    double fl = glide * (1.0 + wobble * Sine(2 * PI * 15.0 * t));
    double fr = glide * (1.0 + wobble * Sine(2 * PI * 15.0 * t + 0.6));  // a touch wider than mono
    phaseL += 2 * PI * fl / RATE;
    phaseR += 2 * PI * fr / RATE;
    double envelope = std::min(1.0, t / 0.004) * left * left;
    double sl = Clip(envelope * (0.62 * Sine(phaseL) + 0.18 * Sine(2 * phaseL)));
    double sr = Clip(envelope * (0.62 * Sine(phaseR) + 0.18 * Sine(2 * phaseR)));
    for (double s : {sl, sr}) {
      int v = static_cast<int>(s * 32767.0 + (s < 0 ? -0.5 : 0.5));
      data.push_back(static_cast<uint8_t>(v & 0xFF));
      data.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
  }
  return EncodeWav({2, RATE, 16}, data);
}
