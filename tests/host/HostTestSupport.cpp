#include "HostTestSupport.h"

#include <csignal>
#include <cstring>
#include <regex>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace HostTest
{
    namespace
    {
        constexpr int hostTimeoutMs = 120000;

        /** Runs the host under a shell that sends its stderr to a file and reports a
            death by signal as 128 + the signal, which ChildProcess alone reports as 0. */
        juce::StringArray shellCommand (const juce::File& errorFile, const juce::StringArray& args, const juce::String& display)
        {
            juce::StringArray command { "/bin/sh", "-c", "err=$1; shift; \"$@\" 2>\"$err\"", "sh", errorFile.getFullPathName() };

            if (display.isNotEmpty())
                command.addArray (juce::StringArray { "/usr/bin/env", "DISPLAY=" + display });

            command.add (getHost().getFullPathName());
            command.addArray (args);
            return command;
        }

        juce::String unquoted (const std::string& text)
        {
            const auto value = juce::String (text).trim();
            return value.startsWithChar ('"') && value.endsWithChar ('"') ? value.substring (1, value.length() - 1) : value;
        }
    }

    juce::File getBundle()
    {
        // The build may name a path inside the bundle; the bundle is the nearest
        // existing folder, this one or above, whose name ends in .vst3.
        const juce::File given (AURELIN_BUNDLE_PATH);

        for (auto folder = given; folder != folder.getParentDirectory(); folder = folder.getParentDirectory())
            if (folder.isDirectory() && folder.hasFileExtension (".vst3"))
                return folder;

        return given;
    }

    juce::File getHost()    { return juce::File (AURELIN_HOST_PATH); }

    //==============================================================================
    juce::StringArray HostRun::errorLines() const
    {
        auto lines = juce::StringArray::fromLines (err.trimEnd());
        lines.removeEmptyStrings();

        for (int i = lines.size(); --i >= 0;)
            if (lines[i].startsWith ("JUCE v"))
                lines.remove (i);

        return lines;
    }

    HostRun runHost (const juce::StringArray& args, const juce::String& display)
    {
        const juce::TemporaryFile errors;
        juce::ChildProcess process;
        HostRun run;

        if (! process.start (shellCommand (errors.getFile(), args, display), juce::ChildProcess::wantStdOut))
            return run;

        run.out = process.readAllProcessOutput();
        process.waitForProcessToFinish (hostTimeoutMs);
        run.exitCode = (int) process.getExitCode();
        run.err = errors.getFile().loadFileAsString();
        return run;
    }

    RunningHost::RunningHost (const juce::StringArray& args)
        : errorFile (juce::File::createTempFile ("err"))
    {
        process.start (shellCommand (errorFile, args, {}), juce::ChildProcess::wantStdOut);
    }

    juce::String RunningHost::readUntil (const juce::String& text)
    {
        // ChildProcess waits until it has as many bytes as asked for, so ask for one
        // at a time: the host prints as it plays, and the caller acts in between.
        juce::MemoryOutputStream bytes;
        char byte = 0;

        while (! received.contains (text) && process.readProcessOutput (&byte, 1) == 1)
        {
            bytes.writeByte (byte);

            if (byte == '\n')
            {
                received += bytes.toUTF8();
                bytes.reset();
            }
        }

        return received += bytes.toUTF8();
    }

    HostRun RunningHost::finish()
    {
        HostRun run;
        run.out = received + process.readAllProcessOutput();
        process.waitForProcessToFinish (hostTimeoutMs);
        run.exitCode = (int) process.getExitCode();
        run.err = errorFile.loadFileAsString();
        errorFile.deleteFile();
        return run;
    }

    //==============================================================================
    TempFolder::TempFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("aurelin-host-test", {}, false))
    {
        folder.createDirectory();
    }

    TempFolder::~TempFolder()
    {
        folder.deleteRecursively();
    }

    //==============================================================================
    SharedRecordGuard::SharedRecordGuard()
    {
        constexpr auto size = sizeof (SharedScaleData);
        fd = ::shm_open (SharedScaleState::objectName, O_RDWR, 0666);

        if (fd == -1)
        {
            fd = ::shm_open (SharedScaleState::objectName, O_RDWR | O_CREAT | O_EXCL, 0666);
            createdHere = fd != -1 && ::ftruncate (fd, (off_t) size) == 0;
        }

        struct stat info {};

        if (fd == -1 || ::fstat (fd, &info) != 0 || info.st_size < (off_t) size)
            return;

        auto* mapping = ::mmap (nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);

        if (mapping == MAP_FAILED)
            return;

        record = static_cast<SharedScaleData*> (mapping);

        if (createdHere)
            std::memset (static_cast<void*> (record), 0, size);

        std::memcpy (saved.data(), record, size);

        SharedScaleData fresh {};
        fresh.reservedWord = SharedScaleData::reservedWordOnCreation;
        std::memcpy (static_cast<void*> (record), &fresh, size);
    }

    SharedRecordGuard::~SharedRecordGuard()
    {
        if (record != nullptr)
        {
            std::memcpy (static_cast<void*> (record), saved.data(), saved.size());
            ::munmap (record, sizeof (SharedScaleData));
        }

        if (fd != -1)
            ::close (fd);

        if (createdHere)
            ::shm_unlink (SharedScaleState::objectName);
    }

    bool SharedRecordGuard::publish (int root, int scaleClass)
    {
        if (record == nullptr)
            return false;

        record->root = root;
        record->scaleClass = scaleClass;
        record->chordMask = 0;
        std::atomic_thread_fence (std::memory_order_release);
        record->sequence = record->sequence + 1;
        return true;
    }

    //==============================================================================
    bool VirtualDisplay::isAvailable()
    {
        for (const auto& folder : juce::StringArray::fromTokens (juce::SystemStats::getEnvironmentVariable ("PATH", "/usr/bin"), ":", ""))
            if (juce::File (folder).getChildFile ("Xvfb").existsAsFile())
                return true;

        return false;
    }

    VirtualDisplay::VirtualDisplay()
    {
        constexpr int firstNumber = 90, lastNumber = 199;
        constexpr int startupTimeoutMs = 10000, pollMs = 50;

        if (! isAvailable())
            return;

        for (int number = firstNumber; number <= lastNumber && name.isEmpty(); ++number)
        {
            const auto socket = juce::File ("/tmp/.X11-unix/X" + juce::String (number));

            if (socket.exists() || juce::File ("/tmp/.X" + juce::String (number) + "-lock").exists())
                continue;

            const auto display = ":" + juce::String (number);
            std::vector<std::string> args { "Xvfb", display.toStdString(), "-screen", "0", "1024x768x24", "-nolisten", "tcp" };
            std::vector<char*> argv;

            for (auto& arg : args)
                argv.push_back (arg.data());

            argv.push_back (nullptr);

            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init (&actions);
            posix_spawn_file_actions_addopen (&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen (&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
            const auto spawned = ::posix_spawnp (&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
            posix_spawn_file_actions_destroy (&actions);

            if (spawned != 0)
            {
                pid = -1;
                return;
            }

            for (int waited = 0; waited < startupTimeoutMs; waited += pollMs)
            {
                if (socket.exists())
                {
                    name = display;
                    break;
                }

                int status = 0;

                if (::waitpid (pid, &status, WNOHANG) == pid)
                {
                    pid = -1;   // lost a race for this number: try the next
                    break;
                }

                juce::Thread::sleep (pollMs);
            }
        }
    }

    VirtualDisplay::~VirtualDisplay()
    {
        if (pid > 0)
        {
            ::kill (pid, SIGTERM);
            int status = 0;
            ::waitpid (pid, &status, 0);
        }
    }

    //==============================================================================
    std::vector<std::string> midiEvents (const juce::String& report, const juce::String& direction)
    {
        static const std::regex lineFormat (R"(^(\w+)\s+block\s+\d+\s+pos\s+\d+\s+sample\s+(\d+)\s+(.*)$)");
        static const std::regex noteFormat (R"(^(note-on|note-off)\s+ch\s+(\d+)\s+note\s+(\d+)\s+vel\s+(\d+)\s*$)");
        static const std::regex controllerFormat (R"(^cc\s+ch\s+(\d+)\s+#(\d+) = (\d+)\s*$)");

        std::vector<std::string> events;

        for (const auto& line : juce::StringArray::fromLines (report))
        {
            const auto text = line.toStdString();
            std::smatch parts, event;

            if (! std::regex_match (text, parts, lineFormat) || parts[1] != direction.toStdString())
                continue;

            const auto rest = parts[3].str();

            if (std::regex_match (rest, event, noteFormat))
                events.push_back (parts[2].str() + " " + event[1].str() + " " + event[2].str() + " " + event[3].str() + " " + event[4].str());
            else if (std::regex_match (rest, event, controllerFormat))
                events.push_back (parts[2].str() + " cc " + event[1].str() + " " + event[2].str() + " " + event[3].str());
            else
                events.push_back (parts[2].str() + " " + rest);
        }

        return events;
    }

    juce::String valueAfter (const juce::String& report, const juce::String& label)
    {
        for (const auto& line : juce::StringArray::fromLines (report))
            if (line.trimStart().startsWith (label + ":"))
                return line.fromFirstOccurrenceOf (label + ":", false, false).trim();

        return {};
    }

    FactoryReport parseFactory (const juce::String& report)
    {
        static const std::regex classHeader (R"(^  class (\d+)$)");
        static const std::regex classField (R"(^    ([^:]+):\s*(.*)$)");
        static const std::regex factoryField (R"(^  ([^:]+):\s*(.*)$)");

        FactoryReport result;
        auto inFactory = false;

        for (const auto& line : juce::StringArray::fromLines (report))
        {
            const auto text = line.toStdString();
            std::smatch parts;

            if (line.startsWith ("Factory"))
                inFactory = true;
            else if (! inFactory)
                continue;
            else if (std::regex_match (text, parts, classHeader))
                result.classes.emplace_back();
            else if (std::regex_match (text, parts, classField) && ! result.classes.empty())
                result.classes.back()[parts[1].str()] = unquoted (parts[2].str()).toStdString();
            else if (std::regex_match (text, parts, factoryField))
                result.factory[parts[1].str()] = unquoted (parts[2].str()).toStdString();
        }

        return result;
    }
}
