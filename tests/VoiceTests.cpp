#include "Support.h"

namespace
{
std::atomic<double> hostRate{ 44100.0 }; // the loader's host rate, as it is before any prepareToPlay
// Stores a sample as the loader makes one, but with NaNs behind each channel: a read past the end shows.
SampleBufferEntry& add (std::vector<float> l, std::vector<float> r, double rate, int seq)
{
    static std::list<SampleBufferEntry> samples;
    auto& entry = samples.emplace_back (SampleBufferEntry{ {}, rate, &hostRate, seq });
    entry.buffer.setSize (2, (int) l.size() + 4);
    for (int c = 0; c < 2; ++c)
        std::fill_n (std::copy_n ((c == 0 ? l : r).begin(), l.size(), entry.buffer.getWritePointer (c)), 4, NAN);
    entry.buffer.setSize (2, (int) l.size(), true, false, true); // keeps the storage, so the NaNs stay
    return entry;
}

// Runs a script on a plug-in whose pads play 0.5 for 1000 samples. Steps: 60@10 note-on 60 at sample 10; x903C40@10
// any 3 bytes; | a block of 64 junk samples on 12 channels (|2 on 2), ! one taking events past it; g3=1 o3=4 s3=320
// pad 3's cut group, output, new sample's length; k3 click; E editor; p48000/512 prepareToPlay. Prints: l3 q3 light,
// lowest sequence number in use; h hold; P channels (. silent j junk x sound); C buttons (p lit); slot:pad@pos*gain.
struct Rig : qm70::Plugin
{
    void give (int pad, int n, int seq) { engine (pad).buffer = &add (dc (n), dc (n), 0.0, seq); }
    static std::vector<float> dc (int n) { return std::vector<float> ((size_t) n, 0.5f); }
    std::string run (const std::string& script)
    {
        for (int pad = 0; pad < 12; ++pad)
            give (pad, 1000, 1);
        std::istringstream steps (script);
        juce::String out;
        juce::MidiBuffer events;
        juce::AudioBuffer<float> block;
        for (std::string step; steps >> step;)
        {
            char kind = std::isdigit (step[0]) != 0 ? 'n' : step[0], *end = nullptr;
            const double a = kind == 'x' ? std::strtol (&step[1], &end, 16) : std::strtod (&step[kind != 'n'], &end);
            const int i = std::abs (a) < 1e9 ? (int) a : 0, b = *end != 0 ? std::atoi (end + 1) : 0;
            switch (kind)
            {
                case 'n': events.addEvent (juce::MidiMessage::noteOn (1, i, (juce::uint8) 127), b); break;
                case 'x': events.addEvent (juce::MidiMessage (i >> 16, (i >> 8) & 255, i & 255), b); break;
                case '|': block = qm70::render (processor, std::exchange (events, {}), 64, 64, i > 0 ? i : 12); break;
                case '!': block.setSize (12, 64), processor.processBlock (block, events), events.clear(); break;
                case 'g': engine (i).cutGroup = b; break;
                case 'o': engine (i).output = b; break;
                case 's': give (i, b, engine (i).buffer.load()->sequenceNo + 1); break;
                case 'k': processor.playHandler.playPad (i); break;
                case 'E': qm70::hasDisplay(), qm70::settle(), openEditor(); break;
                case 'C': qm70::settle(); break;
                case 'l': out << (int) engine (i).lightCounter << " "; break;
                case 'q': out << (int) engine (i).lowestSequenceNoInUse << " "; break;
                case 'p': processor.prepareToPlay (a, b); break;
                case 'h': out << (int) processor.audioRenderer.lightHoldBlocks << " "; break;
            }
            for (int c = 0, n = kind == 'P' ? block.getNumChannels() : 12; (kind == 'P' || kind == 'C') && c <= n; ++c)
                out += c == n        ? ' '
                       : kind == 'P' ? ".jx"[std::min (2, (int) (block.getMagnitude (c, 0, 64) * 8))]
                                     : "bp"[qm70::child<juce::TextButton> (row (c), "play button")
                                                .findColour (juce::TextButton::buttonColourId) == PLAYING_COLOUR];
        }
        int sounding[12] = {};
        for (int slot = 0; slot < AudioRenderer::numVoices; ++slot)
            if (const auto& v = processor.audioRenderer.voices[(size_t) slot]; v.buffer && ++sounding[v.padIndex])
                out << juce::String::formatted ("%d:%d@%g*%.4g ", slot, v.padIndex, v.position, v.currentGain);
        for (int pad = 0; pad < 12; ++pad)
            EXPECT_EQ (engine (pad).activeVoiceCount.load(), sounding[pad]) << "pad " << pad << " after " << script;
        return out.toStdString();
    }
};
} // namespace

