#include "HostOptions.h"

#include <algorithm>

namespace
{
    constexpr int maxMidiValue = 127;
    constexpr int numMidiChannels = 16;
    constexpr int defaultVelocity = 100;
    constexpr double minSampleRate = 1000.0;
    constexpr double maxSampleRate = 768000.0;
    constexpr int maxBlockSize = 65536;
    constexpr int maxWaitMs = 600000;
    constexpr juce::int64 maxSamplePosition = (juce::int64) 1 << 40;
    constexpr int maxDigits = 15;   // enough for any position above, and safe from overflow

    //==========================================================================
    bool parseInteger (const juce::String& text, juce::int64 minimum, juce::int64 maximum, juce::int64& result)
    {
        const auto trimmed = text.trim();

        if (trimmed.isEmpty() || trimmed.length() > maxDigits || ! trimmed.containsOnly ("0123456789"))
            return false;

        result = trimmed.getLargeIntValue();
        return result >= minimum && result <= maximum;
    }

    bool parseInteger (const juce::String& text, int minimum, int maximum, int& result)
    {
        juce::int64 value = 0;

        if (! parseInteger (text, (juce::int64) minimum, (juce::int64) maximum, value))
            return false;

        result = (int) value;
        return true;
    }

    juce::Result failWith (const juce::String& message)
    {
        return juce::Result::fail (message);
    }

    //==========================================================================
    /** The ",vel=V" and ",ch=C" parts that may follow a note or controller. */
    struct EventExtras
    {
        int velocity = defaultVelocity;
        int channel = 1;
    };

    juce::Result parseExtras (const juce::StringArray& parts, const juce::String& argument, bool allowVelocity, EventExtras& extras)
    {
        for (int i = 1; i < parts.size(); ++i)
        {
            const auto key = parts[i].upToFirstOccurrenceOf ("=", false, false).trim().toLowerCase();
            const auto value = parts[i].fromFirstOccurrenceOf ("=", false, false);

            if (key == "ch" || key == "channel")
            {
                if (! parseInteger (value, 1, numMidiChannels, extras.channel))
                    return failWith ("bad channel in \"" + argument + "\": give ch=1 to ch=16");
            }
            else if (allowVelocity && (key == "vel" || key == "velocity"))
            {
                if (! parseInteger (value, 1, maxMidiValue, extras.velocity))
                    return failWith ("bad velocity in \"" + argument + "\": give vel=1 to vel=127");
            }
            else
            {
                return failWith ("unknown part \"" + parts[i] + "\" in \"" + argument + "\"");
            }
        }

        return juce::Result::ok();
    }

    /** NOTE@START[+LENGTH][,vel=V][,ch=C]: a key pressed at START and, with a length,
        released LENGTH samples later; without one it stays down to the end. */
    juce::Result parseNote (const juce::String& argument, std::vector<TimedMidiEvent>& events)
    {
        const auto syntax = juce::String (" (expected NOTE@START[+LENGTH][,vel=V][,ch=C], e.g. 61@0+4800)");
        const auto parts = juce::StringArray::fromTokens (argument, ",", "");
        const auto head = parts[0];

        if (! head.contains ("@"))
            return failWith ("bad note \"" + argument + "\"" + syntax);

        int note = 0;
        juce::int64 start = 0, length = 0;
        const auto timing = head.fromFirstOccurrenceOf ("@", false, false);
        const auto hasLength = timing.contains ("+");

        if (! parseInteger (head.upToFirstOccurrenceOf ("@", false, false), 0, maxMidiValue, note))
            return failWith ("bad note number in \"" + argument + "\": give 0 to 127" + syntax);

        if (! parseInteger (timing.upToFirstOccurrenceOf ("+", false, false), 0, maxSamplePosition, start))
            return failWith ("bad start sample in \"" + argument + "\"" + syntax);

        if (hasLength && ! parseInteger (timing.fromFirstOccurrenceOf ("+", false, false), 1, maxSamplePosition, length))
            return failWith ("bad length in \"" + argument + "\": give a number of samples above 0" + syntax);

        EventExtras extras;

        if (auto result = parseExtras (parts, argument, true, extras); result.failed())
            return result;

        events.push_back ({ start, juce::MidiMessage::noteOn (extras.channel, note, (juce::uint8) extras.velocity) });

        if (hasLength)
            events.push_back ({ start + length, juce::MidiMessage::noteOff (extras.channel, note, (juce::uint8) 0) });

        return juce::Result::ok();
    }

