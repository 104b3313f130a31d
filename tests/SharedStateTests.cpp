#include "SharedScaleState.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
    /** A record name of this test's own, removed again afterwards, so the tests never
        disturb the real record or a publisher that uses it. */
    struct ScratchName
    {
        ScratchName() : name ("/AurelinTest-" + std::to_string (::getpid()))
        {
            ::shm_unlink (name.c_str());
        }

        ~ScratchName()
        {
            ::shm_unlink (name.c_str());
        }

        off_t sizeOnDisk() const
        {
            const auto fd = ::shm_open (name.c_str(), O_RDONLY, 0);
            struct stat info {};
            const auto ok = fd != -1 && ::fstat (fd, &info) == 0;

            if (fd != -1)
                ::close (fd);

            return ok ? info.st_size : -1;
        }

        std::string name;
    };
}

TEST (SharedScaleState, CreatesAFreshRecordWhenNoneExists)
{
    const ScratchName scratch;
    const SharedScaleState state (scratch.name.c_str());

    ASSERT_NE (state.data, nullptr);
    EXPECT_TRUE (state.createdSegment);
    EXPECT_NE (state.fd, -1);
    EXPECT_EQ (scratch.sizeOnDisk(), 80);
    EXPECT_EQ (state.data->sequence, 0u);
    EXPECT_EQ (state.data->reservedWord, 12000);

    const auto* bytes = reinterpret_cast<const unsigned char*> (state.data);

    for (size_t i = 0; i < 80; ++i)
    {
        if (i < 56 || i >= 60)
        {
            EXPECT_EQ (bytes[i], 0) << "byte " << i;
        }
    }
}

TEST (SharedScaleState, OpensAnExistingRecordWithoutChangingIt)
{
    const ScratchName scratch;
    SharedScaleState publisher (scratch.name.c_str());
    publisher.data->root = 7;
    publisher.data->chordMask = 0x091;
    publisher.data->reservedWord = 5;
    publisher.data->sequence = 9;

    const SharedScaleState reader (scratch.name.c_str());
    ASSERT_NE (reader.data, nullptr);
    EXPECT_FALSE (reader.createdSegment);
    EXPECT_EQ (reader.data->root, 7);
    EXPECT_EQ (reader.data->chordMask, 0x091);
    EXPECT_EQ (reader.data->reservedWord, 5);
    EXPECT_EQ (reader.data->sequence, 9u);

    // Both map the same bytes.
    publisher.data->scaleClass = 4;
    EXPECT_EQ (reader.data->scaleClass, 4);
}

TEST (SharedScaleState, TooSmallAnObjectCountsAsUnavailable)
{
    for (const off_t size : { off_t (0), off_t (8), off_t (79) })
    {
        const ScratchName scratch;
        const auto fd = ::shm_open (scratch.name.c_str(), O_RDWR | O_CREAT, 0600);
        ASSERT_NE (fd, -1);
        ASSERT_EQ (::ftruncate (fd, size), 0);
        ::close (fd);

        const SharedScaleState state (scratch.name.c_str());
        EXPECT_EQ (state.data, nullptr) << size;
        EXPECT_EQ (state.fd, -1) << size;
        EXPECT_EQ (scratch.sizeOnDisk(), size) << "someone else's object is never resized";
    }
}

TEST (SharedScaleState, ChordNameStopsAtItsZeroOrItsEnd)
{
    SharedScaleData record {};
    std::memcpy (record.chordName, "_M7-0", 5);
    EXPECT_EQ (chordNameLength (record), 5u);

    std::memset (record.chordName, 'x', sizeof (record.chordName));
    EXPECT_EQ (chordNameLength (record), 34u);
}

TEST (SharedScaleState, TheProcessWideRecordIsUsable)
{
    // Whatever state the machine is in, the singleton either maps 80 bytes or says it can't.
    auto& state = SharedScaleState::getInstance();
    EXPECT_EQ (&state, &SharedScaleState::getInstance());

    if (state.data != nullptr)
    {
        EXPECT_NE (state.fd, -1);
    }
}
