#include "RawVst3Module.h"

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wnon-virtual-dtor",
                                     "-Wshadow",
                                     "-Wshadow-field-in-constructor",
                                     "-Wzero-as-null-pointer-constant",
                                     "-Wold-style-cast",
                                     "-Wextra-semi",
                                     "-Wunused-parameter",
                                     "-Wsign-conversion",
                                     "-Wdeprecated-copy-with-dtor",
                                     "-Wcast-align",
                                     "-Wpedantic")
#include <juce_audio_processors/format_types/VST3_SDK/pluginterfaces/base/ipluginbase.h>
#include <juce_audio_processors/format_types/VST3_SDK/pluginterfaces/vst/ivstcomponent.h>
#include <juce_audio_processors/format_types/VST3_SDK/pluginterfaces/vst/ivstunits.h>
JUCE_END_IGNORE_WARNINGS_GCC_LIKE

#include <cstring>
#include <dlfcn.h>
#include <sys/utsname.h>

namespace
{
    using ModuleEntryFunction = bool (*) (void*);
    using ModuleExitFunction = bool (*)();
    using GetFactoryFunction = Steinberg::IPluginFactory* (*)();

    /** A fixed-size text field of the factory structures: up to its first zero byte,
        never past its end, whatever the module left there. */
    template <size_t size>
    juce::String fieldText (const Steinberg::char8 (&field)[size])
    {
        return juce::String::fromUTF8 (field, (int) ::strnlen (field, size));
    }

    juce::String quoted (const juce::String& text)
    {
        return "\"" + text + "\"";
    }

    juce::String classIdText (const Steinberg::TUID& cid)
    {
        juce::StringArray bytes;

        for (auto byte : cid)
            bytes.add (juce::String::toHexString ((int) (juce::uint8) byte).paddedLeft ('0', 2).toUpperCase());

        return bytes.joinIntoString (" ");
    }

    juce::String factoryFlagsText (Steinberg::int32 flags)
    {
        using Info = Steinberg::PFactoryInfo;
        juce::StringArray names;

        if ((flags & Info::kClassesDiscardable) != 0)       names.add ("classes discardable");
        if ((flags & Info::kLicenseCheck) != 0)             names.add ("license check");
        if ((flags & Info::kComponentNonDiscardable) != 0)  names.add ("component non-discardable");
        if ((flags & Info::kUnicode) != 0)                  names.add ("unicode");

        return juce::String (flags) + (names.isEmpty() ? juce::String() : " (" + names.joinIntoString (", ") + ")");
    }

    /** Releases a factory interface when it goes out of scope. */
    template <typename Interface>
    struct InterfaceReference
    {
        explicit InterfaceReference (Interface* i) : object (i) {}
        ~InterfaceReference() { if (object != nullptr) object->release(); }
        Interface* operator->() const noexcept { return object; }
        explicit operator bool() const noexcept { return object != nullptr; }

        Interface* object = nullptr;

        JUCE_DECLARE_NON_COPYABLE (InterfaceReference)
    };

    template <typename Interface>
    Interface* queryInterfaceOf (Steinberg::FUnknown& object, const Steinberg::TUID iid)
    {
        void* result = nullptr;

        if (object.queryInterface (iid, &result) != Steinberg::kResultOk)
            return nullptr;

        return static_cast<Interface*> (result);
    }

    juce::String unicodeText (const Steinberg::Vst::String128& text)
    {
        static_assert (sizeof (Steinberg::Vst::TChar) == sizeof (juce::CharPointer_UTF16::CharType));
        constexpr auto capacity = sizeof (text) / sizeof (text[0]);
        size_t length = 0;

        while (length < capacity && text[length] != 0)
            ++length;

        return juce::String (juce::CharPointer_UTF16 (reinterpret_cast<const juce::CharPointer_UTF16::CharType*> (text)),
                             juce::CharPointer_UTF16 (reinterpret_cast<const juce::CharPointer_UTF16::CharType*> (text + length)));
    }

    constexpr auto labelWidth = 16;

    juce::String line (int indent, const juce::String& label, const juce::String& value)
    {
        return juce::String::repeatedString (" ", indent) + (label + ":").paddedRight (' ', labelWidth) + value + "\n";
    }
}

//==============================================================================
RawVst3Module::~RawVst3Module()
{
    close();
}

juce::File RawVst3Module::getBinaryPath (const juce::File& bundle)
{
    struct utsname machine {};
    const auto architecture = ::uname (&machine) == 0 ? juce::String (machine.machine) : juce::String ("x86_64");

    return bundle.getChildFile ("Contents")
                 .getChildFile (architecture + "-linux")
                 .getChildFile (bundle.getFileNameWithoutExtension() + ".so");
}

juce::Result RawVst3Module::open (const juce::File& bundle)
{
    close();

    const auto binary = getBinaryPath (bundle);

    if (! binary.existsAsFile())
        return juce::Result::fail (bundle.getFullPathName() + " is not a VST3 bundle for this machine: "
                                   + binary.getFullPathName() + " is missing");

    handle = ::dlopen (binary.getFullPathName().toRawUTF8(), RTLD_NOW | RTLD_LOCAL);

    if (handle == nullptr)
    {
        const auto* reason = ::dlerror();
        return juce::Result::fail ("cannot load " + binary.getFullPathName() + ": "
                                   + (reason != nullptr ? juce::String (reason) : juce::String ("unknown reason")));
    }

    if (auto entry = reinterpret_cast<ModuleEntryFunction> (::dlsym (handle, "ModuleEntry")))
    {
        const auto accepted = entry (handle);
        entered = true;
        entryReport = juce::String ("ModuleEntry returned ") + (accepted ? "true" : "false");

        if (! accepted)
        {
            close();
            return juce::Result::fail ("cannot load " + binary.getFullPathName() + ": its ModuleEntry refused");
        }
    }
    else
    {
        entryReport = "no ModuleEntry";
    }

    if (::dlsym (handle, "GetPluginFactory") == nullptr)
    {
        close();
        return juce::Result::fail ("cannot load " + binary.getFullPathName() + ": it exports no GetPluginFactory");
    }

    return juce::Result::ok();
}

