// aurelin-publish: writes the machine-wide scale record that every Aurelin instance
// follows. Every field is written first and the update counter last, so a reader
// that sees a new counter also sees the values that belong to it.

#include <juce_core/juce_core.h>

#include "ScaleUtils.h"
#include "SharedScaleState.h"

#include <atomic>
#include <iostream>
#include <optional>

namespace
{
    constexpr int pitchClasses = 12;

    const char* const usage =
        "usage: aurelin-publish COMMAND\n"
        "\n"
        "  scale ROOT CLASS                 publish a scale, e.g. 'scale D diatonic', 'scale C# octatonic'\n"
        "  chord NOTE... [--root NOTE] [--type TYPE]\n"
        "                                   publish a chord by its notes, e.g. 'chord C E G --root C --type _M7-0';\n"
        "                                   the root defaults to the first note, the type to none\n"
        "  chord --clear                    withdraw the chord\n"
        "  show                             print the record in words\n"
        "\n"
        "Notes: C D E F G A B with sharps or flats (C#, Db, F##). Classes: acoustic, diatonic,\n"
        "harmonic_major, harmonic_minor, octatonic, hexatonic, whole_tone.\n";

    struct UsageError
    {
        juce::String message;
    };

    std::optional<int> parsePitchClass (const juce::String& text)
    {
        static constexpr int naturals[] { 9, 11, 0, 2, 4, 5, 7 };   // A B C D E F G

        if (text.isEmpty())
            return std::nullopt;

        const auto letter = juce::CharacterFunctions::toUpperCase (text[0]);

        if (letter < 'A' || letter > 'G')
            return std::nullopt;

        auto pitchClass = naturals[letter - 'A'];

        for (auto accidental : text.substring (1))
        {
            if (accidental == '#' || accidental == 0x266F)
                ++pitchClass;
            else if (accidental == 'b' || accidental == 0x266D)
                --pitchClass;
            else
                return std::nullopt;
        }

        return ((pitchClass % pitchClasses) + pitchClasses) % pitchClasses;
    }

    int requirePitchClass (const juce::String& text)
    {
        if (const auto pitchClass = parsePitchClass (text))
            return *pitchClass;

        throw UsageError { "'" + text + "' is not a note name (try C, C#, Db, F##)" };
    }

    int requireScaleClass (const juce::String& text)
    {
        for (int cls = 0; cls < ScaleUtils::numScaleClasses; ++cls)
            if (ScaleUtils::classKeyFor ((ScaleUtils::ScaleClass) cls) == text)
                return cls;

        throw UsageError { "'" + text + "' is not a scale class (acoustic, diatonic, harmonic_major, "
                           "harmonic_minor, octatonic, hexatonic, whole_tone)" };
    }

    juce::String describeScale (const SharedScaleData& record)
    {
        const auto cls = (ScaleUtils::ScaleClass) record.scaleClass;

        if (! juce::isPositiveAndBelow (record.root, ScaleUtils::numRoots)
            || ! juce::isPositiveAndBelow (record.scaleClass, ScaleUtils::numScaleClasses))
            return "root " + juce::String (record.root) + ", class " + juce::String (record.scaleClass) + " (not a catalogue scale)";

        return ScaleUtils::noteToString ((ScaleUtils::NoteName) record.root) + " " + ScaleUtils::classKeyFor (cls);
    }

    juce::String describeChord (const SharedScaleData& record)
    {
        if (record.chordMask == 0)
            return "none";

        juce::StringArray notes;

        for (int k = 0; k < pitchClasses; ++k)
            if ((record.chordMask & (1u << k)) != 0)
                notes.add (ScaleUtils::noteToString ((ScaleUtils::NoteName) k));

        const auto type = juce::String::fromUTF8 (record.chordName, (int) chordNameLength (record));
        return notes.joinIntoString (" ") + ", root "
             + ScaleUtils::noteToString ((ScaleUtils::NoteName) juce::jlimit (0, 11, record.chordRoot))
             + (type.isNotEmpty() ? ", type " + type : juce::String (", no type"));
    }

