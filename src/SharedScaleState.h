#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

/** The machine-wide scale record that a publisher program writes and every plug-in
    instance follows. 80 bytes, native byte order; the publisher writes every other
    field first and `sequence` last, so a reader that sees a new `sequence` also
    sees the fields that belong to it (a torn read is repaired by the next change).
*/
struct SharedScaleData
{
    static constexpr std::size_t chordNameSize = 34;
    static constexpr std::int32_t reservedWordOnCreation = 12000;

    std::uint64_t sequence;
    std::int32_t root;
    std::int32_t scaleClass;
    std::int32_t chordRoot;
    std::uint16_t chordMask;
    char chordName[chordNameSize];
    std::int32_t reservedWord;
    std::uint8_t reservedTail[20];
};

static_assert (std::is_trivially_copyable_v<SharedScaleData>);
static_assert (std::is_standard_layout_v<SharedScaleData>);
static_assert (sizeof (SharedScaleData) == 80);
static_assert (offsetof (SharedScaleData, sequence) == 0);
static_assert (offsetof (SharedScaleData, root) == 8);
static_assert (offsetof (SharedScaleData, scaleClass) == 12);
static_assert (offsetof (SharedScaleData, chordRoot) == 16);
static_assert (offsetof (SharedScaleData, chordMask) == 20);
static_assert (offsetof (SharedScaleData, chordName) == 22);
static_assert (offsetof (SharedScaleData, reservedWord) == 56);
static_assert (offsetof (SharedScaleData, reservedTail) == 60);

/** The chord-type text of a record: up to its first zero byte and never past the
    end of its field, whatever a publisher left there. */
inline std::size_t chordNameLength (const SharedScaleData& record) noexcept
{
    std::size_t length = 0;

    while (length < SharedScaleData::chordNameSize && record.chordName[length] != 0)
        ++length;

    return length;
}

/** Opens, or creates and initialises, the shared record and maps it.

    One instance per process through getInstance(), built on first use from whichever
    thread gets there first; the mapping lasts until the process ends and is only read
    afterwards. `data` is null when the record cannot be had, and every reader then
    works from its own settings. Other instances (with another object name) exist only
    in tests and in the publisher tool.
*/
class SharedScaleState
{
public:
    static constexpr const char* objectName = "/CorvaneSharedState";
    static constexpr std::size_t recordSize = sizeof (SharedScaleData);

    static SharedScaleState& getInstance()
    {
        static SharedScaleState instance;
        return instance;
    }

    explicit SharedScaleState (const char* name = objectName)
    {
        fd = ::shm_open (name, O_RDWR, 0666);

        if (fd == -1)
        {
            fd = ::shm_open (name, O_RDWR | O_CREAT | O_EXCL, 0666);

            if (fd == -1)
            {
                // Someone else may have created it between our two calls.
                fd = ::shm_open (name, O_RDWR, 0666);

                if (fd == -1)
                    return;
            }
            else
            {
                createdSegment = true;

                if (::ftruncate (fd, (off_t) recordSize) != 0)
                {
                    abandon (name);
                    return;
                }
            }
        }

        // An object made by some other program may be shorter than the record: mapping
        // it would succeed and the first read past its end would kill the process.
        // Such an object counts as unavailable, and it is not ours to resize.
        struct stat info {};

        if (::fstat (fd, &info) != 0 || info.st_size < (off_t) recordSize)
        {
            abandon (name);
            return;
        }

        auto* mapping = ::mmap (nullptr, recordSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);

        if (mapping == MAP_FAILED)
        {
            abandon (name);
            return;
        }

        data = static_cast<SharedScaleData*> (mapping);

        if (createdSegment)
        {
            std::memset (static_cast<void*> (data), 0, recordSize);
            data->reservedWord = SharedScaleData::reservedWordOnCreation;
        }
    }

    ~SharedScaleState()
    {
        if (data != nullptr)
        {
            ::munmap (data, recordSize);
            data = nullptr;
        }

        if (fd != -1)
        {
            ::close (fd);
            fd = -1;
        }
    }

    SharedScaleData* data = nullptr;
    int fd = -1;
    bool createdSegment = false;

private:
    void abandon (const char* name)
    {
        ::close (fd);
        fd = -1;

        if (createdSegment)
            ::shm_unlink (name);
    }

    SharedScaleState (const SharedScaleState&) = delete;
    SharedScaleState& operator= (const SharedScaleState&) = delete;
};
