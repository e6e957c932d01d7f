// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The soundtrack: about 108 seconds in A minor at about 160 beats a minute,
// four rows a beat, in six sections that change with the pictures:
//
//   intro       0 s  15 bars  pad and plucked arpeggios, then hats, bass, kick
//   drive      22 s  10 bars  four-to-the-floor groove, the main theme on lead
//   landscape  37 s  16 bars  half-time, broad pads, a second singing theme
//   chrome   60.5 s  10 bars  the main theme again over rolling bass and arps
//   tunnel   75.5 s   7 bars  broken beat, pedal bass, fast two-octave arps
//   finale     86 s  14 bars  the theme once more, a cadence that slows down,
//                             and a last A minor chord that rings out by 107.2 s
//
// A bar is 16 rows. Whole bars at one tempo cannot meet all the scene times,
// so the intro and the landscape run at 163 and 164 (a bar a little shorter
// than the 1.5 s of the other sections); the tempo marks below put every
// section's first row within 0.01 s of its scene at 44.1 kHz, where the
// player counts whole samples a tick.
#include "datagen/song.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "datagen/datagen.h"
#include "datagen/synth.h"

namespace zep::datagen {
namespace {

// Instruments, numbered as the patterns name them.
enum Instrument : int {
    kKick = 1,
    kSnare,
    kClap,
    kHat,
    kOpenHat,
    kCrash,
    kRiser,
    kBass,
    kPad,
    kLead,
    kPluck,
    kBassLong,  // the same voices with a long release, for the last chord
    kPadLong,
    kLeadLong,
};

// Channels.
enum Channel : int {
    kChKick,
    kChSnare,
    kChClap,
    kChHat,
    kChOpenHat,
    kChCrash,
    kChFx,
    kChBass,
    kChPad,  // three pad voices, kChPad to kChPad + 2
    kChLead = kChPad + 3,
    kChLeadEcho,
    kChArp,
    kChArpEcho,
    kChannels,
};

constexpr int kRowsPerBar = 16;
constexpr int kEchoRows = 3;  // a dotted eighth

struct Section {
    const char* name;
    int bars;
};

constexpr Section kSections[] = {
    {"intro", 15}, {"drive", 10}, {"landscape", 16}, {"chrome", 10}, {"tunnel", 7}, {"finale", 14},
};

// Tempo from a bar (counted over the whole piece) on.
struct TempoMark {
    int bar;
    int tempo;
};

constexpr TempoMark kTempoMarks[] = {
    {0, 163}, {7, 164}, {15, 160}, {25, 163}, {36, 164}, {41, 160},
};

// ---------------------------------------------------------------- harmony

struct Chord {
    const char* name;
    int root;    // bass note, F1 to E2 (middle C is C4, note 60)
    int pad[3];  // close voicing around middle C, voice-led between chords
};

constexpr Chord kChords[] = {
    {"Am", 33, {57, 60, 64}}, {"F", 29, {57, 60, 65}}, {"C", 36, {55, 60, 64}},
    {"G", 31, {55, 59, 62}},  {"Dm", 38, {57, 62, 65}}, {"E", 40, {56, 59, 64}},
    {"Em", 40, {55, 59, 64}},
};

// "Am F C G" as chords, one a bar.
std::vector<Chord> Progression(const std::string& text) {
    std::vector<Chord> out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string name = text.substr(at, end - at);
        at = end + 1;
        if (name.empty()) continue;
        bool found = false;
        for (const Chord& c : kChords)
            if (name == c.name) {
                out.push_back(c);
                found = true;
            }
        if (!found) throw std::logic_error("song: unknown chord " + name);
    }
    return out;
}

// "G#4" as a note number (middle C, C4, is 60, the module's C-5).
int NoteNumber(const std::string& name) {
    static const int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // A to G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        throw std::logic_error("song: bad note " + name);
    int note = kSemitone[name[0] - 'A'];
    std::size_t i = 1;
    if (name[i] == '#') ++note, ++i;
    else if (name[i] == 'b') --note, ++i;
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '8')
        throw std::logic_error("song: bad note " + name);
    return note + 12 * (name[i] - '0' + 1);
}