    /** The counter goes last, after everything a reader takes along with it. */
    void publish (SharedScaleData& record, const SharedScaleData& update)
    {
        record.root = update.root;
        record.scaleClass = update.scaleClass;
        record.chordRoot = update.chordRoot;
        record.chordMask = update.chordMask;
        std::memcpy (record.chordName, update.chordName, sizeof (record.chordName));

        std::atomic_thread_fence (std::memory_order_release);
        __atomic_store_n (&record.sequence, record.sequence + 1, __ATOMIC_RELEASE);
    }

    SharedScaleData parseChord (const juce::StringArray& args, SharedScaleData update)
    {
        if (args.size() == 2 && args[1] == "--clear")
        {
            update.chordMask = 0;
            update.chordRoot = 0;
            std::memset (update.chordName, 0, sizeof (update.chordName));
            return update;
        }

        juce::uint16 mask = 0;
        std::optional<int> root;
        juce::String type;

        for (int i = 1; i < args.size(); ++i)
        {
            if (args[i] == "--root" || args[i] == "--type")
            {
                if (i + 1 >= args.size())
                    throw UsageError { args[i] + " needs a value" };

                if (args[i] == "--root")
                    root = requirePitchClass (args[++i]);
                else
                    type = args[++i];
            }
            else
            {
                const auto pitchClass = requirePitchClass (args[i]);

                if (! root.has_value() && mask == 0)
                    root = pitchClass;

                mask = (juce::uint16) (mask | (1u << pitchClass));
            }
        }

        if (mask == 0)
            throw UsageError { "a chord needs at least one note (or --clear)" };

        const auto typeBytes = type.toUTF8();

        if (typeBytes.sizeInBytes() > SharedScaleData::chordNameSize)
            throw UsageError { "the chord type '" + type + "' is longer than "
                               + juce::String ((int) SharedScaleData::chordNameSize - 1) + " bytes" };

        update.chordMask = mask;
        update.chordRoot = *root;
        std::memset (update.chordName, 0, sizeof (update.chordName));
        std::memcpy (update.chordName, typeBytes.getAddress(), typeBytes.sizeInBytes() - 1);
        return update;
    }

    int run (const juce::StringArray& args)
    {
        if (args.isEmpty() || args[0] == "--help" || args[0] == "-h")
        {
            (args.isEmpty() ? std::cerr : std::cout) << usage;
            return args.isEmpty() ? 1 : 0;
        }

        const auto& command = args[0];

        if (command != "scale" && command != "chord" && command != "show")
            throw UsageError { "unknown command '" + command + "'" };

        if (command == "scale" && args.size() != 3)
            throw UsageError { "'scale' takes a root and a class, e.g. 'scale D diatonic'" };

        if (command == "show" && args.size() != 1)
            throw UsageError { "'show' takes no arguments" };

        // Everything is checked before the record is touched.
        std::optional<SharedScaleData> scaleUpdate;
        std::optional<juce::StringArray> chordArgs;

        if (command == "scale")
        {
            SharedScaleData update {};
            update.root = requirePitchClass (args[1]);
            update.scaleClass = requireScaleClass (args[2]);
            scaleUpdate = update;
        }
        else if (command == "chord")
        {
            parseChord (args, {});
            chordArgs = args;
        }

        const SharedScaleState shared;

        if (shared.data == nullptr)
        {
            std::cerr << "aurelin-publish: the shared scale record " << SharedScaleState::objectName
                      << " cannot be opened (missing permissions, or another program made it too small)\n";
            return 2;
        }

        auto& record = *shared.data;
        auto update = record;

        if (scaleUpdate)
        {
            update.root = scaleUpdate->root;
            update.scaleClass = scaleUpdate->scaleClass;
        }
        else if (chordArgs)
        {
            update = parseChord (*chordArgs, update);
        }

        if (command != "show")
            publish (record, update);

        std::cout << "scale: " << describeScale (record) << "\n"
                  << "chord: " << describeChord (record) << "\n"
                  << "sequence: " << record.sequence << "\n";
        return 0;
    }
}

int main (int argc, char* argv[])
{
    juce::StringArray args;

    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    try
    {
        return run (args);
    }
    catch (const UsageError& error)
    {
        std::cerr << "aurelin-publish: " << error.message << "\n(see 'aurelin-publish --help')\n";
        return 1;
    }
}
