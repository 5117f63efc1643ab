// OpenArchive in memory and file mode: the four directory forms, the edge
// cases of the format, and crafted images that must fail to open.
#include <string.h>

#include "archive/archive_fixture.h"
#include "archive/layout.h"

namespace {

std::vector<FixtureEntry> ThreeEntries()
{
    std::vector<FixtureEntry> e(3);
    e[0].Name = "UPDATE.INI";
    e[0].Contents = TextBytes("[SETUP]\r\nGameTitle=x\r\n");
    e[1].Name = "bgm.dat";
    e[1].Contents = Bytes(5000, 0x42);
    e[1].Compress = true;
    e[2].Name = "\x83\x5C\x83\x74\x83\x67.txt";     // "ソフト.txt", second bytes 5C and 74
    e[2].Contents = NoiseBytes(77, 3);
    e[2].Scramble = true;
    return e;
}

struct DirectoryForm {
    const char* label;
    uint32_t flags;
};

const DirectoryForm Forms[] = {
    { "plain", 0 },
    { "compressed", ArchiveFlagCompressed },
    { "scrambled", ArchiveFlagScrambled },
    { "compressed and scrambled", ArchiveFlagCompressed | ArchiveFlagScrambled },
};

// The opened block holds the header as stored and the records as built.
void ExpectDirectory(const ArchiveDirectory* d, const Bytes& image, const ArchiveParts& parts, const char* label)
{
    ASSERT_NE(nullptr, d) << label;
    EXPECT_EQ(0, memcmp(&d->Header, image.data(), ArchiveHeaderSize)) << label;
    ASSERT_EQ(parts.Records.size(), HeaderEntryCount(&d->Header)) << label;
    if (!parts.Records.empty()) {
        EXPECT_EQ(0, memcmp(d->Entries, parts.Records.data(), parts.Records.size() * ArchiveEntrySize)) << label;
    }
}

class OpenArchiveTest : public ArchiveTest {
protected:
    ArchiveDirectory* OpenMemory(const Bytes& image)
    {
        PayloadImage p = { image.data(), (uint32_t)image.size() };
        return Keep(OpenArchive(&p));
    }
    ArchiveDirectory* OpenFile(const Bytes& image, const std::string& name = "payload.qz2")
    {
        std::string path = Path(name);
        EXPECT_TRUE(WriteBytes(path, image));
        PayloadImage p = { reinterpret_cast<const unsigned char*>(path.c_str()), 0 };
        return Keep(OpenArchive(&p));
    }
    ArchiveDirectory* Keep(ArchiveDirectory* d)
    {
        if (d)
            opened_.push_back(d);
        return d;
    }
    void TearDown() override
    {
        for (ArchiveDirectory* d : opened_)
            GlobalFree(d);
        ArchiveTest::TearDown();
    }
    std::vector<ArchiveDirectory*> opened_;
};

TEST_F(OpenArchiveTest, EveryDirectoryFormOpensInMemoryAndFileMode)
{
    for (const DirectoryForm& form : Forms) {
        for (int withEntries = 0; withEntries < 2; withEntries++) {
            std::vector<FixtureEntry> entries = withEntries ? ThreeEntries() : std::vector<FixtureEntry>();
            ArchiveParts parts = BuildParts(entries);
            Bytes image = AssembleImage(parts, form.flags);
            std::string label = std::string(form.label) + (withEntries ? ", three entries" : ", no entry");
            ExpectDirectory(OpenMemory(image), image, parts, (label + ", memory").c_str());
            ExpectDirectory(OpenFile(image), image, parts, (label + ", file").c_str());
        }
    }
}

TEST_F(OpenArchiveTest, EmptyDirectoryIsABlockOfSixteenBytes)
{
    Bytes image = BuildImage({}, ArchiveFlagCompressed);
    ArchiveDirectory* d = OpenMemory(image);
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(0u, HeaderEntryCount(&d->Header));
    EXPECT_GE(GlobalSize(d), (SIZE_T)ArchiveHeaderSize);
    EXPECT_LT(GlobalSize(d), (SIZE_T)(ArchiveHeaderSize + ArchiveEntrySize));
}

TEST_F(OpenArchiveTest, MagicIsCheckedInFileModeOnly)
{
    ArchiveParts parts = BuildParts(ThreeEntries());
    Bytes image = AssembleImage(parts, 0);
    image[0] = 'X';
    ExpectDirectory(OpenMemory(image), image, parts, "memory mode");
    EXPECT_EQ(nullptr, OpenFile(image));
    image[0] = 'Q';
    image[3] = ' ';
    EXPECT_EQ(nullptr, OpenFile(image));
}

TEST_F(OpenArchiveTest, FlagBitsBeyondTheTwoAreNotExamined)
{
    ArchiveParts parts = BuildParts(ThreeEntries());
    Bytes image = AssembleImage(parts, ArchiveFlagCompressed);
    WriteLE32(&image[FlagsField], 0xFFFFFFF0u | ArchiveFlagCompressed);
    ArchiveDirectory* d = OpenMemory(image);
    ExpectDirectory(d, image, parts, "high flag bits");
    EXPECT_EQ(0xFFFFFFF1u, HeaderFlags(&d->Header));     // kept as stored
}

// What follows the directory in the image: a compressed and scrambled
// directory is unscrambled with the image's remaining length, so a byte
// behind it spoils it; a scrambled plain directory uses EntryCount × 280.
TEST_F(OpenArchiveTest, BytesBehindTheDirectory)
{
    struct Case {
        uint32_t flags;
        bool opens;
    } cases[] = {
        { ArchiveFlagCompressed | ArchiveFlagScrambled, false },
        { ArchiveFlagScrambled, true },
        { 0, true },
        { ArchiveFlagCompressed, true },       // the stream ends at its end marker
    };
    for (const Case& c : cases) {
        ArchiveParts parts = BuildParts(ThreeEntries());
        Bytes image = AssembleImage(parts, c.flags);
        image.push_back(0);
        if (c.opens) {
            ExpectDirectory(OpenMemory(image), image, parts, "memory");
            ExpectDirectory(OpenFile(image), image, parts, "file");
        } else {
            EXPECT_EQ(nullptr, OpenMemory(image)) << c.flags;
            EXPECT_EQ(nullptr, OpenFile(image)) << c.flags;
        }
    }
}

// Every kind of damage that the format cannot tell by itself: a failed
// open in both modes, and nothing read outside the image.
TEST_F(OpenArchiveTest, CraftedImagesFailToOpen)
{
    const std::vector<FixtureEntry> three = ThreeEntries();
    struct Case {
        const char* label;
        uint32_t flags;
        void (*craft)(ArchiveParts& parts, Bytes& image);
    } cases[] = {
        { "image shorter than its header", 0,
          [](ArchiveParts&, Bytes& image) { image.resize(10); } },
        { "plain directory offset behind the image", 0,
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[DirectoryOffsetField], (uint32_t)image.size() + 16); } },
        { "plain directory offset near 4 GiB", 0,
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[DirectoryOffsetField], 0xFFFFFFF0u); } },
        { "plain directory one byte short", 0,
          [](ArchiveParts&, Bytes& image) { image.pop_back(); } },
        { "entry count one too many", 0,
          [](ArchiveParts& parts, Bytes& image) { WriteLE32(&image[EntryCountField], (uint32_t)parts.Records.size() + 1); } },
        { "16 + 280 x count beyond 32 bits", 0,
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[EntryCountField], 15339169u); } },
        { "count 0xFFFFFFFF", ArchiveFlagCompressed,
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[EntryCountField], 0xFFFFFFFFu); } },
        { "largest count that fits, directory far beyond the image", 0,
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[EntryCountField], 15339168u); } },
        { "largest count that fits, compressed stream far too short", ArchiveFlagCompressed,
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[EntryCountField], 15339168u); } },
        { "compressed directory at the end of the image", ArchiveFlagCompressed,
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[DirectoryOffsetField], (uint32_t)image.size()); } },
        { "compressed directory behind the image", ArchiveFlagCompressed,
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[DirectoryOffsetField], (uint32_t)image.size() + 100); } },
        { "compressed directory cut short", ArchiveFlagCompressed,
          [](ArchiveParts&, Bytes& image) { image.resize(image.size() - 3); } },
        { "count one less than the stream's records", ArchiveFlagCompressed,
          [](ArchiveParts& parts, Bytes& image) { WriteLE32(&image[EntryCountField], (uint32_t)parts.Records.size() - 1); } },
        { "count one more than the stream's records", ArchiveFlagCompressed,
          [](ArchiveParts& parts, Bytes& image) { WriteLE32(&image[EntryCountField], (uint32_t)parts.Records.size() + 1); } },
        { "compressed directory whose stream is noise", ArchiveFlagCompressed,
          [](ArchiveParts& parts, Bytes& image) {
              Bytes noise = NoiseBytes(parts.Records.size() * ArchiveEntrySize / 3, 9);
              image.resize(ArchiveHeaderSize + parts.Data.size());
              image.insert(image.end(), noise.begin(), noise.end());
          } },
        { "name without NUL, plain directory", 0,
          [](ArchiveParts& parts, Bytes& image) {
              memset(parts.Records[1].Name, 'A', ArchiveNameSize);
              image = AssembleImage(parts, 0);
          } },
        { "name without NUL, compressed and scrambled directory", ArchiveFlagCompressed | ArchiveFlagScrambled,
          [](ArchiveParts& parts, Bytes& image) {
              memset(parts.Records[2].Name, 'B', ArchiveNameSize);
              image = AssembleImage(parts, ArchiveFlagCompressed | ArchiveFlagScrambled);
          } },
    };
    for (const auto& c : cases) {
        ArchiveParts parts = BuildParts(three);
        Bytes image = AssembleImage(parts, c.flags);
        c.craft(parts, image);
        EXPECT_EQ(nullptr, OpenMemory(image)) << c.label << ", memory mode";
        // File mode wants the magic; the crafted header keeps it.
        if (image.size() >= ArchiveHeaderSize) {
            EXPECT_EQ(nullptr, OpenFile(image)) << c.label << ", file mode";
        }
    }
}