// ------------------------------------------------------------------ score

// The whole piece as one long grid of rows by channels, cut into patterns
// at the end.
class Score {
public:
    explicit Score(int rows)
        : rows_(rows), cells_(static_cast<std::size_t>(rows) * kChannels) {}

    int Rows() const { return rows_; }

    ItCell& At(int row, int channel) {
        if (row < 0 || row >= rows_ || channel < 0 || channel >= kChannels)
            throw std::logic_error("song: row " + std::to_string(row) + " channel " +
                                   std::to_string(channel) + " outside the score");
        return cells_[static_cast<std::size_t>(row) * kChannels + channel];
    }

    void Note(int channel, int row, int note, int instrument, int volume) {
        ItCell& c = At(row, channel);
        c.note = note;
        c.instrument = instrument;
        c.volume = volume;
    }

    void Off(int channel, int row) {
        ItCell& c = At(row, channel);
        c.note = kItNoteOff;
        c.instrument = 0;
        c.volume = -1;
    }

    void Effect(int channel, int row, int command, int parameter) {
        ItCell& c = At(row, channel);
        c.command = command;
        c.parameter = parameter;
    }

private:
    int rows_;
    std::vector<ItCell> cells_;
};

int Scaled(int volume, double factor) {
    return static_cast<int>(std::lround(volume * factor));
}

// A drum line: one character a row. X loud, x normal, o soft, g ghost.
void Drums(Score& s, int channel, int instrument, int row, const char* pattern) {
    for (int i = 0; pattern[i] != 0; ++i) {
        int volume = -1;
        switch (pattern[i]) {
            case 'X': volume = 64; break;
            case 'x': volume = 48; break;
            case 'o': volume = 32; break;
            case 'g': volume = 18; break;
            case '.': break;
            default: throw std::logic_error(std::string("song: bad drum step in ") + pattern);
        }
        if (volume >= 0) s.Note(channel, row + i, 60, instrument, volume);
    }
}

// `count` hits `step` rows apart, growing from one volume to another.
void Roll(Score& s, int channel, int instrument, int row, int count, int step, int from, int to) {
    for (int i = 0; i < count; ++i) {
        const int volume = count > 1 ? from + (to - from) * i / (count - 1) : to;
        s.Note(channel, row + i * step, 60, instrument, volume);
    }
}

// A bass line over one chord: R/r the root, O/o its octave, F/f its fifth
// (capitals accented), - a note-off, . nothing.
void BassLine(Score& s, int row, const Chord& chord, const char* pattern, int instrument = kBass) {
    for (int i = 0; pattern[i] != 0; ++i) {
        const char c = pattern[i];
        if (c == '.') continue;
        if (c == '-') {
            s.Off(kChBass, row + i);
            continue;
        }
        int interval = 0;
        switch (c) {
            case 'R': case 'r': interval = 0; break;
            case 'O': case 'o': interval = 12; break;
            case 'F': case 'f': interval = 7; break;
            default: throw std::logic_error(std::string("song: bad bass step in ") + pattern);
        }
        const bool accent = c >= 'A' && c <= 'Z';
        s.Note(kChBass, row + i, chord.root + interval, instrument, accent ? 60 : 44);
    }
}

// A melody: space-separated "note:rows" tokens, "-:rows" for a rest (the
// previous note is released). Returns the row after the phrase.
int Melody(Score& s, int channel, int instrument, int row, const std::string& text, int volume) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string token = text.substr(at, end - at);
        at = end + 1;
        if (token.empty()) continue;
        const std::size_t colon = token.find(':');
        if (colon == std::string::npos) throw std::logic_error("song: bad melody token " + token);
        const std::string pitch = token.substr(0, colon);
        const int rows = std::stoi(token.substr(colon + 1));
        if (pitch == "-")
            s.Off(channel, row);
        else
            s.Note(channel, row, NoteNumber(pitch), instrument, volume);
        row += rows;
    }
    return row;
}

