// The qz2 program's archive commands as a publisher uses them: pack, list,
// extract and verify, on files, folders and "bound executables"; what they
// print, the files they write, and their refusals.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "archive/archive_writer.h"
#include "host/pe_image.h"
#include "support/archive_images.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int code;
    std::string out, err;
};

std::string ReadText(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const fs::path& p, const std::string& text)
{
    std::ofstream out(p, std::ios::binary);
    out << text;
}

void WriteData(const fs::path& p, const Bytes& data)
{
    std::ofstream out(p, std::ios::binary);
    out.write((const char*)data.data(), (std::streamsize)data.size());
}

// Sets a file's last-write time to a FILETIME count.
void SetTime(const fs::path& p, uint64_t filetime)
{
    struct timespec t[2];
    t[0].tv_sec = (time_t)(filetime / 10000000 - 11644473600LL);
    t[0].tv_nsec = (long)(filetime % 10000000) * 100;
    t[1] = t[0];
    ASSERT_EQ(0, utimensat(AT_FDCWD, p.c_str(), t, 0)) << p;
}

uint64_t TimeOf(const fs::path& p)
{
    struct stat st;
    stat(p.c_str(), &st);
    return ((uint64_t)st.st_mtim.tv_sec + 11644473600ull) * 10000000 + (uint64_t)st.st_mtim.tv_nsec / 100;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream s(text);
    std::string line;
    while (std::getline(s, line))
        lines.push_back(line);
    return lines;
}

// Names in a folder, sorted.
std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Qz2Archive : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        work_ = fs::path(QZ2_WORK_DIR) / info->name();
        fs::remove_all(work_);
        fs::create_directories(work_ / "in");
        // The inputs: a script, text that compresses, noise that does not, an
        // empty file and a Japanese name; each with its own time.
        Add("UPDATE.INI", "[SETUP]\r\nGameTitle=Game\r\n[UPDATE]\r\nUpdateFile00=u,bgm.dat\r\n", 132224078450000000ull);
        std::string text;
        for (int i = 0; i < 400; i++)
            text += "UpdateFile" + std::to_string(i % 16) + "=u,data\\file.dat\r\n";
        Add("text.txt", text, 132224078450000001ull);
        Bytes noise = NoiseBytes(3000, 7);
        Add("noise.bin", std::string(noise.begin(), noise.end()), 125963423999999999ull);
        Add("empty.dat", "", 116444736000000000ull);
        Add("ソフト表.txt", "\x83\x5C\x83\x74\x83\x67", 132224078459999999ull);
    }
    void Add(const std::string& name, const std::string& contents, uint64_t time)
    {
        fs::path p = work_ / "in" / fs::u8path(name);
        WriteText(p, contents);
        SetTime(p, time);
    }
    Outcome Qz2(const std::vector<std::string>& words)
    {
        std::string command = "cd '" + work_.string() + "' && '" QZ2_PATH "'";
        for (const std::string& w : words)
            command += " '" + w + "'";
        command += " >out.txt 2>err.txt </dev/null";
        int status = system(command.c_str());
        Outcome r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadText(work_ / "out.txt");
        r.err = ReadText(work_ / "err.txt");
        fs::remove(work_ / "out.txt");
        fs::remove(work_ / "err.txt");
        return r;
    }
    // Every input file is in folder with its bytes and its time.
    void ExpectExtracted(const fs::path& folder, const std::vector<std::string>& names)
    {
        EXPECT_EQ(names.size(), Listing(folder).size());
        for (const std::string& name : names) {
            fs::path in = work_ / "in" / fs::u8path(name), out = folder / fs::u8path(name);
            EXPECT_EQ(ReadText(in), ReadText(out)) << name;
            EXPECT_EQ(TimeOf(in), TimeOf(out)) << name;
        }
    }
    fs::path work_;
};

const std::vector<std::string> AllInputs = { "UPDATE.INI", "empty.dat", "noise.bin", "text.txt", "ソフト表.txt" };

