#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "SharedScaleState.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace HostTest
{
    juce::File getBundle();
    juce::File getHost();

    //==============================================================================
    /** What a run of aurelin-host left behind. A crash shows as an exit code of
        128 + the signal's number, as a shell reports it. */
    struct HostRun
    {
        int exitCode = -1;
        juce::String out;
        juce::String err;

        /** stderr without the framework's debug-build banner ("JUCE v..."). */
        juce::StringArray errorLines() const;
    };

    /** Runs the built host with the given arguments to the end. `display`, when given,
        becomes the child's DISPLAY. */
    HostRun runHost (const juce::StringArray& args, const juce::String& display = {});

    /** The built host, running, for tests that act while it plays. */
    class RunningHost final
    {
    public:
        explicit RunningHost (const juce::StringArray& args);

        /** Reads stdout until a line contains `text` or the output ends; returns
            everything read so far. */
        juce::String readUntil (const juce::String& text);

        /** Reads the rest of stdout and waits for the exit. */
        HostRun finish();

    private:
        juce::ChildProcess process;
        juce::File errorFile;
        juce::String received;

        JUCE_DECLARE_NON_COPYABLE (RunningHost)
    };

    //==============================================================================
    /** A folder for one test's files, removed with everything in it afterwards. */
    class TempFolder final
    {
    public:
        TempFolder();
        ~TempFolder();

        juce::File file (const juce::String& name) const { return folder.getChildFile (name); }

    private:
        juce::File folder;

        JUCE_DECLARE_NON_COPYABLE (TempFolder)
    };

    //==============================================================================
    /** Keeps the machine-wide scale record out of the way of a test and puts it back
        afterwards. On entry it saves the record's 80 bytes and leaves it as freshly
        created (sequence 0: instances follow their own parameters); on exit it writes
        the saved bytes back. When there was no record it creates one and removes it
        at the end. A record too small to be ours is left alone (instances then
        count it as unavailable) and publish() fails. */
    class SharedRecordGuard final
    {
    public:
        SharedRecordGuard();
        ~SharedRecordGuard();

        /** Writes a scale as a publisher does: fields first, then a new sequence. */
        bool publish (int root, int scaleClass);

    private:
        SharedScaleData* record = nullptr;
        int fd = -1;
        bool createdHere = false;
        std::array<unsigned char, sizeof (SharedScaleData)> saved {};

        JUCE_DECLARE_NON_COPYABLE (SharedRecordGuard)
    };

    //==============================================================================
    /** An Xvfb server of our own on a free display number, stopped at the end. */
    class VirtualDisplay final
    {
    public:
        VirtualDisplay();
        ~VirtualDisplay();

        /** ":N", or empty when no server could be started. */
        juce::String getName() const { return name; }

        static bool isAvailable();

    private:
        pid_t pid = -1;
        juce::String name;

        JUCE_DECLARE_NON_COPYABLE (VirtualDisplay)
    };

    //==============================================================================
    /** The MIDI lines of a play report in one direction ("in" or "out"), each as
        "SAMPLE note-on CH NOTE VEL", "SAMPLE note-off CH NOTE VEL" or
        "SAMPLE cc CH NUMBER VALUE". */
    std::vector<std::string> midiEvents (const juce::String& report, const juce::String& direction);

    /** The text after "label:" on the first line of the report that has it. */
    juce::String valueAfter (const juce::String& report, const juce::String& label);

    /** The factory section of an info report: its own fields, and one map per class. */
    struct FactoryReport
    {
        std::map<std::string, std::string> factory;
        std::vector<std::map<std::string, std::string>> classes;
    };

    FactoryReport parseFactory (const juce::String& report);
}