// Melodies one bar a string, played bar after bar.
void Phrases(Score& s, int row, std::span<const char* const> bars, int volume,
             int instrument = kLead) {
    for (const char* bar : bars) {
        Melody(s, kChLead, instrument, row, bar, volume);
        row += kRowsPerBar;
    }
}

void PadChord(Score& s, int row, const Chord& chord, int volume, int instrument = kPad) {
    for (int v = 0; v < 3; ++v) s.Note(kChPad + v, row, chord.pad[v], instrument, volume);
}

void PadOff(Score& s, int row) {
    for (int v = 0; v < 3; ++v) s.Off(kChPad + v, row);
}

// Arpeggio over a chord's tones an octave or two above the pad: `order`
// indexes the tones (0 to 2 the voicing an octave up, 3 to 5 two octaves up).
void Arp(Score& s, int row, const Chord& chord, int rows, int step, std::span<const int> order,
         int volume) {
    int tones[6];
    for (int v = 0; v < 3; ++v) {
        tones[v] = chord.pad[v] + 12;
        tones[v + 3] = chord.pad[v] + 24;
    }
    for (int i = 0, k = 0; i < rows; i += step, ++k)
        s.Note(kChArp, row + i, tones[order[static_cast<std::size_t>(k) % order.size()]], kPluck,
               volume);
}

// Copies a channel onto another `kEchoRows` later and quieter, over rows
// [from, to).
void Echo(Score& s, int source, int target, int from, int to, double factor) {
    for (int row = from; row < to && row + kEchoRows < s.Rows(); ++row) {
        const ItCell c = s.At(row, source);
        if (c.note == kItNoteOff) {
            s.Off(target, row + kEchoRows);
        } else if (c.note != kItNoNote) {
            s.Note(target, row + kEchoRows, c.note, c.instrument, Scaled(c.volume, factor));
        }
    }
}

void Tempo(Score& s, int row, int tempo) { s.Effect(kChKick, row, kItEffectTempo, tempo); }

// ----------------------------------------------------------------- themes

// The main theme over Am F C G, twice.
constexpr const char* kThemeA[] = {
    "E5:3 E5:3 D5:2 E5:3 G5:3 E5:2", "C5:3 C5:3 A4:2 C5:4 D5:4",
    "E5:3 E5:3 D5:2 E5:3 G5:3 A5:2", "G5:6 D5:2 B4:4 D5:4",
    "E5:3 E5:3 D5:2 E5:3 G5:3 E5:2", "A5:3 G5:3 F5:2 E5:4 C5:4",
    "D5:3 E5:3 G5:2 E5:4 C5:4",      "D5:6 B4:2 G4:4 -:4",
};

// The second theme, long notes over the landscape's chords.
constexpr const char* kThemeB[] = {
    "A4:4 C5:4 F5:6 E5:2", "D5:4 B4:4 G4:8",      "G4:4 B4:4 E5:6 D5:2", "C5:4 B4:4 A4:8",
    "A4:4 C5:4 F5:6 G5:2", "A5:4 G5:4 D5:8",      "E5:8 C5:4 B4:4",      "A4:12 -:4",
    "F5:4 E5:4 D5:6 F5:2", "E5:4 D5:4 B4:8",      "C5:4 D5:4 A5:6 G5:2", "G5:8 D5:8",
    "A5:4 G5:4 F5:4 E5:4", "D5:4 E5:4 G5:8",      "G#5:8 E5:4 B4:4",     "E5:12 -:4",
};