TEST_F(Qz2Archive, PackListVerifyExtractWithEveryOption)
{
    struct Case {
        std::vector<std::string> options;
        const char* directory;
        const char* textForm;
        const char* noiseForm;
    } cases[] = {
        { {}, "directory compressed, not scrambled", "C-", "--" },
        { { "--store" }, "directory compressed, not scrambled", "--", "--" },
        { { "--scramble" }, "directory compressed, not scrambled", "CS", "-S" },
        { { "--plain-directory" }, "directory plain, not scrambled", "C-", "--" },
        { { "--scramble-directory" }, "directory compressed, scrambled", "C-", "--" },
        { { "--store", "--scramble", "--plain-directory", "--scramble-directory" }, "directory plain, scrambled", "-S",
          "-S" },
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string archive = "a" + std::to_string(n++) + ".qz2";
        std::vector<std::string> words = { "pack" };
        words.insert(words.end(), c.options.begin(), c.options.end());
        words.insert(words.end(), { "-o", archive, "in" });
        Outcome pack = Qz2(words);
        ASSERT_EQ(0, pack.code) << pack.err;
        EXPECT_EQ("", pack.err);

        Outcome list = Qz2({ "list", archive });
        ASSERT_EQ(0, list.code) << list.err;
        std::vector<std::string> lines = Lines(list.out);
        ASSERT_EQ(7u, lines.size()) << list.out;
        EXPECT_EQ(archive + ": " + c.directory + "; 5 entries", lines[0]);
        EXPECT_NE(std::string::npos, lines[5].find(std::string(" ") + c.textForm + " ")) << lines[5];
        EXPECT_NE(std::string::npos, lines[4].find(std::string(" ") + c.noiseForm + " ")) << lines[4];

        Outcome verify = Qz2({ "verify", archive });
        EXPECT_EQ(0, verify.code) << verify.out;
        EXPECT_EQ(archive + ": ok, 5 entries\n", verify.out);

        fs::path out = work_ / ("out" + std::to_string(n));
        Outcome extract = Qz2({ "extract", archive, "-C", out.string() });
        ASSERT_EQ(0, extract.code) << extract.err;
        ExpectExtracted(out, AllInputs);
    }
}

// What list shows, line by line: names in UTF-8, sizes, ratio, form, time.
TEST_F(Qz2Archive, ListShowsEveryEntry)
{
    ASSERT_EQ(0, Qz2({ "pack", "-o", "a.qz2", "in/UPDATE.INI", "in/noise.bin", "in/empty.dat", "in/ソフト表.txt" }).code);
    Outcome list = Qz2({ "list", "a.qz2" });
    ASSERT_EQ(0, list.code);
    std::vector<std::string> expected = {
        "a.qz2: directory compressed, not scrambled; 4 entries",
        "    expanded       stored   ratio form  last written (UTC)            name",
        "          59           59  100.0% --    2020-01-02T03:04:05Z          UPDATE.INI",
        "        3000         3000  100.0% --    2000-02-29T23:59:59.9999999Z  noise.bin",
        "           0            0       - --    1970-01-01T00:00:00Z          empty.dat",
        "           6            6  100.0% --    2020-01-02T03:04:05.9999999Z  ソフト表.txt",
    };
    EXPECT_EQ(expected, Lines(list.out));
}

TEST_F(Qz2Archive, ExtractNamedEntriesAsTheUpdaterFindsThem)
{
    ASSERT_EQ(0, Qz2({ "pack", "-o", "a.qz2", "in" }).code);
    Outcome r = Qz2({ "extract", "a.qz2", "-C", "one", "update.ini", "ソフト表.TXT" });
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ("UPDATE.INI\nソフト表.txt\n", r.out);
    ExpectExtracted(work_ / "one", { "UPDATE.INI", "ソフト表.txt" });

    // An unknown name: nothing is written at all.
    r = Qz2({ "extract", "a.qz2", "-C", "two", "UPDATE.INI", "missing.dat" });
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("qz2 extract: a.qz2: no entry \"missing.dat\"\n", r.err);
    EXPECT_FALSE(fs::exists(work_ / "two"));
}