    /** NUMBER=VALUE@START[,ch=C]: a controller, e.g. 123=0@9600 for all notes off. */
    juce::Result parseController (const juce::String& argument, std::vector<TimedMidiEvent>& events)
    {
        const auto syntax = juce::String (" (expected NUMBER=VALUE@START[,ch=C], e.g. 64=127@0)");
        const auto parts = juce::StringArray::fromTokens (argument, ",", "");
        const auto head = parts[0];

        if (! head.contains ("=") || ! head.contains ("@"))
            return failWith ("bad controller \"" + argument + "\"" + syntax);

        int number = 0, value = 0;
        juce::int64 start = 0;
        const auto assignment = head.upToFirstOccurrenceOf ("@", false, false);

        if (! parseInteger (assignment.upToFirstOccurrenceOf ("=", false, false), 0, maxMidiValue, number)
             || ! parseInteger (assignment.fromFirstOccurrenceOf ("=", false, false), 0, maxMidiValue, value))
            return failWith ("bad controller \"" + argument + "\": number and value are 0 to 127" + syntax);

        if (! parseInteger (head.fromFirstOccurrenceOf ("@", false, false), 0, maxSamplePosition, start))
            return failWith ("bad start sample in \"" + argument + "\"" + syntax);

        EventExtras extras;

        if (auto result = parseExtras (parts, argument, false, extras); result.failed())
            return result;

        events.push_back ({ start, juce::MidiMessage::controllerEvent (extras.channel, number, value) });
        return juce::Result::ok();
    }

    //==========================================================================
    bool isOptionAllowed (const juce::String& command, const juce::String& option)
    {
        static const juce::StringArray common { "--set", "--state" };
        static const juce::StringArray infoOnly { "--all-parameters" };
        static const juce::StringArray playOnly { "--note", "--cc", "--midi", "--rate", "--block", "--length", "--bypass",
                                                  "--bypass-from", "--bypass-until", "--save-state", "--wait-ms" };
        static const juce::StringArray windowOnly { "--screenshot", "--wait-ms" };

        if (common.contains (option))
            return true;

        if (command == "info")
            return infoOnly.contains (option);

        if (command == "play")
            return playOnly.contains (option);

        return windowOnly.contains (option);
    }

    bool optionTakesValue (const juce::String& option)
    {
        return option != "--bypass" && option != "--all-parameters";
    }