// Arpeggio orders.
constexpr int kUpDown[] = {0, 1, 2, 3, 2, 1};
constexpr int kUp[] = {0, 1, 2, 3};
constexpr int kTwoOctaves[] = {0, 1, 2, 3, 4, 5, 4, 3, 2, 1};

// ---------------------------------------------------------------- sections

void Intro(Score& s, int at) {
    const std::vector<Chord> chords = Progression("Am F C G Am F C G Am F C G Am F E");
    for (int b = 0; b < 15; ++b) {
        const int row = at + b * kRowsPerBar;
        const Chord& c = chords[static_cast<std::size_t>(b)];
        PadChord(s, row, c, std::min(22 + 5 * b, 44));
        if (b < 8)
            Arp(s, row, c, kRowsPerBar, 2, kUpDown, b < 4 ? 26 : 32);
        else
            Arp(s, row, c, kRowsPerBar, 1, kUp, 30);
        if (b >= 4 && b < 8) Drums(s, kChHat, kHat, row, "..o...o...o...o.");
        if (b >= 8) Drums(s, kChHat, kHat, row, "x.o.x.o.x.o.x.o.");
        if (b >= 4 && b < 8) BassLine(s, row, c, "R.............-.");
        if (b >= 8) BassLine(s, row, c, "R.....r...r.r.-.");
        if (b >= 8 && b < 14) Drums(s, kChKick, kKick, row, "x...x...x...x...");
        if (b >= 12 && b < 14) Drums(s, kChSnare, kSnare, row, "....x.......x...");
    }
    // The last bar builds into the groove: kick on the beat, a snare roll and
    // a noise swell.
    const int last = at + 14 * kRowsPerBar;
    Drums(s, kChKick, kKick, last, "x...x...x...x...");
    Roll(s, kChSnare, kSnare, last, 16, 1, 14, 56);
    Drums(s, kChOpenHat, kOpenHat, last, "..o...o...o...x.");
    s.Note(kChFx, last, 60, kRiser, 44);
    Echo(s, kChArp, kChArpEcho, at, at + 15 * kRowsPerBar, 0.5);
}

// The four-to-the-floor groove shared by drive, chrome and finale.
void Groove(Score& s, int row, bool busy_hats) {
    Drums(s, kChKick, kKick, row, "X...x...X...x...");
    Drums(s, kChClap, kClap, row, "....X.......X...");
    Drums(s, kChHat, kHat, row, busy_hats ? "xoxoxoxoxoxoxoxo" : "xo.oxo.oxo.oxo.o");
    Drums(s, kChOpenHat, kOpenHat, row, "..o...o...o...o.");
}

void Drive(Score& s, int at) {
    const std::vector<Chord> chords = Progression("Am F C G Am F C G F E");
    for (int b = 0; b < 10; ++b) {
        const int row = at + b * kRowsPerBar;
        const Chord& c = chords[static_cast<std::size_t>(b)];
        PadChord(s, row, c, 34);
        BassLine(s, row, c, "-.R.-.O.-.R.-.O.");
        if (b < 9) Groove(s, row, false);
    }
    s.Note(kChCrash, at, 60, kCrash, 52);
    s.Note(kChCrash, at + 4 * kRowsPerBar, 60, kCrash, 40);
    Phrases(s, at, kThemeA, 44);
    constexpr const char* kTurn[] = {"A4:4 C5:4 F5:8", "E5:6 D5:2 B4:4 G#4:4"};
    Phrases(s, at + 8 * kRowsPerBar, kTurn, 44);
    // Bar 10 breaks the groove for a fill into the landscape.
    const int last = at + 9 * kRowsPerBar;
    Drums(s, kChKick, kKick, last, "X.......X.......");
    Drums(s, kChClap, kClap, last, "....x...........");
    Roll(s, kChSnare, kSnare, last + 8, 8, 1, 24, 52);
    Drums(s, kChHat, kHat, last, "xo.oxo.o........");
    Echo(s, kChLead, kChLeadEcho, at, at + 10 * kRowsPerBar, 0.45);
}

