// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "datagen/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>

#include "datagen/common.h"

namespace zep::datagen {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;

std::size_t Samples(double seconds) {
    return static_cast<std::size_t>(std::lround(seconds * kSynthRate));
}

double Seconds(std::size_t i) { return static_cast<double>(i) / kSynthRate; }

// Tonal voices rise from silence over their first 3 ms (before any loop),
// so a note never starts with a step whatever its envelope does.
constexpr std::size_t kFadeIn = 132;

double Noise(Rng& rng) { return 2.0 * rng.Uniform() - 1.0; }

// Raised-cosine ramps: the first `rise` samples grow from zero, the last
// `fall` samples sink to zero, so a one-shot sound neither starts nor stops
// with a step.
void ShapeEdges(std::vector<double>& d, std::size_t rise, std::size_t fall) {
    const std::size_t n = d.size();
    for (std::size_t i = 0; i < rise && i < n; ++i)
        d[i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(rise));
    for (std::size_t i = 0; i < fall && i < n; ++i)
        d[n - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(fall));
}

// A second-order filter section (the usual audio-cookbook forms).
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    double Run(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
    void Set(double c0, double c1, double c2, double d0, double d1, double d2) {
        b0 = c0 / d0;
        b1 = c1 / d0;
        b2 = c2 / d0;
        a1 = d1 / d0;
        a2 = d2 / d0;
    }
    void HighPass(double hz, double q) {
        const double w = kTwoPi * hz / kSynthRate, alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
        Set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
    }
    void LowPass(double hz, double q) {
        const double w = kTwoPi * hz / kSynthRate, alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
        Set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
    }
    void BandPass(double hz, double q) {  // 0 dB at the centre
        const double w = kTwoPi * hz / kSynthRate, alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
        Set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
    }
};

// One period of a sine over `n` samples. A partial that makes k whole cycles
// in n samples reads entry (k * i + offset) mod n at sample i: exactly
// periodic in n, with no phase drift.
class SineTable {
public:
    explicit SineTable(std::size_t n) : table_(n) {
        for (std::size_t j = 0; j < n; ++j)
            table_[j] = std::sin(kTwoPi * static_cast<double>(j) / static_cast<double>(n));
    }
    double At(std::uint64_t cycles, std::uint64_t i, std::uint64_t offset) const {
        return table_[(cycles * i + offset) % table_.size()];
    }
    std::size_t Size() const { return table_.size(); }

private:
    std::vector<double> table_;
};

// Magnitude of a gentle two-pole low-pass at harmonic h for cutoff harmonic hc.
double Rolloff(double h, double hc) {
    const double r = h / hc;
    return 1.0 / std::sqrt(1.0 + r * r * r * r);
}

// How far a timbre sweep still is from its settled state: 1 at the start,
// 0 from `settle` seconds on, smooth in between.
double Unsettled(double t, double settle) {
    if (t >= settle) return 0.0;
    const double u = 1.0 - t / settle;
    return u * u * u;
}

// C-5 playback rate for a waveform whose period is `period` samples.
std::uint32_t C5Speed(std::size_t period) {
    return static_cast<std::uint32_t>(std::lround(kMiddleC * static_cast<double>(period)));
}

// One oscillator of an additive sound: `cycles` periods per table length,
// all harmonics or only the odd ones (a square rather than a saw), each
// harmonic starting at its own offset into the table.
struct Voice {
    std::uint64_t cycles = 1;
    double gain = 1.0;
    bool odd_only = false;
    std::vector<std::uint64_t> offsets;  // per harmonic
};

// Sums the voices' harmonics 1 to `harmonics` over `length` samples;
// harmonic h at time t (seconds at kSynthRate) has amplitude amp(h, t).

std::vector<double> Additive(const SineTable& table, const std::vector<Voice>& voices,
                             int harmonics, std::size_t length,
                             const std::function<double(int h, double t)>& amp) {
    std::vector<double> out(length, 0.0);
    std::vector<double> gains(static_cast<std::size_t>(harmonics) + 1);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = Seconds(i);
        for (int h = 1; h <= harmonics; ++h) gains[static_cast<std::size_t>(h)] = amp(h, t);
        double v = 0.0;
        for (const Voice& voice : voices) {
            for (int h = 1; h <= harmonics; ++h) {
                if (voice.odd_only && h % 2 == 0) continue;
                const auto hu = static_cast<std::uint64_t>(h);
                v += voice.gain * gains[static_cast<std::size_t>(h)] *
                     table.At(voice.cycles * hu, i, voice.offsets[static_cast<std::size_t>(h - 1)]);
            }
        }
        out[i] = v;
    }
    return out;
}

