// A placeholder soundtrack: a soft looped tone playing a slow chord cycle for
// the length of the demo.
#include <cmath>

#include "datagen/datagen.h"
#include "datagen/it_writer.h"

namespace zep::datagen {
namespace {

ItSample SoftTone() {
    // 441 Hz at C-5: exactly 100 samples a cycle at 44100 Hz, so a loop of
    // whole cycles joins without a click.
    ItSample s;
    s.name = "soft tone";
    s.c5_speed = 44100;
    const int attack = 2000;
    const int length = 44100;
    s.data.resize(length);
    for (int i = 0; i < length; ++i) {
        const double phase = 2.0 * 3.141592653589793 * i / 100.0;
        const double env = i < attack ? static_cast<double>(i) / attack : 1.0;
        const double v = 0.6 * std::sin(phase) + 0.2 * std::sin(2.0 * phase);
        s.data[i] = static_cast<std::int16_t>(std::lround(v * env * 20000.0));
    }
    s.loop = true;
    s.loop_begin = attack;
    s.loop_end = attack + 400 * 100;
    return s;
}

}  // namespace

Bytes SongModule() {
    ItModule m;
    m.name = "zep";
    m.speed = 6;
    m.tempo = 125;  // 0.12 s a row
    m.channels = 3;
    m.samples.push_back(SoftTone());
    // Four chords, 16 rows each: A minor, F, C, G (notes relative to C-5).
    const int chords[4][3] = {{57, 60, 64}, {53, 57, 60}, {48, 55, 64}, {55, 59, 62}};
    ItPattern p(64, 3);
    for (int c = 0; c < 4; ++c)
        for (int ch = 0; ch < 3; ++ch) {
            ItCell& cell = p.At(16 * c, ch);
            cell.note = chords[c][ch];
            cell.sample = 1;
            cell.volume = 40;
        }
    m.patterns.push_back(p);
    // 15 patterns of 7.68 s: 115 s of music.
    m.orders.assign(15, 0);
    return WriteIt(m);
}

}  // namespace zep::datagen