void Landscape(Score& s, int at) {
    const std::vector<Chord> chords =
        Progression("F G Em Am F G Am Am Dm Em F G F G E E");
    for (int b = 0; b < 16; ++b) {
        const int row = at + b * kRowsPerBar;
        const Chord& c = chords[static_cast<std::size_t>(b)];
        if (b == 0 || std::strcmp(chords[static_cast<std::size_t>(b - 1)].name, c.name) != 0)
            PadChord(s, row, c, 46);
        if (b < 8)
            BassLine(s, row, c, "R.........r...-.");
        else
            BassLine(s, row, c, "R.....r...r.f.-.");
        if (b < 14) {
            Drums(s, kChKick, kKick, row, "X.........x.....");
            Drums(s, kChSnare, kSnare, row, "........X.......");
            Drums(s, kChHat, kHat, row, "o.x.o.x.o.x.o.x.");
            Drums(s, kChOpenHat, kOpenHat, row, "..............o.");
        }
        if (b >= 8) Arp(s, row, c, kRowsPerBar, 2, kUpDown, 24);
    }
    s.Note(kChCrash, at, 60, kCrash, 44);
    s.Note(kChCrash, at + 8 * kRowsPerBar, 60, kCrash, 36);
    Phrases(s, at, kThemeB, 46);
    // Two bars of build: the beat doubles, then a snare roll and a swell.
    const int build = at + 14 * kRowsPerBar;
    Drums(s, kChKick, kKick, build, "x...x...x...x...x...x...x...x...");
    Drums(s, kChHat, kHat, build, "x.x.x.x.x.x.x.x.xxxxxxxxxxxxxxxx");
    Roll(s, kChSnare, kSnare, build, 8, 2, 16, 36);
    Roll(s, kChSnare, kSnare, build + kRowsPerBar, 16, 1, 30, 60);
    s.Note(kChFx, build + kRowsPerBar, 60, kRiser, 48);
    Echo(s, kChLead, kChLeadEcho, at, at + 16 * kRowsPerBar, 0.45);
    Echo(s, kChArp, kChArpEcho, at, at + 16 * kRowsPerBar, 0.5);
}

void Chrome(Score& s, int at) {
    const std::vector<Chord> chords = Progression("Am F C G Am F C G Dm E");
    for (int b = 0; b < 10; ++b) {
        const int row = at + b * kRowsPerBar;
        const Chord& c = chords[static_cast<std::size_t>(b)];
        PadChord(s, row, c, 32);
        BassLine(s, row, c, b % 4 == 3 ? "-rrr-rrr-ror-oro" : "-rrr-rrr-rrr-ror");
        Arp(s, row, c, kRowsPerBar, 1, kUp, 22);
        if (b < 9) {
            Groove(s, row, true);
            Drums(s, kChSnare, kSnare, row, "....o.......o...");
        }
    }
    s.Note(kChCrash, at, 60, kCrash, 56);
    s.Note(kChCrash, at + 4 * kRowsPerBar, 60, kCrash, 44);
    Phrases(s, at, kThemeA, 46);
    constexpr const char* kTurn[] = {"F5:4 E5:4 D5:4 A4:4", "B4:4 D5:4 E5:8"};
    Phrases(s, at + 8 * kRowsPerBar, kTurn, 46);
    const int last = at + 9 * kRowsPerBar;
    Drums(s, kChKick, kKick, last, "X...x...x.x.x...");
    Drums(s, kChHat, kHat, last, "xoxoxoxoxoxoxoxo");
    Roll(s, kChSnare, kSnare, last + 4, 12, 1, 22, 58);
    s.Note(kChFx, last, 60, kRiser, 40);
    Echo(s, kChLead, kChLeadEcho, at, at + 10 * kRowsPerBar, 0.45);
    Echo(s, kChArp, kChArpEcho, at, at + 10 * kRowsPerBar, 0.45);
}