std::vector<std::uint64_t> PhaseOffsets(Rng& rng, int harmonics, std::size_t table, bool random) {
    std::vector<std::uint64_t> offsets(static_cast<std::size_t>(harmonics), 0);
    if (random)
        for (auto& o : offsets) o = rng.Next() % table;
    return offsets;
}

// Metallic clang for cymbals: square waves at inharmonic ratios.
double Metal(double t, const double* freqs, int count) {
    double v = 0.0;
    for (int k = 0; k < count; ++k) v += std::sin(kTwoPi * freqs[k] * t) >= 0.0 ? 1.0 : -1.0;
    return v / count;
}

}  // namespace

Sound Kick() {
    Sound s;
    const std::size_t n = Samples(0.42);
    s.data.resize(n);
    Rng rng(11);
    Biquad click;
    click.LowPass(3000.0, 0.7);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        // Pitch falls from about 470 Hz to 44 Hz: the closed-form phase of
        // f(t) = 44 + 130 e^(-t/0.03) + 300 e^(-t/0.004).
        const double phase = kTwoPi * (44.0 * t + 130.0 * 0.03 * (1.0 - std::exp(-t / 0.03)) +
                                       300.0 * 0.004 * (1.0 - std::exp(-t / 0.004)));
        const double body = std::sin(phase) * std::exp(-t / 0.22);
        const double tick = click.Run(Noise(rng)) * std::exp(-t / 0.002) * 0.3;
        s.data[i] = std::tanh(1.4 * (body + tick)) / std::tanh(1.4);
    }
    ShapeEdges(s.data, 8, Samples(0.03));
    return s;
}

Sound Snare() {
    Sound s;
    const std::size_t n = Samples(0.32);
    s.data.resize(n);
    Rng rng(23);
    Biquad high, snap;
    high.HighPass(1200.0, 0.7);
    snap.BandPass(5200.0, 1.2);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        const double body_phase = kTwoPi * (175.0 * t + 60.0 * 0.01 * (1.0 - std::exp(-t / 0.01)));
        const double body = 0.55 * std::sin(body_phase) * std::exp(-t / 0.055) +
                            0.25 * std::sin(kTwoPi * 330.0 * t) * std::exp(-t / 0.035);
        const double white = Noise(rng);
        const double hiss = (0.7 * high.Run(white) + 0.5 * snap.Run(white)) * std::exp(-t / 0.085);
        s.data[i] = body + hiss;
    }
    ShapeEdges(s.data, Samples(0.001), Samples(0.03));
    return s;
}

Sound Clap() {
    Sound s;
    const std::size_t n = Samples(0.4);
    s.data.resize(n);
    Rng rng(37);
    Biquad band, high;
    band.BandPass(1300.0, 1.2);
    high.HighPass(600.0, 0.7);
    const double bursts[] = {0.0, 0.011, 0.022, 0.031};
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        double env = 0.0;
        for (double b : bursts)
            if (t >= b) env = std::max(env, std::exp(-(t - b) / 0.005));
        if (t >= bursts[3]) env = std::max(env, 0.6 * std::exp(-(t - bursts[3]) / 0.09));
        s.data[i] = band.Run(high.Run(Noise(rng))) * env;
    }
    ShapeEdges(s.data, Samples(0.0005), Samples(0.03));
    return s;
}

