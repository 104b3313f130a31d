#pragma once

#include "HostOptions.h"

/** The host's three commands. Each prints its report on stdout and fails with one
    line saying what went wrong. All run on the message thread (the program's main
    thread), which also runs the plug-in's blocks.
*/
juce::Result runInfoCommand (const HostOptions& options);
juce::Result runPlayCommand (const HostOptions& options);
juce::Result runWindowCommand (const HostOptions& options);
