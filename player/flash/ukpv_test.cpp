#include "ukpv.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "SwfTestData.h"
#include "TempFolder.h"

namespace {

Bytes Scrambled(const Bytes& payload, std::uint8_t version = 0x88) {
    Bytes out{'K', 'P', 'V', version};
    for (const std::uint8_t b : payload) out.push_back(KpvTransform(b));
    return out;
}

Bytes ReadAll(ByteStream& s) {
    Bytes out;
    std::uint8_t buffer[7];  // small, so that reads go on from positions after 0
    for (std::size_t n; (n = s.Read(buffer, sizeof buffer)) > 0;)
        out.insert(out.end(), buffer, buffer + n);
    return out;
}

Bytes Payload() {
    Bytes p;
    for (int i = 0; i < 300; ++i) p.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return p;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(nothing raised)";
}

// The system's words for a missing file, or for a missing folder on the way to it.
std::string NotFoundText(bool folder = false) {
#ifdef _WIN32
    return osfile::SysErrorMessage(folder ? 3 : 2);  // in the system's own language
#else
    (void)folder;
    return "No such file or directory";
#endif
}

}  // namespace

TEST(KpvTransform, SwapsTheHighNibbleForHighXorLow) {
    const std::pair<std::uint8_t, std::uint8_t> cases[] = {
        {0x00, 0x00}, {0x46, 0x26}, {0x26, 0x46}, {0xFF, 0x0F},
        {0x0F, 0xFF}, {0x10, 0x10}, {0x01, 0x11},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(KpvTransform(in), out) << int(in);
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        EXPECT_EQ(KpvTransform(KpvTransform(byte)), byte) << b;
    }
}

TEST(KpvTransform, BufferAgreesWithTheByteAtEveryLengthAndAlignment) {
    Bytes source(80);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i * 29 + 3);
    for (std::size_t start = 0; start < 8; ++start) {
        for (std::size_t length = 0; start + length <= source.size(); ++length) {
            Bytes buffer = source;
            KpvTransformBuffer(buffer.data() + start, length);
            for (std::size_t i = 0; i < buffer.size(); ++i) {
                const bool inside = i >= start && i < start + length;
                ASSERT_EQ(buffer[i], inside ? KpvTransform(source[i]) : source[i])
                    << "start " << start << " length " << length << " at " << i;
            }
        }
    }
}