juce::String RawVst3Module::close()
{
    if (handle == nullptr)
        return {};

    juce::String report ("not needed (no ModuleEntry)");

    if (entered)
    {
        if (auto exitFunction = reinterpret_cast<ModuleExitFunction> (::dlsym (handle, "ModuleExit")))
            report = juce::String ("ModuleExit returned ") + (exitFunction() ? "true" : "false");
        else
            report = "ModuleExit missing";
    }

    ::dlclose (handle);
    handle = nullptr;
    entered = false;
    return report;
}

juce::String RawVst3Module::describeProgramLists (Steinberg::Vst::IComponent& component)
{
    using namespace Steinberg;

    InterfaceReference<Vst::IUnitInfo> units (queryInterfaceOf<Vst::IUnitInfo> (component, Vst::IUnitInfo_iid));

    if (! units)
        return "Program lists: none (the component has no IUnitInfo)\n";

    const auto numLists = units->getProgramListCount();
    juce::String text;
    text << "Program lists: " << numLists << ", read through the component's IUnitInfo\n";

    for (int32 index = 0; index < numLists; ++index)
    {
        Vst::ProgramListInfo list {};

        if (units->getProgramListInfo (index, list) != kResultOk)
        {
            text << "  list " << index << ": getProgramListInfo failed\n";
            continue;
        }

        text << "  list " << index << ": " << quoted (unicodeText (list.name)) << " (ID " << (juce::int64) list.id
             << "), " << list.programCount << (list.programCount == 1 ? " program\n" : " programs\n");

        for (int32 program = 0; program < list.programCount; ++program)
        {
            Vst::String128 name {};
            const auto found = units->getProgramName (list.id, program, name) == kResultOk;
            text << "    " << program << ": " << (found ? quoted (unicodeText (name)) : juce::String ("getProgramName failed")) << "\n";
        }
    }

    return text;
}

juce::String RawVst3Module::describeFactory() const
{
    using namespace Steinberg;

    jassert (handle != nullptr);
    const auto getFactory = reinterpret_cast<GetFactoryFunction> (::dlsym (handle, "GetPluginFactory"));

    // GetPluginFactory hands its caller a reference of its own.
    InterfaceReference<IPluginFactory> factory (getFactory != nullptr ? getFactory() : nullptr);

    juce::String text;
    text << line (2, "module entry", entryReport);

    if (! factory)
        return text + "  GetPluginFactory returned no factory\n";

    InterfaceReference<IPluginFactory2> factory2 (queryInterfaceOf<IPluginFactory2> (*factory.object, IPluginFactory2_iid));
    InterfaceReference<IPluginFactory3> factory3 (queryInterfaceOf<IPluginFactory3> (*factory.object, IPluginFactory3_iid));

    juce::StringArray interfaces ("IPluginFactory");

    if (factory2) interfaces.add ("IPluginFactory2");
    if (factory3) interfaces.add ("IPluginFactory3");

    PFactoryInfo info;

    if (factory->getFactoryInfo (&info) == kResultOk)
    {
        text << line (2, "vendor", quoted (fieldText (info.vendor)))
             << line (2, "url", quoted (fieldText (info.url)))
             << line (2, "email", quoted (fieldText (info.email)))
             << line (2, "flags", factoryFlagsText (info.flags));
    }
    else
    {
        text << "  getFactoryInfo failed\n";
    }

    const auto numClasses = factory->countClasses();
    text << line (2, "interfaces", interfaces.joinIntoString (", "))
         << line (2, "classes", juce::String (numClasses));

    for (int32 index = 0; index < numClasses; ++index)
    {
        text << "  class " << index << "\n";
        PClassInfo basic;

        if (factory->getClassInfo (index, &basic) != kResultOk)
        {
            text << "    getClassInfo failed\n";
            continue;
        }

        text << line (4, "class ID", classIdText (basic.cid))
             << line (4, "category", quoted (fieldText (basic.category)))
             << line (4, "name", quoted (fieldText (basic.name)))
             << line (4, "cardinality", juce::String (basic.cardinality));

        if (! factory2)
            continue;

        PClassInfo2 extended;

        if (factory2->getClassInfo2 (index, &extended) != kResultOk)
        {
            text << "    getClassInfo2 failed\n";
            continue;
        }

        if (std::memcmp (extended.cid, basic.cid, sizeof (TUID)) != 0)
            text << line (4, "class ID (v2)", classIdText (extended.cid));

        text << line (4, "class flags", juce::String (extended.classFlags))
             << line (4, "sub-categories", quoted (fieldText (extended.subCategories)))
             << line (4, "vendor", quoted (fieldText (extended.vendor)))
             << line (4, "version", quoted (fieldText (extended.version)))
             << line (4, "SDK version", quoted (fieldText (extended.sdkVersion)));
    }

    return text;
}