// Files that the updater could not tell apart or not name: refused with the
// names, and no archive written (an old one stays as it was).
TEST_F(Qz2Archive, PackRefusals)
{
    struct Case {
        const char* label;
        std::vector<std::string> files;     // created in "bad/"
        std::vector<std::string> words;     // after "pack -o a.qz2"
        int code;
        std::string message;
    } cases[] = {
        { "names equal without regard to case", { "Readme.txt", "README.TXT" }, { "bad" }, 1,
          "qz2 pack: the names \"README.TXT\" (bad/README.TXT) and \"Readme.txt\" (bad/Readme.txt) are the same "
          "without regard to case; the updater would only ever find the first\n" },
        { "full-width names equal without regard to case", { "ｍａｐ.dat" }, { "bad/ｍａｐ.dat", "in", "bad/ｍａｐ.dat" }, 1,
          "qz2 pack: the names \"ｍａｐ.dat\" (bad/ｍａｐ.dat) and \"ｍａｐ.dat\" (bad/ｍａｐ.dat) are the same "
          "without regard to case; the updater would only ever find the first\n" },
        { "not in code page 932", { "caf\xC3\xA9.txt" }, { "bad" }, 1,
          "qz2 pack: bad/caf\xC3\xA9.txt: the name \"caf\xC3\xA9.txt\" has characters that code page 932 "
          "(Shift-JIS) cannot represent\n" },
        { "not a Windows file name", { "a:b.txt", "nul.txt" }, { "bad" }, 1,
          "qz2 pack: bad/a:b.txt: the name \"a:b.txt\" has the character : that Windows file names cannot hold\n"
          "bad/nul.txt: the name \"nul.txt\" has the name of a Windows device\n" },
        { "missing input", {}, { "in", "nothere" }, 1, "qz2 pack: nothere: no such file or folder\n" },
        { "no output named", {}, { "in" }, 2, "" },
    };
    for (const Case& c : cases) {
        fs::remove_all(work_ / "bad");
        fs::create_directories(work_ / "bad");
        for (const std::string& f : c.files)
            WriteText(work_ / "bad" / fs::u8path(f), "x");
        WriteText(work_ / "a.qz2", "old archive");
        std::vector<std::string> words = { "pack" };
        if (c.code != 2)
            words.insert(words.end(), { "-o", "a.qz2" });
        words.insert(words.end(), c.words.begin(), c.words.end());
        Outcome r = Qz2(words);
        EXPECT_EQ(c.code, r.code) << c.label;
        if (!c.message.empty()) {
            EXPECT_EQ(c.message, r.err) << c.label;
        } else {
            EXPECT_NE("", r.err) << c.label;
        }
        EXPECT_EQ("old archive", ReadText(work_ / "a.qz2")) << c.label;
        std::vector<std::string> left = Listing(work_);
        EXPECT_EQ((std::vector<std::string>{ "a.qz2", "bad", "in" }), left) << c.label << ": no temporary file";
    }
}

// Crafted archives: verify names what is wrong and fails; extract writes
// nothing, not even the sound entries.
TEST_F(Qz2Archive, DamagedArchives)
{
    auto parts = [] {
        std::vector<FixtureEntry> e(3);
        e[0].Name = "first.txt";
        e[0].Contents = TextBytes("sound entry");
        e[1].Name = "packed.dat";
        e[1].Contents = Bytes(5000, 'p');
        e[1].Compress = true;
        e[2].Name = "last.dat";
        e[2].Contents = NoiseBytes(100, 3);
        return BuildParts(e);
    };
    struct Case {
        const char* label;
        void (*craft)(ArchiveParts& parts, Bytes& image);
        std::string verifyOut;
    } cases[] = {
        { "data past the end",
          [](ArchiveParts& p, Bytes& image) {
              WriteLE32(p.Records[2].StoredSize, 100000);
              WriteLE32(p.Records[2].ExpandedSize, 100000);
              image = AssembleImage(p, ArchiveFlagCompressed);
          },
          "entry \"last.dat\": its 100000 stored bytes at offset 96 run past the end of the archive (" },
        { "stream one byte short of its size",
          [](ArchiveParts& p, Bytes& image) {
              WriteLE32(p.Records[1].ExpandedSize, 5001);
              image = AssembleImage(p, ArchiveFlagCompressed);
          },
          "entry \"packed.dat\": its stream does not expand to exactly 5001 bytes\n" },
        { "plain entry with two sizes",
          [](ArchiveParts& p, Bytes& image) {
              WriteLE32(p.Records[0].ExpandedSize, 12);
              image = AssembleImage(p, 0);
          },
          "entry \"first.txt\": it is not compressed, yet its expanded size 12 differs from its stored size 11\n" },
        { "cut short",
          [](ArchiveParts&, Bytes& image) { image.resize(image.size() - 1); },
          "a.qz2: damaged directory: it does not decode to 3 entries with proper names\n" },
        { "no magic", [](ArchiveParts&, Bytes& image) { image[2] = '3'; },
          "a.qz2: not an archive (it does not begin with \"QZ2\" and a NUL)\n" },
        { "entry count beyond 32 bits",
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[EntryCountField], 0x10000000); },
          "a.qz2: damaged header: 268435456 entries cannot be\n" },
        { "directory behind the end",
          [](ArchiveParts&, Bytes& image) { WriteLE32(&image[DirectoryOffsetField], 0x7FFFFFFF); },
          "a.qz2: damaged header: the directory would begin behind the end of the file\n" },
        { "name without NUL",
          [](ArchiveParts& p, Bytes& image) {
              memset(p.Records[1].Name, 'n', ArchiveNameSize);
              image = AssembleImage(p, ArchiveFlagCompressed | ArchiveFlagScrambled);
          },
          "a.qz2: damaged directory: it does not decode to 3 entries with proper names\n" },
    };
    for (const Case& c : cases) {
        ArchiveParts p = parts();
        Bytes image = AssembleImage(p, ArchiveFlagCompressed);
        c.craft(p, image);
        WriteData(work_ / "a.qz2", image);
        Outcome verify = Qz2({ "verify", "a.qz2" });
        EXPECT_EQ(1, verify.code) << c.label;
        EXPECT_EQ(0u, verify.out.find(c.verifyOut)) << c.label << ": " << verify.out;
        Outcome extract = Qz2({ "extract", "a.qz2", "-C", "out" });
        EXPECT_EQ(1, extract.code) << c.label;
        EXPECT_NE("", extract.err) << c.label;
        EXPECT_FALSE(fs::exists(work_ / "out")) << c.label;
        Outcome list = Qz2({ "list", "a.qz2" });
        EXPECT_EQ(list.out.empty() ? 1 : 0, list.code) << c.label;
    }
}