void Tunnel(Score& s, int at) {
    const std::vector<Chord> chords = Progression("Am Am F F G G E");
    const Chord pedal = Progression("Am")[0];
    for (int b = 0; b < 7; ++b) {
        const int row = at + b * kRowsPerBar;
        const Chord& c = chords[static_cast<std::size_t>(b)];
        if (b == 0 || std::strcmp(chords[static_cast<std::size_t>(b - 1)].name, c.name) != 0)
            PadChord(s, row, c, 28);
        // The bass stays on A under the moving chords until the last bar.
        BassLine(s, row, b < 6 ? pedal : c, "RrorRrorRrorRrOr");
        Arp(s, row, c, kRowsPerBar, 1, kTwoOctaves, 34);
        if (b < 6) {
            Drums(s, kChKick, kKick, row, "X.....x...x.....");
            Drums(s, kChSnare, kSnare, row, "....X..g....X.g.");
            Drums(s, kChHat, kHat, row, "xoxoxoxoxoxoxoxo");
            Drums(s, kChOpenHat, kOpenHat, row, "..............o.");
        }
    }
    s.Note(kChCrash, at, 60, kCrash, 56);
    const int last = at + 6 * kRowsPerBar;
    Drums(s, kChKick, kKick, last, "X.....x...x.x.x.");
    Roll(s, kChSnare, kSnare, last, 16, 1, 20, 60);
    Drums(s, kChHat, kHat, last, "xoxoxoxo........");
    s.Note(kChFx, last, 60, kRiser, 48);
    Echo(s, kChArp, kChArpEcho, at, at + 7 * kRowsPerBar, 0.5);
}

void Finale(Score& s, int at) {
    const std::vector<Chord> chords = Progression("Am F C G Am F C G F G Dm E Am");
    for (int b = 0; b < 12; ++b) {
        const int row = at + b * kRowsPerBar;
        const Chord& c = chords[static_cast<std::size_t>(b)];
        PadChord(s, row, c, 36);
        if (b < 11) {
            BassLine(s, row, c, "-.R.-.O.-.R.-.O.");
            Groove(s, row, b >= 4);
            Arp(s, row, c, kRowsPerBar, 1, kUp, 20);
        }
    }
    s.Note(kChCrash, at, 60, kCrash, 56);
    s.Note(kChCrash, at + 4 * kRowsPerBar, 60, kCrash, 44);
    s.Note(kChCrash, at + 8 * kRowsPerBar, 60, kCrash, 40);
    Phrases(s, at, kThemeA, 46);
    constexpr const char* kCadence[] = {"A5:4 G5:4 F5:4 E5:4", "D5:4 E5:4 G5:8",
                                        "F5:4 E5:4 D5:4 C5:4", "B4:8 G#4:8"};
    Phrases(s, at + 8 * kRowsPerBar, kCadence, 46);

    // Bar 12, on E, slows down beat by beat into the last chord.
    const int slow = at + 11 * kRowsPerBar;
    const int tempos[] = {156, 148, 140, 132};
    for (int beat = 0; beat < 4; ++beat) Tempo(s, slow + 4 * beat, tempos[beat]);
    BassLine(s, slow, chords[11], "R.......R.......");
    Drums(s, kChKick, kKick, slow, "X.......x.......");
    Roll(s, kChSnare, kSnare, slow, 8, 2, 20, 50);
    Drums(s, kChHat, kHat, slow, "x.o.x.o.x.o.x.o.");
    Arp(s, slow, chords[11], kRowsPerBar, 2, kUpDown, 22);

    // Bar 13: A minor struck once and held, released on its fourth beat on
    // the long-release voices (about 1.4 s), so that it has died away when
    // the demo closes at 107.2 s; bar 14 is left for the fade.
    const int end = at + 12 * kRowsPerBar;
    const Chord& home = chords[12];
    s.Note(kChCrash, end, 60, kCrash, 50);
    s.Note(kChKick, end, 60, kKick, 56);
    PadChord(s, end, home, 44, kPadLong);
    s.Note(kChBass, end, home.root, kBassLong, 56);
    s.Note(kChLead, end, NoteNumber("A4"), kLeadLong, 46);
    Melody(s, kChArp, kPluck, end, "A4:2 C5:2 E5:2 A5:2", 30);
    const int release = end + 12;
    PadOff(s, release);
    s.Off(kChBass, release);
    s.Off(kChLead, release);
    Echo(s, kChLead, kChLeadEcho, at, release, 0.45);
    s.Off(kChLeadEcho, release);
    Echo(s, kChArp, kChArpEcho, at, at + 14 * kRowsPerBar, 0.45);
}