Sound Hat(double decay_seconds, double length_seconds) {
    static const double kFreqs[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    Sound s;
    const std::size_t n = Samples(length_seconds);
    s.data.resize(n);
    Rng rng(53);
    Biquad high1, high2, air;
    high1.HighPass(7000.0, 0.7);
    high2.HighPass(7000.0, 0.7);
    air.BandPass(10500.0, 1.0);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        const double raw = 0.55 * Metal(t, kFreqs, 6) + 0.45 * Noise(rng);
        const double bright = high2.Run(high1.Run(raw));
        s.data[i] = (bright + 0.6 * air.Run(raw)) * std::exp(-t / decay_seconds);
    }
    ShapeEdges(s.data, Samples(0.0003), Samples(std::min(0.02, length_seconds / 4)));
    return s;
}

Sound Crash() {
    static const double kFreqs[] = {245.0, 328.3, 427.1, 538.2, 612.9, 763.7, 871.4, 1020.6};
    Sound s;
    const std::size_t n = Samples(2.4);
    s.data.resize(n);
    Rng rng(71);
    Biquad high, low;
    high.HighPass(3500.0, 0.7);
    low.LowPass(12000.0, 0.7);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        const double raw = 0.35 * Metal(t, kFreqs, 8) + 0.65 * Noise(rng);
        s.data[i] = low.Run(high.Run(raw)) * std::exp(-t / 0.8);
    }
    ShapeEdges(s.data, Samples(0.001), Samples(0.25));
    return s;
}

Sound Riser(double seconds) {
    Sound s;
    const std::size_t n = Samples(seconds);
    s.data.resize(n);
    Rng rng(89);
    Biquad band;
    for (std::size_t i = 0; i < n; ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(n);
        band.BandPass(400.0 * std::pow(15.0, u), 1.8);  // 400 Hz up to 6 kHz
        s.data[i] = band.Run(Noise(rng)) * u * u;
    }
    ShapeEdges(s.data, 0, Samples(0.01));
    return s;
}

namespace {

// A tone that rises from silence and loops over samples [begin, end) of
// `data`; one period of `period` samples plays as C-5.
Sound LoopedSound(std::vector<double> data, std::size_t period, std::size_t begin, std::size_t end) {
    Sound s;
    s.data = std::move(data);
    ShapeEdges(s.data, kFadeIn, 0);
    s.c5_speed = C5Speed(period);
    s.loop = true;
    s.loop_begin = begin;
    s.loop_end = end;
    return s;
}

}  // namespace

Sound Bass() {
    // One period is 800 samples; note A-1 plays it at about 44 kHz, so the
    // filter sweep below runs in about real time on the bass's low notes.
    constexpr std::size_t kPeriod = 800;
    constexpr int kHarmonics = 64;
    constexpr double kSettle = 0.3;
    const SineTable table(kPeriod);
    Rng rng(101);
    std::vector<Voice> voices(2);
    voices[0] = {1, 1.0, false, PhaseOffsets(rng, kHarmonics, kPeriod, false)};
    voices[1] = {1, 0.5, true, PhaseOffsets(rng, kHarmonics, kPeriod, false)};
    const std::size_t settle = Samples(kSettle);
    const std::size_t begin = (settle + kPeriod - 1) / kPeriod * kPeriod;
    return LoopedSound(Additive(table, voices, kHarmonics, begin + kPeriod,
                                [&](int h, double t) {
                                    const double hc = 5.0 + 19.0 * Unsettled(t, kSettle);
                                    return Rolloff(h, hc) / h;
                                }),
                       kPeriod, begin, begin + kPeriod);
}