TEST (Voice, RendersToTheBitOnBothPathsWhereverASegmentEndsAndAsItsPadsSettingsChange)
{
    // Length, file rate (0: unknown), then pitch ratio, decay factor, pan angle, gain; steps 0.5, 1, 2 and odd ones.
    std::istringstream cases (
        "1 0 0.5 0.25 0.8 1 9 48000 1 1 0.8 0.5 16 0 1 1e-20 0 1 4 0 1 1 1.5708 0.8 20 40000 1.09 0.3 "
        "0.3 0.7 37 0 0.5 0.01 0.4 1.5 37 0 2 0.01 0.4 1.5 37 0 3.3 1 1.2 1.5 37 22050 0.7 0.5 0.4 1.5");
    std::array<double, 4> set;
    for (double len, rate; cases >> len >> rate >> set[0] >> set[1] >> set[2] >> set[3];)
        for (int run = 0; run < 2 * 81; ++run)
        {
            const int cut = run % 81;
            const std::vector<float> waves[] = { qm70::wave ((int) len, 2.1, 0.9f), qm70::wave ((int) len, 1.3, 0.7f) };
            RendererPadState pad;
            Voice voice;
            voice.buffer = &add (waves[0], waves[1], rate, 1), voice.padState = &pad, voice.currentGain = 0.9;
            float out[2][2][80]; // the voice's, then the formulas'
            std::fill_n (&out[0][0][0], 320, 0.25f);
            double position = 0.0, gain = 0.9;
            Voice::useVectorPath = run >= 81;
            auto next = set; // from the split on, every other time one of pitch, decay, pan and gain changes
            next[(size_t) cut / 2 % 4] *= cut % 2 == 1 ? 0.75 : 1.0;
            for (const auto& [from, to, s] : { std::tuple (0, cut, set), std::tuple (cut, 80, next) })
            {
                const auto [pitch, decay, pan, level] = s;
                pad.pitchRatio = pitch, pad.decayFactor = decay, pad.panAngle = pan, pad.gain = level;
                if (voice.buffer != nullptr)
                    voice.process (out[0][0] + from, out[0][1] + from, to - from);
                const double step = pitch * (rate > 0 ? rate / 44100.0 : 1.0);
                const double multiplier = decay == 1.0 ? 1.0 : std::pow (decay, (1.0 / len) * step);
                const double sides[] = { std::sqrt (std::cos (pan) * ((1.5707963267948966 - pan) * 0.6366197723675814)),
                                         std::sqrt ((pan * 0.6366197723675814) * std::sin (pan)) };
                for (int i = from; i < to && position < len; ++i, position += step, gain *= multiplier)
                    for (size_t c = 0, idx = (size_t) position; c < 2; ++c)
                    {
                        const double f = position - (double) idx, s1 = idx + 1 < len ? waves[c][idx + 1] : 0.0;
                        const float v = (float) (s1 * f + waves[c][idx] * (1.0 - f)); // rounded before the gains
                        out[1][c][i] = (float) (out[1][c][i] + ((double) v * (sides[c] * level)) * gain);
                    }
            }
            ASSERT_EQ (std::memcmp (out[0], out[1], sizeof out[0]), 0) << len << " " << set[0] << " " << run;
        }
}