    juce::Result applyOption (const juce::String& option, const juce::String& value, HostOptions& options)
    {
        if (option == "--set")
        {
            if (! value.contains ("=") || value.upToFirstOccurrenceOf ("=", false, false).trim().isEmpty())
                return failWith ("bad setting \"" + value + "\" (expected ID=VALUE, e.g. ROOT=D)");

            options.settings.push_back ({ value.upToFirstOccurrenceOf ("=", false, false).trim(),
                                          value.fromFirstOccurrenceOf ("=", false, false).trim() });
            return juce::Result::ok();
        }

        if (option == "--note")         return parseNote (value, options.events);
        if (option == "--cc")           return parseController (value, options.events);
        if (option == "--midi")         { options.midiFile = juce::File::getCurrentWorkingDirectory().getChildFile (value); return juce::Result::ok(); }
        if (option == "--state")        { options.stateToRestore = juce::File::getCurrentWorkingDirectory().getChildFile (value); return juce::Result::ok(); }
        if (option == "--save-state")   { options.stateToSave = juce::File::getCurrentWorkingDirectory().getChildFile (value); return juce::Result::ok(); }
        if (option == "--screenshot")   { options.screenshot = juce::File::getCurrentWorkingDirectory().getChildFile (value); return juce::Result::ok(); }
        if (option == "--bypass")       { options.bypassed = true; return juce::Result::ok(); }
        if (option == "--all-parameters") { options.listAllParameters = true; return juce::Result::ok(); }

        if (option == "--rate")
        {
            const auto rate = value.trim().getDoubleValue();

            if (! value.trim().containsOnly ("0123456789.") || rate < minSampleRate || rate > maxSampleRate)
                return failWith ("bad sample rate \"" + value + "\": give a number of Hz from 1000 to 768000");

            options.sampleRate = rate;
            return juce::Result::ok();
        }

        if (option == "--block")
            return parseInteger (value, 1, maxBlockSize, options.blockSize)
                       ? juce::Result::ok()
                       : failWith ("bad block size \"" + value + "\": give 1 to " + juce::String (maxBlockSize) + " samples");

        if (option == "--wait-ms")
        {
            int ms = 0;

            if (! parseInteger (value, 0, maxWaitMs, ms))
                return failWith ("bad wait \"" + value + "\": give 0 to " + juce::String (maxWaitMs) + " milliseconds");

            options.waitMs = ms;
            return juce::Result::ok();
        }

        juce::int64 samples = 0;

        if (! parseInteger (value, option == "--length" ? 1 : 0, maxSamplePosition, samples))
            return failWith ("bad number of samples \"" + value + "\" for " + option);

        if (option == "--length")            options.length = samples;
        else if (option == "--bypass-from")  options.bypassFrom = samples;
        else                                 options.bypassUntil = samples;

        return juce::Result::ok();
    }
}

//==============================================================================
void sortTimedEvents (std::vector<TimedMidiEvent>& events)
{
    std::stable_sort (events.begin(), events.end(), [] (const TimedMidiEvent& a, const TimedMidiEvent& b)
    {
        if (a.sample != b.sample)
            return a.sample < b.sample;

        return a.message.isNoteOff() && ! b.message.isNoteOff();
    });
}

juce::String getHostUsage()
{
    return R"usage(aurelin-host: loads a VST3 bundle the way a DAW does, without a DAW.

Usage:
  aurelin-host info BUNDLE [--set ID=VALUE]... [--state FILE] [--all-parameters]
  aurelin-host play BUNDLE [--note KEY]... [--cc CONTROLLER]... [--midi FILE]
                           [--set ID=VALUE]... [--rate HZ] [--block N] [--length SAMPLES]
                           [--bypass] [--bypass-from SAMPLE] [--bypass-until SAMPLE]
                           [--state FILE] [--save-state FILE] [--wait-ms N]
  aurelin-host window BUNDLE --screenshot OUT.png [--set ID=VALUE]... [--state FILE] [--wait-ms N]
  aurelin-host --help

Commands:
  info     What a host sees: name, vendor, version, category, buses, MIDI in/out,
           programs, parameters with default and current values and choices, the
           saved state, and the factory and class information read straight from
           the module through the VST3 interfaces.
  play     Sends MIDI through the plug-in block by block and prints every event that
           goes in and every event that comes out, with its block, its position in
           the block and its sample from the start; at the end, the notes still
           sounding at the output. Parameter changes that the plug-in makes itself
           (following the shared scale record) are shown after the first and the
           last block, and after every block with --wait-ms.
  window   Opens the plug-in's own editor in a window, waits for it to paint, and
           writes a PNG of the window's area of the screen. Empty audio blocks run
           meanwhile, as behind a DAW's window, so the plug-in follows the shared
           scale record. Needs an X display.

Options:
  --set ID=VALUE         Set a parameter once the plug-in is loaded (after --state).
                         ID is a parameter ID (SOURCE, CORRECTION, INTERRUPT, ROOT,
                         SCALE_CLASS), a host's numeric parameter ID or a parameter
                         name; VALUE is a value text as the plug-in shows it (any
                         letter case), a choice index, or a normalised value 0..1
                         for continuous parameters. E.g. --set ROOT=D,
                         --set CORRECTION="Stack (White)", --set INTERRUPT=off.
  --note KEY             A key: NOTE@START[+LENGTH][,vel=V][,ch=C]. NOTE 0..127,
                         START and LENGTH in samples; without +LENGTH the key stays
                         down to the end. Velocity 100 and channel 1 unless given.
                         E.g. --note 61@0+4800 --note 64@100+200,vel=90,ch=2.
  --cc CONTROLLER        A controller: NUMBER=VALUE@START[,ch=C], e.g. --cc 123=0@9600.
                         A VST3 plug-in gets controllers as parameter changes, which
                         this host delivers at the start of their block.
  --midi FILE            A standard MIDI file, all tracks; its tempo map turns ticks
                         into samples (120 bpm when it has none).
  --rate HZ              Sample rate (default 48000).
  --block N              Block size in samples (default 512).
  --length SAMPLES       Play at least this long (default: up to the last event).
  --bypass               Play every block bypassed, as a host's bypass switch does.
  --bypass-from SAMPLE   Bypass the blocks that start at or after SAMPLE...
  --bypass-until SAMPLE  ...and before SAMPLE (either alone gives an open range).
  --state FILE           Restore a state written by --save-state, first of all.
  --save-state FILE      Write the plug-in's state after playing, as a host saves it.
  --wait-ms N            play: pause N ms after every block, so that a change of the
                         shared scale record made meanwhile is seen mid-play.
                         window: how long to let the editor paint (default 1000).
  --screenshot OUT.png   Where the window command writes its picture.
  --all-parameters       info: also list the hidden MIDI CC parameters.

Exit status: 0 on success, 1 when the bundle, a file or a value cannot be used,
2 for a malformed command line.
)usage";
}

