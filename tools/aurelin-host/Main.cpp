#include <juce_audio_processors/juce_audio_processors.h>

int main()
{
    return 0;
}