TEST (Engine, AnswersAndPlaysEachScriptAsAHostWouldHearIt)
{
    const std::pair<const char*, const char*> cases[] = {
        // Note-ons on any channel play pad note mod 12 at (velocity/127)^2, after a click; no other event acts. Voices
        // render up to each event (outside the block: at its edges); the 3rd hit cuts the 1st; stops; cut groups (none
        // outside 0..3); output o plays on channels 2o and 2o + 1, else on 0 and 1.
        { "72 61 71 69 x904500 x804540 xB07900 xE04564 |", "0:0@64*1 2:1@64*1 18:9@64*1 22:11@64*1 " },
        { "k4 k0 60 |1 P x9F3C40 | P", "j xx.......... 0:0@64*1 1:0@64*0.254 " },
        { "s8=0 s9=0 60@-5 68@40 69@64 61@1000 !", "0:0@64*1 2:1@0*1 " },
        { "65@0 65@10 65@20 |", "10:5@44*1 11:5@54*1 " },
        { "60 61 | 62@30 xB37800@30 63@30 | l0", "18 6:3@34*1 " },
        { "60 61 | 62@30 xBF7B00@30 63@30 | l0", "18 6:3@34*1 " },
        { "g3=0 g5=0 63 65@20 | g3=2 g5=2 63 | g3=3 g5=3 65 |", "24:5@172*1 26:3@128*1 27:5@64*1 " },
        { "g3=1 g5=1 63 65@20 | g5=-1 65 | 63 |", "10:5@128*1 25:3@64*1 " },
        { "g7=-24 67 67@1 67@2 | g7=-2 67 | g7=4 67 | g7=-2147483648 67 |", "14:7@128*1 15:7@64*1 " },
        { "o2=3 62 | P o2=5 | P o2=6 | P o2=-1 | P", "......xx.... ..........xx xx.......... xx.......... 4:2@256*1 " },
        { "o2=1 62 |2 P |3 P |4 P", "xx xx. ..xx 4:2@192*1 " },
        // Lights: the hold (whole blocks in 0.24 s), then on at 1 while the pad sounds; oldest samples in use.
        { "p44100/16384 h 60 | l0", "0 0 0:0@64*1 " },
        { "s0=320 s1=1536 60 61 | l0 | | | | | | | | | | | | | | | | | | l0 | l0 l1 | | | l1 | l1", "19 1 0 1 1 0 " },
        { "h p44100/512 h p48000/512 h p48000/480 h p96000/64 h p44100/10584 h p32000/96 h", "20 20 22 24 360 1 80 " },
        { "p44100/0 h p44100/-512 h p-44100/512 h pnan/512 h p1e300/1 h pinf/512 h", "0 0 0 0 2147483647 2147483647 " },
        { "q0 l1 60 | q0 s0=1000 s11=1000 | q0 q11 xB07B00 | q0", "-1 0 1 1 2 2 " },
        { "p10/1 s0=64 60 E | C | C", "pbbbbbbbbbbb bbbbbbbbbbbb " }, // play buttons follow the lights
    };
    for (const auto& [script, expected] : cases)
        EXPECT_EQ (Rig().run (script), expected) << script;

    BolvanePluginAudioProcessor p; // asked as a host asks: one or six stereo outputs, nothing else
    EXPECT_TRUE (p.isBusesLayoutSupported (p.getBusesLayout()) && ! p.isBusesLayoutSupported ({ {}, { {} } }));
    EXPECT_TRUE (p.isBusesLayoutSupported ({ {}, { juce::AudioChannelSet::stereo() } }) && p.hasEditor());
    EXPECT_TRUE (p.getName() == "QM-70" && p.getNumPrograms() == 1 && p.getCurrentProgram() == 0);
    EXPECT_TRUE (p.acceptsMidi() && ! p.producesMidi() && ! p.isMidiEffect() && p.getProgramName (0).isEmpty());
    EXPECT_TRUE (p.getTailLengthSeconds() == 0.0 && ! p.isBusesLayoutSupported ({}));
}