juce::Result parseHostCommandLine (const juce::StringArray& args, HostOptions& options, bool& wantsHelp)
{
    wantsHelp = args.contains ("--help") || args.contains ("-h");

    if (wantsHelp)
        return juce::Result::ok();

    if (args.isEmpty())
        return failWith ("no command given");

    options.command = args[0];

    if (options.command != "info" && options.command != "play" && options.command != "window")
        return failWith ("unknown command \"" + options.command + "\"");

    if (args.size() < 2 || args[1].startsWith ("--"))
        return failWith ("the " + options.command + " command needs a bundle (a .vst3 folder)");

    options.bundle = juce::File::getCurrentWorkingDirectory().getChildFile (args[1]);

    for (int i = 2; i < args.size(); ++i)
    {
        auto option = args[i];
        juce::String value;
        auto hasInlineValue = false;

        if (! option.startsWith ("--"))
            return failWith ("unexpected argument \"" + option + "\"");

        if (option.contains ("="))
        {
            value = option.fromFirstOccurrenceOf ("=", false, false);
            option = option.upToFirstOccurrenceOf ("=", false, false);
            hasInlineValue = true;
        }

        if (! isOptionAllowed (options.command, option))
            return failWith ("unknown option " + option + " for the " + options.command + " command");

        if (optionTakesValue (option) && ! hasInlineValue)
        {
            if (i + 1 >= args.size())
                return failWith ("option " + option + " needs a value");

            value = args[++i];
        }
        else if (! optionTakesValue (option) && hasInlineValue)
        {
            return failWith ("option " + option + " takes no value");
        }

        if (auto result = applyOption (option, value, options); result.failed())
            return result;
    }

    if (options.command == "window" && ! options.screenshot.has_value())
        return failWith ("the window command needs --screenshot OUT.png");

    if (options.bypassed && (options.bypassFrom.has_value() || options.bypassUntil.has_value()))
        return failWith ("--bypass plays everything bypassed; give it without --bypass-from and --bypass-until");

    if (options.bypassFrom.has_value() && options.bypassUntil.has_value() && *options.bypassUntil <= *options.bypassFrom)
        return failWith ("--bypass-until must come after --bypass-from");

    sortTimedEvents (options.events);
    return juce::Result::ok();
}
