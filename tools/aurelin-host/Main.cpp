#include <juce_audio_processors/juce_audio_processors.h>

#include "HostCommands.h"
#include "ScreenGrab.h"

#include <iostream>

namespace
{
    enum ExitCode
    {
        success = 0,
        failure = 1,
        usageError = 2
    };

    void reportError (const juce::String& message)
    {
        std::cerr << "aurelin-host: " << message << std::endl;
    }
}

int main (int argc, char* argv[])
{
    // Before anything touches X, and before the framework starts threads that may.
    ScreenGrab::prepareXlib();

    juce::StringArray args;

    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    HostOptions options;
    auto wantsHelp = false;

    if (const auto parsed = parseHostCommandLine (args, options, wantsHelp); parsed.failed())
    {
        reportError (parsed.getErrorMessage() + "; run \"aurelin-host --help\" for usage");
        return usageError;
    }

    if (wantsHelp)
    {
        std::cout << getHostUsage();
        return success;
    }

    const juce::ScopedJuceInitialiser_GUI juce;

    const auto result = options.command == "info" ? runInfoCommand (options)
                      : options.command == "play" ? runPlayCommand (options)
                                                  : runWindowCommand (options);

    if (result.failed())
    {
        reportError (result.getErrorMessage());
        return failure;
    }

    return success;
}