// ------------------------------------------------------------- instruments

ItEnvelope Envelope(std::vector<ItEnvelopePoint> points, int sustain) {
    ItEnvelope e;
    e.enabled = true;
    e.points = std::move(points);
    e.sustain_point = sustain;
    return e;
}

ItInstrument Instrument(const char* name, int sample, int nna, int volume,
                        ItEnvelope envelope = {}) {
    ItInstrument ins;
    ins.name = name;
    ins.sample = sample;
    ins.new_note_action = nna;
    ins.global_volume = volume;
    ins.volume_envelope = std::move(envelope);
    return ins;
}

void AddVoices(ItModule& m) {
    // Samples, numbered as the instruments that play them.
    constexpr double kPeak = 0.95;
    m.samples.push_back(ToItSample("kick", Kick(), kPeak));
    m.samples.push_back(ToItSample("snare", Snare(), kPeak));
    m.samples.push_back(ToItSample("clap", Clap(), kPeak));
    m.samples.push_back(ToItSample("closed hat", Hat(0.018, 0.1), kPeak));
    m.samples.push_back(ToItSample("open hat", Hat(0.16, 0.5), kPeak));
    m.samples.push_back(ToItSample("crash", Crash(), kPeak));
    m.samples.push_back(ToItSample("riser", Riser(1.45), kPeak));
    m.samples.push_back(ToItSample("bass", Bass(), kPeak));
    m.samples.push_back(ToItSample("pad", Pad(), kPeak));
    ItSample lead = ToItSample("lead", Lead(), kPeak);
    lead.vibrato_speed = 10;
    lead.vibrato_depth = 6;
    lead.vibrato_rate = 24;  // the vibrato fades in after the attack
    m.samples.push_back(lead);
    m.samples.push_back(ToItSample("pluck", Pluck(), kPeak));

    // Drums, the swell and the pluck fade to silence by themselves: a new
    // note lets the old one ring on (no cut, no click). The held voices rise
    // from silence in their samples; their envelopes (ticks of about 16 ms)
    // shape the level while held and the release after a note-off, and a new
    // note on their channel releases the old one the same way.
    const int kDrum = kItNnaContinue;
    m.instruments.push_back(Instrument("kick", 1, kDrum, 128));
    m.instruments.push_back(Instrument("snare", 2, kDrum, 110));
    m.instruments.push_back(Instrument("clap", 3, kDrum, 128));
    m.instruments.push_back(Instrument("closed hat", 4, kDrum, 76));
    m.instruments.push_back(Instrument("open hat", 5, kDrum, 64));
    m.instruments.push_back(Instrument("crash", 6, kDrum, 64));
    m.instruments.push_back(Instrument("riser", 7, kDrum, 64));
    m.instruments.push_back(Instrument(
        "bass", 8, kItNnaNoteOff, 112, Envelope({{0, 64}, {8, 52}, {10, 16}, {12, 0}}, 1)));
    m.instruments.push_back(Instrument(
        "pad", 9, kItNnaNoteOff, 72,
        Envelope({{0, 0}, {6, 40}, {24, 64}, {40, 28}, {70, 0}}, 2)));
    m.instruments.push_back(Instrument(
        "lead", 10, kItNnaNoteOff, 112,
        Envelope({{0, 64}, {10, 54}, {14, 20}, {20, 0}}, 1)));
    m.instruments.push_back(Instrument("pluck", 11, kItNnaContinue, 80));
    m.instruments.push_back(Instrument(
        "bass long", 8, kItNnaNoteOff, 112,
        Envelope({{0, 64}, {8, 56}, {20, 30}, {44, 8}, {72, 0}}, 1)));
    m.instruments.push_back(Instrument(
        "pad long", 9, kItNnaNoteOff, 72,
        Envelope({{0, 0}, {6, 40}, {24, 64}, {36, 40}, {54, 16}, {76, 5}, {96, 0}}, 2)));
    m.instruments.push_back(Instrument(
        "lead long", 10, kItNnaNoteOff, 112,
        Envelope({{0, 64}, {10, 54}, {22, 32}, {40, 12}, {62, 4}, {82, 0}}, 1)));
}