TEST_F(OpenArchiveTest, FileModeFailures)
{
    PayloadImage missing = { reinterpret_cast<const unsigned char*>("Z:\\no\\such\\archive.qz2"), 0 };
    EXPECT_EQ(nullptr, OpenArchive(&missing)) << "missing file";
    Bytes image = BuildImage(ThreeEntries(), ArchiveFlagCompressed);
    EXPECT_EQ(nullptr, OpenFile(Bytes(image.begin(), image.begin() + 15))) << "header read short";
    EXPECT_EQ(nullptr, OpenFile(Bytes())) << "empty file";
}

// The file is closed on every way out: it can be opened without sharing
// and deleted afterwards.
TEST_F(OpenArchiveTest, FileModeClosesTheFile)
{
    Bytes good = BuildImage(ThreeEntries(), ArchiveFlagCompressed | ArchiveFlagScrambled);
    Bytes bad = good;
    bad.push_back(1);
    Bytes badMagic = good;
    badMagic[1] = 0;
    const Bytes* images[] = { &good, &bad, &badMagic };
    for (const Bytes* image : images) {
        OpenFile(*image, "closed.qz2");
        HANDLE h = CreateFileA(Path("closed.qz2").c_str(), GENERIC_READ | GENERIC_WRITE, 0, 0, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, 0);
        EXPECT_NE(INVALID_HANDLE_VALUE, h);
        CloseHandle(h);
        EXPECT_TRUE(DeleteFileA(Path("closed.qz2").c_str()));
    }
}

} // namespace