Sound Pad() {
    // 128 periods of 168 samples form the loop; the five saws make 126 to
    // 130 cycles in it, so they beat slowly against each other yet all
    // return to their starting phase at the loop's end. The loop begins
    // after a few periods so that the sound can start from silence.
    constexpr std::size_t kPeriod = 168;
    constexpr std::size_t kLoop = kPeriod * 128;
    constexpr std::size_t kBegin = kPeriod * 8;
    constexpr int kHarmonics = 40;
    const SineTable table(kLoop);
    Rng rng(131);
    const double gains[] = {0.6, 0.85, 1.0, 0.85, 0.6};
    std::vector<Voice> voices;
    for (int k = 0; k < 5; ++k)
        voices.push_back({static_cast<std::uint64_t>(126 + k), gains[k], false,
                          PhaseOffsets(rng, kHarmonics, kLoop, true)});
    return LoopedSound(Additive(table, voices, kHarmonics, kBegin + kLoop,
                                [](int h, double) { return Rolloff(h, 7.0) / h; }),
                       kPeriod, kBegin, kBegin + kLoop);
}

Sound Lead() {
    // Period 100 samples (A-4 plays at about 44 kHz); the loop holds 256
    // periods, and two saws make 255 and 257 cycles in it: a slow chorus
    // centred on the true pitch.
    constexpr std::size_t kPeriod = 100;
    constexpr std::size_t kLoop = kPeriod * 256;
    constexpr int kHarmonics = 24;
    constexpr double kSettle = 0.12;
    const SineTable table(kLoop);
    Rng rng(151);
    std::vector<Voice> voices;
    voices.push_back({255, 0.9, false, PhaseOffsets(rng, kHarmonics, kLoop, false)});
    voices.push_back({257, 0.9, false, PhaseOffsets(rng, kHarmonics, kLoop, true)});
    voices.push_back({256, 0.45, true, PhaseOffsets(rng, kHarmonics, kLoop, true)});
    const std::size_t begin = (Samples(kSettle) + kLoop - 1) / kLoop * kLoop;
    return LoopedSound(Additive(table, voices, kHarmonics, begin + kLoop,
                                [&](int h, double t) {
                                    return Rolloff(h, 8.0 + 10.0 * Unsettled(t, kSettle)) / h;
                                }),
                       kPeriod, begin, begin + kLoop);
}

Sound Pluck() {
    // Higher harmonics die away faster, as on a plucked string.
    constexpr std::size_t kPeriod = 100;
    constexpr int kHarmonics = 20;
    const SineTable table(kPeriod);
    std::vector<Voice> voices;
    voices.push_back({1, 1.0, false, std::vector<std::uint64_t>(kHarmonics, 0)});
    voices.push_back({1, 0.6, true, std::vector<std::uint64_t>(kHarmonics, 0)});
    Sound s;
    s.data = Additive(table, voices, kHarmonics, Samples(0.7), [](int h, double t) {
        return std::exp(-t * (4.0 + 2.5 * h)) / h;
    });
    ShapeEdges(s.data, kFadeIn, Samples(0.04));
    s.c5_speed = C5Speed(kPeriod);
    return s;
}

ItSample ToItSample(const std::string& name, const Sound& sound, double peak) {
    double largest = 0.0;
    for (double v : sound.data) largest = std::max(largest, std::abs(v));
    const double scale = largest > 0.0 ? peak * 32767.0 / largest : 0.0;
    ItSample smp;
    smp.name = name;
    smp.c5_speed = sound.c5_speed;
    smp.data.resize(sound.data.size());
    for (std::size_t i = 0; i < sound.data.size(); ++i) {
        const long v = std::lround(sound.data[i] * scale);
        smp.data[i] = static_cast<std::int16_t>(std::clamp(v, -32767L, 32767L));
    }
    smp.loop = sound.loop;
    smp.loop_begin = static_cast<std::uint32_t>(sound.loop_begin);
    smp.loop_end = static_cast<std::uint32_t>(sound.loop_end);
    return smp;
}

}  // namespace zep::datagen
