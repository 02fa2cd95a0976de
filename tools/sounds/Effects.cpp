#include "tools/sounds/Effects.h"

#include "tools/sounds/CWaveFile.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

// Gain of a resonance at 'centre' with the given bandwidth, at frequency f.
double Resonance(double f, double centre, double width) {
    double d = (f - centre) / width;
    return 1.0 / (1.0 + d * d);
}

// Deterministic noise, the same on every build.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    double Next() {
        state = state * 1664525u + 1013904223u;
        return (static_cast<double>(state >> 8) / 8388608.0) - 1.0;
    }
    uint32_t state;
};

// A two-pole band-pass filter.
class Resonator {
public:
    Resonator(double centre, double q) {
        double w = 2.0 * kPi * centre / kEffectRate;
        double alpha = std::sin(w) / (2.0 * q);
        double a0 = 1.0 + alpha;
        b0 = alpha / a0;
        a1 = -2.0 * std::cos(w) / a0;
        a2 = (1.0 - alpha) / a0;
    }
    double Run(double x) {
        double y = b0 * x - b0 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
    double b0, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// Levels as the game mixes them: effects at the mixer's full volume over songs that peak about
// 6 dB under full scale. The yelp peaks 8 dB under full scale, so a hit over the loudest song
// still sums to less than full scale; the bite is as loud (RMS) as the level-one song it plays
// over. No effect comes nearer full scale than the headroom.
const double kOuchPeakDb = -8.0;
const double kMunchRmsDb = -25.3;
const double kHeadroomDb = -1.0;

double Decibels(double amplitude) { return 20.0 * std::log10(amplitude); }

double Peak(const std::vector<float>& samples) {
    double peak = 0.0;
    for (float v : samples)
        peak = std::fmax(peak, std::fabs(v));
    return peak;
}

double Rms(const std::vector<float>& samples) {
    double sum = 0.0;
    for (float v : samples)
        sum += static_cast<double>(v) * v;
    return samples.empty() ? 0.0 : std::sqrt(sum / samples.size());
}

// Scales the samples by the gain in decibels, but never past the headroom.
std::vector<uint8_t> ToWave(std::vector<float> samples, double gainDb) {
    const double peak = Peak(samples);
    if (peak > 0.0) gainDb = std::fmin(gainDb, kHeadroomDb - Decibels(peak));
    const double gain = std::pow(10.0, gainDb / 20.0);
    for (float& v : samples)
        v = static_cast<float>(v * gain);
    CWaveFile wave(kEffectRate);
    wave.Append(samples);
    return wave.Bytes();
}

}  // namespace

std::vector<uint8_t> SynthesizeOuch() {
    // A sharp rising yelp falling into a rasping, nasal quack.
    const double seconds = 0.42;
    const int count = static_cast<int>(seconds * kEffectRate);
    std::vector<float> out(count);
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / kEffectRate;
        double pitch = t < 0.05 ? 430.0 + 260.0 * (t / 0.05)
                                : 690.0 - 330.0 * std::pow((t - 0.05) / (seconds - 0.05), 0.7);
        pitch *= 1.0 + 0.03 * std::sin(2.0 * kPi * 9.0 * t);
        phase += 2.0 * kPi * pitch / kEffectRate;
        double sample = 0.0;
        for (int k = 1; k <= 24; ++k) {
            double f = pitch * k;
            if (f > 9000.0) break;
            double gain = 0.25 * Resonance(f, 1150.0, 260.0) + 0.7 * Resonance(f, 2600.0, 420.0) + 0.08 / k;
            sample += gain * std::sin(k * phase);
        }
        // The rasp: a fast flutter of the voice.
        sample *= 0.75 + 0.25 * std::sin(2.0 * kPi * 38.0 * t);
        double attack = std::fmin(1.0, t / 0.008);
        double release = std::fmin(1.0, (seconds - t) / 0.12);
        out[i] = static_cast<float>(sample * attack * release);
    }
    return ToWave(out, kOuchPeakDb - Decibels(Peak(out)));
}

std::vector<uint8_t> SynthesizeMunch() {
    const double seconds = 0.62;
    const double bites[3] = {0.0, 0.2, 0.4};
    const int count = static_cast<int>(seconds * kEffectRate);
    std::vector<float> out(count, 0.0f);
    Noise noise(0xC0FFEEu);
    Resonator crisp(2900.0, 1.6);
    Resonator body(850.0, 2.2);
    for (int i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / kEffectRate;
        double crunch = 0.0;
        double thump = 0.0;
        for (double start : bites) {
            double u = t - start;
            if (u < 0.0 || u > 0.2) continue;
            double envelope = std::exp(-u / 0.045) * std::fmin(1.0, u / 0.002);
            crunch += envelope;
            thump += std::exp(-u / 0.03) * std::sin(2.0 * kPi * (140.0 - 200.0 * u) * u);
        }
        double n = noise.Next();
        // Crackle: sparse loud grains on top of the hiss make it crunchy.
        double grain = (noise.Next() > 0.93) ? noise.Next() * 3.0 : 0.0;
        double x = (n + grain) * crunch;
        double y = 0.9 * crisp.Run(x) + 0.6 * body.Run(x) + 0.35 * thump;
        double fade = std::fmin(1.0, (seconds - t) / 0.01);
        out[i] = static_cast<float>(y * fade);
    }
    return ToWave(out, kMunchRmsDb - Decibels(Rms(out)));
}