TEST(KpvName, KeyIsWhatStandsBeforeTheFirstPrefix) {
    const struct {
        std::string name, key, file;
    } cases[] = {
        {"730516KPV:/movies/a.swf", "730516", "/movies/a.swf"},
        {"KPV:/movies/a.swf", "", "/movies/a.swf"},
        {"/movies/a.swf", "", "/movies/a.swf"},
        {"12KPV:c:\\web\\KPV:x.swf", "12", "c:\\web\\KPV:x.swf"},
        {"kpv:/movies/a.swf", "", "kpv:/movies/a.swf"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        std::string key, file;
        SplitKpvName(c.name, key, file);
        EXPECT_EQ(key, c.key) << c.name;
        EXPECT_EQ(file, c.file) << c.name;
    }
}

class KpvFile : public ::testing::Test {
  protected:
    TempFolder folder_;
    std::string path_ = folder_.File("movie.swf");
};

TEST_F(KpvFile, PlainFileReadsByteForByte) {
    const Bytes movie = ReadBytes(TestMovie("episode.swf"));
    ASSERT_GT(movie.size(), 100u);
    WriteBytes(path_, movie);
    TKPVFileStream s(path_, 0);
    EXPECT_FALSE(s.Scrambled());
    EXPECT_EQ(s.Key(), "");
    EXPECT_EQ(s.FileName(), path_);
    EXPECT_EQ(s.Size(), static_cast<std::int64_t>(movie.size()));
    EXPECT_EQ(ReadAll(s), movie);
}

TEST_F(KpvFile, ScrambledFileReadsAsItsPayload) {
    const Bytes payload = Payload();
    WriteBytes(path_, Scrambled(payload));
    TKPVFileStream s(path_, 0);
    EXPECT_TRUE(s.Scrambled());
    EXPECT_EQ(s.Size(), static_cast<std::int64_t>(payload.size() + 4));
    EXPECT_EQ(ReadAll(s), payload);
    EXPECT_EQ(s.Position(), static_cast<std::int64_t>(payload.size() + 4));
}

TEST_F(KpvFile, OnlyThreeVersionBytesMarkAScrambledFile) {
    const Bytes payload = Payload();
    for (const int version : {0x88, 0x89, 0x90, 0x87, 0x8A, 0x8F, 0x91, 0x00, 0xFF}) {
        const Bytes file = Scrambled(payload, static_cast<std::uint8_t>(version));
        WriteBytes(path_, file);
        TKPVFileStream s(path_, 0);
        const bool scrambled = version == 0x88 || version == 0x89 || version == 0x90;
        EXPECT_EQ(s.Scrambled(), scrambled) << version;
        // A plain file gives its header back as payload, and nothing is transformed.
        EXPECT_EQ(ReadAll(s), scrambled ? payload : file) << version;
    }
}

TEST_F(KpvFile, FilesTooShortForAHeaderArePlain) {
    for (const std::string text : {"", "K", "KP", "KPV", "\x88"}) {
        WriteBytes(path_, BytesOf(text));
        TKPVFileStream s(path_, 0);
        EXPECT_FALSE(s.Scrambled()) << text;
        EXPECT_EQ(ReadAll(s), BytesOf(text));
    }
    WriteBytes(path_, BytesOf("KPV\x88"));
    TKPVFileStream empty(path_, 0);
    EXPECT_TRUE(empty.Scrambled());
    EXPECT_EQ(ReadAll(empty), Bytes{});
}

TEST_F(KpvFile, TheKeyIsKeptAndChangesNothing) {
    const Bytes payload = Payload();
    WriteBytes(path_, Scrambled(payload));
    for (const std::string key : {"730516", "000000", "", "not digits"}) {
        TKPVFileStream s(key + "KPV:" + path_, 0);
        EXPECT_EQ(s.Key(), key);
        EXPECT_EQ(s.FileName(), path_);
        EXPECT_EQ(ReadAll(s), payload) << key;
    }
}

TEST_F(KpvFile, WrittenPayloadReadsBack) {
    const Bytes payload = Payload();
    {
        TKPVFileStream s("730516KPV:" + path_, kKpvCreate);
        const Bytes copy = payload;
        EXPECT_EQ(s.Write(payload.data(), 100), 100u);
        EXPECT_EQ(s.Write(payload.data() + 100, payload.size() - 100), payload.size() - 100);
        EXPECT_EQ(payload, copy) << "the caller's bytes stay unscrambled";
    }
    const Bytes file = ReadBytes(path_);
    EXPECT_EQ(file, Scrambled(payload)) << "one header, version 0x88, then the payload scrambled";
    TKPVFileStream s(path_, 0);
    EXPECT_EQ(ReadAll(s), payload);
}

TEST_F(KpvFile, CreatingEmptiesAnExistingFile) {
    WriteBytes(path_, Payload());
    {
        TKPVFileStream s(path_, kKpvCreate);
        EXPECT_EQ(s.Size(), 0);
        EXPECT_EQ(s.Write("ab", 2), 2u);
        // Created files are open for reading too. The probe saw an empty file, so this stream
        // reads plain: writing scrambles whatever the probe found.
        EXPECT_EQ(s.Seek(0, SeekOrigin::Begin), 0);
        EXPECT_EQ(ReadAll(s), Scrambled(BytesOf("ab")));
    }
    EXPECT_EQ(ReadBytes(path_).size(), 6u);
}

TEST_F(KpvFile, PositionsAreRawFilePositions) {
    const Bytes payload = Payload();
    WriteBytes(path_, Scrambled(payload));
    TKPVFileStream s(path_, 0);
    std::uint8_t b[3];

    // Position 0 and position 4 both start at the payload's first byte.
    for (const std::int64_t start : {0, 4}) {
        EXPECT_EQ(s.Seek(start, SeekOrigin::Begin), start);
        ASSERT_EQ(s.Read(b, 3), 3u);
        EXPECT_EQ(Bytes(b, b + 3), Bytes(payload.begin(), payload.begin() + 3)) << start;
        EXPECT_EQ(s.Position(), 7);
    }
    // After 0 nothing is skipped: raw position 10 is payload byte 6.
    EXPECT_EQ(s.Seek(10, SeekOrigin::Begin), 10);
    ASSERT_EQ(s.Read(b, 1), 1u);
    EXPECT_EQ(b[0], payload[6]);
    EXPECT_EQ(s.Seek(-2, SeekOrigin::End), static_cast<std::int64_t>(payload.size() + 2));
    ASSERT_EQ(s.Read(b, 3), 2u);
    EXPECT_EQ(b[1], payload.back());
    EXPECT_EQ(s.Seek(-5, SeekOrigin::Current), static_cast<std::int64_t>(payload.size() - 1));
    EXPECT_EQ(s.Size(), static_cast<std::int64_t>(payload.size() + 4));
    EXPECT_EQ(s.Position(), static_cast<std::int64_t>(payload.size() - 1))
        << "Size keeps the position";
}

TEST_F(KpvFile, SetSizeEndsTheFileAtARawPosition) {
    WriteBytes(path_, Scrambled(Payload()));
    {
        TKPVFileStream s(path_, osfile::kOpenReadWrite);
        s.SetSize(10);
        EXPECT_EQ(s.Position(), 10);
        EXPECT_EQ(s.Size(), 10);
    }
    EXPECT_EQ(ReadBytes(path_).size(), 10u);

    TKPVFileStream readOnly(path_, 0);
    const std::string error = ErrorOf([&] { readOnly.SetSize(4); });
    EXPECT_EQ(error.rfind("System Error.  Code: ", 0), 0u) << error;
    EXPECT_NE(error.find(".\r\n"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(path_).size(), 10u);
}

TEST_F(KpvFile, FailedReadsAndWritesMoveNothing) {
    WriteBytes(path_, Scrambled(Payload()));
    const Bytes before = ReadBytes(path_);
    {
        TKPVFileStream readOnly(path_, 0);
        EXPECT_EQ(readOnly.Write("xyz", 3), 0u);
        readOnly.Seek(8, SeekOrigin::Begin);
        EXPECT_EQ(readOnly.Write("xyz", 3), 0u);
    }
    EXPECT_EQ(ReadBytes(path_), before);

    TKPVFileStream writeOnly(path_, osfile::kOpenWrite);
    std::uint8_t b[4];
    EXPECT_EQ(writeOnly.Read(b, 4), 0u);
}

TEST_F(KpvFile, OpenAndCreateFailuresNameTheFullPathAndTheSystemReason) {
    const std::string missing = folder_.File("missing.swf");
    EXPECT_EQ(ErrorOf([&] { TKPVFileStream s("730516KPV:" + missing, 0); }),
              "Cannot open file \"" + osfile::ExpandFileName(missing) + "\". " + NotFoundText());

    const std::string inMissingFolder = folder_.File("no-folder/new.swf");
    EXPECT_EQ(ErrorOf([&] { TKPVFileStream s(inMissingFolder, kKpvCreate); }),
              "Cannot create file \"" + osfile::ExpandFileName(inMissingFolder) + "\". " +
                  NotFoundText(true));

    // A relative name is reported in full.
    const std::string relative = "no-such-movie-here.swf";
    const std::string expected = (std::filesystem::current_path() / relative).string();
    EXPECT_EQ(osfile::ExpandFileName(relative), expected);
    EXPECT_EQ(ErrorOf([&] { TKPVFileStream s(relative, 0); }),
              "Cannot open file \"" + expected + "\". " + NotFoundText());
}

TEST(ExpandFileName, TakesOutDotsAndDoubleDots) {
#ifndef _WIN32
    EXPECT_EQ(osfile::ExpandFileName("/a/./b/../c//d.swf"), "/a/c/d.swf");
    EXPECT_EQ(osfile::ExpandFileName("/../x"), "/x");
#else
    EXPECT_EQ(osfile::ExpandFileName("C:\\a\\.\\b\\..\\c\\d.swf"), "C:\\a\\c\\d.swf");
#endif
}

TEST_F(KpvFile, AHandleStreamProbesButLeavesTheHandleOpen) {
    const Bytes payload = Payload();
    WriteBytes(path_, Scrambled(payload));
    osfile::File file(osfile::Open(path_, 0));
    ASSERT_TRUE(file);
    {
        TKPVHandleStream s(file.get());
        EXPECT_TRUE(s.Scrambled());
        EXPECT_EQ(s.Position(), 0) << "the probe rewinds";
        EXPECT_EQ(ReadAll(s), payload);
    }
    EXPECT_EQ(osfile::Seek(file.get(), 0, osfile::Origin::Begin), 0) << "still open";
    std::uint8_t b[4];
    EXPECT_EQ(osfile::Read(file.get(), b, 4), 4);
}
