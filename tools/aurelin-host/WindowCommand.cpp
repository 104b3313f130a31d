#include "HostCommands.h"
#include "PluginSession.h"
#include "ScreenGrab.h"

#include <iostream>

namespace
{
    constexpr int closingTimeMs = 200;
    constexpr int blockSize = 512;
    constexpr double sampleRate = 48000.0;

    /** Runs empty audio blocks on the message thread while the window is open, as a
        DAW's audio keeps running behind a plug-in's window: the plug-in follows the
        shared scale record only from its audio blocks. */
    class AudioPulse final : private juce::Timer
    {
    public:
        explicit AudioPulse (juce::AudioPluginInstance& instanceToRun)
            : instance (instanceToRun),
              buffer (juce::jmax (instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels()), blockSize)
        {
            instance.prepareToPlay (sampleRate, blockSize);
            timerCallback();
            startTimer (juce::roundToInt (1000.0 * blockSize / sampleRate));
        }

        ~AudioPulse() override
        {
            stopTimer();
            instance.releaseResources();
        }

    private:
        void timerCallback() override
        {
            midi.clear();
            instance.processBlock (buffer, midi);
        }

        juce::AudioPluginInstance& instance;
        juce::AudioBuffer<float> buffer;
        juce::MidiBuffer midi;

        JUCE_DECLARE_NON_COPYABLE (AudioPulse)
    };

    /** A plain top-level window around the plug-in's editor, with whatever frame the
        window manager gives it (none under a bare Xvfb). Message thread only. */
    class EditorWindow final : public juce::DocumentWindow
    {
    public:
        EditorWindow (const juce::String& title, std::unique_ptr<juce::AudioProcessorEditor> editor)
            : DocumentWindow (title, juce::Colours::black, 0)
        {
            setUsingNativeTitleBar (true);
            setContentOwned (editor.release(), true);
            setResizable (false, false);
            setTopLeftPosition (0, 0);
            setVisible (true);
        }

        void closeButtonPressed() override {}

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EditorWindow)
    };

    juce::Result writePng (const std::vector<std::uint32_t>& pixels, int width, int height, const juce::File& file)
    {
        juce::Image image (juce::Image::ARGB, width, height, false);

        {
            const juce::Image::BitmapData bitmap (image, juce::Image::BitmapData::writeOnly);

            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    bitmap.setPixelColour (x, y, juce::Colour (pixels[(size_t) y * (size_t) width + (size_t) x]));
        }

        if (! file.getParentDirectory().isDirectory())
            return juce::Result::fail ("cannot write " + file.getFullPathName() + ": there is no such folder");

        // FileOutputStream appends to an existing file.
        file.deleteFile();
        juce::FileOutputStream stream (file);

        if (! stream.openedOk() || ! juce::PNGImageFormat().writeImageToStream (image, stream))
            return juce::Result::fail ("cannot write " + file.getFullPathName());

        return juce::Result::ok();
    }
}

//==============================================================================
juce::Result runWindowCommand (const HostOptions& options)
{
    if (! ScreenGrab::isDisplayAvailable())
        return juce::Result::fail ("no X display to open a window on: set DISPLAY, or run under Xvfb");

    juce::String error;
    auto session = PluginSession::open (options, error);

    if (session == nullptr)
        return juce::Result::fail (error);

    auto& instance = session->getInstance();

    if (! instance.hasEditor())
        return juce::Result::fail (session->getDescription().name + " has no editor");

    std::unique_ptr<juce::AudioProcessorEditor> editor (instance.createEditorIfNeeded());

    if (editor == nullptr)
        return juce::Result::fail (session->getDescription().name + " did not create its editor");

    auto* content = editor.get();
    auto pulse = std::make_unique<AudioPulse> (instance);
    auto window = std::make_unique<EditorWindow> (session->getDescription().name, std::move (editor));

    // The editor draws into its own embedded window when the message loop runs.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (options.waitMs.value_or (HostOptions::defaultWindowWaitMs));

    const auto bounds = juce::Desktop::getInstance().getDisplays().logicalToPhysical (content->getScreenBounds());
    std::vector<std::uint32_t> pixels;
    std::string grabError;
    const auto grabbed = ScreenGrab::grab (bounds.getX(), bounds.getY(), bounds.getWidth(), bounds.getHeight(), pixels, grabError);

    window.reset();
    pulse.reset();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (closingTimeMs);

    if (! grabbed)
        return juce::Result::fail ("cannot take the screenshot: " + juce::String (grabError));

    if (auto written = writePng (pixels, bounds.getWidth(), bounds.getHeight(), *options.screenshot); written.failed())
        return written;

    std::cout << "editor: " << bounds.getWidth() << " x " << bounds.getHeight() << " at (" << bounds.getX() << ", "
              << bounds.getY() << ") on the screen\n"
              << "parameters: " << session->describeParameterValues() << "\n"
              << "screenshot: " << options.screenshot->getFullPathName() << std::endl;

    return juce::Result::ok();
}