// An entry hidden by an earlier one of the same name: verify notes it, list
// marks it, extract writes the one that the updater would find.
TEST_F(Qz2Archive, EntriesHiddenByAnEarlierName)
{
    std::vector<FixtureEntry> e(2);
    e[0].Name = "readme.txt";
    e[0].Contents = TextBytes("first");
    e[1].Name = "README.TXT";
    e[1].Contents = TextBytes("second");
    WriteData(work_ / "a.qz2", BuildImage(e, 0));
    Outcome verify = Qz2({ "verify", "a.qz2" });
    EXPECT_EQ(0, verify.code);
    EXPECT_EQ("note: entry 2 \"README.TXT\" has the name of entry 1 without regard to case; the updater finds only "
              "that one\na.qz2: ok, 2 entries\n",
              verify.out);
    Outcome list = Qz2({ "list", "a.qz2" });
    EXPECT_NE(std::string::npos, Lines(list.out).at(3).find("README.TXT  (hidden by entry 1)"));
    ASSERT_EQ(0, Qz2({ "extract", "a.qz2", "-C", "out" }).code);
    EXPECT_EQ(std::vector<std::string>{ "readme.txt" }, Listing(work_ / "out"));
    EXPECT_EQ("first", ReadText(work_ / "out" / "readme.txt"));
}

// list, extract and verify read the payload resource of an executable: the
// Japanese one where there are several.
TEST_F(Qz2Archive, BoundExecutables)
{
    ASSERT_EQ(0, Qz2({ "pack", "-o", "a.qz2", "in" }).code);
    Bytes archive(ReadText(work_ / "a.qz2").size());
    std::string text = ReadText(work_ / "a.qz2");
    archive.assign(text.begin(), text.end());
    Bytes other = BuildImage({}, 0);
    WriteData(work_ / "PATCH.exe", BuildPeFile({ { 1033, other }, { 1041, archive } }));
    WriteData(work_ / "NONE.exe", BuildPeFile({}));

    Outcome list = Qz2({ "list", "PATCH.exe" });
    ASSERT_EQ(0, list.code) << list.err;
    EXPECT_EQ("PATCH.exe (resource \"UPDATE\" 102, language 1041): directory compressed, not scrambled; 5 entries",
              Lines(list.out).at(0));
    Outcome verify = Qz2({ "verify", "PATCH.exe" });
    EXPECT_EQ(0, verify.code);
    EXPECT_EQ("PATCH.exe: ok, 5 entries\n", verify.out);
    ASSERT_EQ(0, Qz2({ "extract", "PATCH.exe", "-C", "out" }).code);
    ExpectExtracted(work_ / "out", AllInputs);

    for (const char* command : { "list", "verify", "extract" }) {
        Outcome r = Qz2({ command, "NONE.exe" });
        EXPECT_EQ(1, r.code) << command;
        EXPECT_NE(std::string::npos, (r.err + r.out).find("NONE.exe: an executable without a payload (no resource "
                                                          "\"UPDATE\" 102)"))
            << command << ": " << r.err << r.out;
    }
}

} // namespace