// Bar counts of the patterns a section is cut into: four bars each, the
// last one two to five bars, so every pattern has 32 to 80 rows.
std::vector<int> PatternBars(int bars) {
    std::vector<int> out;
    while (bars > 5) {
        out.push_back(4);
        bars -= 4;
    }
    if (bars == 5) {
        out.push_back(3);
        out.push_back(2);
    } else {
        out.push_back(bars);
    }
    return out;
}

}  // namespace

Song ComposeSong() {
    int total_bars = 0;
    for (const Section& section : kSections) total_bars += section.bars;
    Score score(total_bars * kRowsPerBar);

    void (*const writers[])(Score&, int) = {Intro, Drive, Landscape, Chrome, Tunnel, Finale};
    int row = 0;
    for (std::size_t i = 0; i < std::size(kSections); ++i) {
        writers[i](score, row);
        row += kSections[i].bars * kRowsPerBar;
    }
    for (const TempoMark& mark : kTempoMarks)
        if (mark.bar > 0) Tempo(score, mark.bar * kRowsPerBar, mark.tempo);

    Song song;
    ItModule& m = song.module;
    m.name = "zep soundtrack";
    m.speed = 6;
    m.tempo = kTempoMarks[0].tempo;
    m.global_volume = 128;
    m.mix_volume = 60;
    m.channels = kChannels;
    m.channel_pan.assign(kChannels, 32);
    m.channel_pan[kChClap] = 36;
    m.channel_pan[kChHat] = 42;
    m.channel_pan[kChOpenHat] = 24;
    m.channel_pan[kChPad] = 18;
    m.channel_pan[kChPad + 2] = 46;
    m.channel_pan[kChLeadEcho] = 50;
    m.channel_pan[kChArp] = 20;
    m.channel_pan[kChArpEcho] = 46;
    AddVoices(m);

    // Cut the score into patterns section by section, sharing identical ones.
    row = 0;
    for (const Section& section : kSections) {
        song.section_orders.push_back(static_cast<int>(m.orders.size()));
        for (int bars : PatternBars(section.bars)) {
            ItPattern p(bars * kRowsPerBar, kChannels);
            for (int r = 0; r < p.rows; ++r)
                for (int ch = 0; ch < kChannels; ++ch) p.At(r, ch) = score.At(row + r, ch);
            row += p.rows;
            int number = -1;
            for (std::size_t k = 0; k < m.patterns.size(); ++k)
                if (m.patterns[k] == p) number = static_cast<int>(k);
            if (number < 0) {
                number = static_cast<int>(m.patterns.size());
                m.patterns.push_back(std::move(p));
            }
            m.orders.push_back(number);
        }
    }
    return song;
}

Bytes SongModule() { return WriteIt(ComposeSong().module); }

}  // namespace zep::datagen
