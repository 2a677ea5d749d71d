// The big streams: volumes (on sparse files, never a real GiB written), the
// memory and resource streams, the read buffer, range streams and CopyStream.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "ArchiveTestUtil.h"
#include "archive/TKsBigFileStream.h"
#include "archive/TKsBigResourceStream.h"
#include "archive/TKsBuffBigStream.h"
#include "archive/TRangeStream.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"

namespace zuno {
namespace {

using test::Bytes;
using test::TTempFolder;
constexpr int64_t GiB = TKsBigFileStream::kVolumeSize;

// A file of `size` bytes that holds `tail` at its end and a hole before it.
void makeSparse(const std::string& path, int64_t size, const std::string& tail) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), size - int64_t(tail.size())), ssize_t(tail.size()));
    ::close(fd);
}

int64_t fileSize(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

TEST(BigFileStream, VolumeNames) {
    struct Case { const char* file; int index; const char* expected; };
    for (const Case& c : std::initializer_list<Case>{{"game.dat", 0, "game.dat"},
                                                     {"game.dat", 1, "game.001"},
                                                     {"/x/a.b/game.dat", 12, "/x/a.b/game.012"},
                                                     {"/x/a.b/game", 2, "/x/a.b/game.002"},
                                                     {"data.tar.gz", 1000, "data.tar.1000"}})
        EXPECT_EQ(TKsBigFileStream::volumeFileName(c.file, c.index), c.expected) << c.file << " " << c.index;
}

TEST(BigFileStream, ReadRunsAcrossVolumes) {
    TTempFolder dir;
    makeSparse(dir.path("game.dat"), GiB, "0123456789");
    test::writeFile(dir.path("game.001"), Bytes(100, 'B'));
    TKsBigFileStream s(dir.path("game.dat"), fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(s.VolumeCount(), 2);
    EXPECT_EQ(s.GetSize(), GiB + 100);

    s.SetPosition(GiB - 10);
    std::string buffer(100, '\0');
    EXPECT_EQ(s.Read(buffer.data(), 100), 100);
    EXPECT_EQ(buffer, "0123456789" + std::string(90, 'B'));
    EXPECT_EQ(s.GetPosition(), GiB + 90);

    // Only what is left comes back at the end.
    EXPECT_EQ(s.Read(buffer.data(), 100), 10);
    EXPECT_EQ(s.Read(buffer.data(), 100), 0);

    // A position past the end stays at the end.
    s.SetPosition(GiB * 5);
    EXPECT_EQ(s.GetPosition(), GiB + 100);
    s.SetPosition(-4);
    EXPECT_EQ(s.GetPosition(), 0);
}

TEST(BigFileStream, WriteAcrossTheVolumeEndCreatesTheNextVolume) {
    TTempFolder dir;
    makeSparse(dir.path("game.dat"), GiB, "z");
    {
        TKsBigFileStream s(dir.path("game.dat"), fmOpenReadWrite);
        s.SetPosition(GiB - 1);
        EXPECT_EQ(s.Write("XY", 2), 2);
        EXPECT_EQ(s.GetSize(), GiB + 1);
    }
    EXPECT_EQ(fileSize(dir.path("game.dat")), GiB);
    EXPECT_EQ(test::readFile(dir.path("game.001")), test::bytesOf("Y"));
    TKsBigFileStream r(dir.path("game.dat"), fmOpenRead);
    r.SetPosition(GiB - 1);
    char c[2];
    EXPECT_EQ(r.Read(c, 2), 2);
    EXPECT_EQ(std::string(c, 2), "XY");
}

TEST(BigFileStream, CreateDeletesOldVolumesAndReadOnlyNeverWrites) {
    TTempFolder dir;
    for (const char* name : {"game.dat", "game.001", "game.002"})
        test::writeFile(dir.path(name), Bytes(5, 'o'));
    {
        TKsBigFileStream w(dir.path("game.dat"), fmCreate);
        EXPECT_EQ(w.GetSize(), 0);
        EXPECT_FALSE(std::filesystem::exists(dir.path("game.001")));
        EXPECT_FALSE(std::filesystem::exists(dir.path("game.dat")));
        EXPECT_EQ(w.Write("abc", 3), 3);
    }
    EXPECT_EQ(test::readFile(dir.path("game.dat")), test::bytesOf("abc"));
    EXPECT_FALSE(std::filesystem::exists(dir.path("game.001")));

    TKsBigFileStream r(dir.path("game.dat"), fmOpenRead);
    EXPECT_EQ(r.Write("q", 1), 0);
    EXPECT_EQ(test::readFile(dir.path("game.dat")), test::bytesOf("abc"));

    TKsBigFileStream missing(dir.path("none.dat"), fmOpenRead);
    EXPECT_EQ(missing.GetSize(), 0);
    char c;
    EXPECT_EQ(missing.Read(&c, 1), 0);
}

TEST(BigFileStream, ReplacingLeavesTheOldFileUntilCommitted) {
    TTempFolder dir;
    auto names = [&] {
        std::vector<std::string> list;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            list.push_back(e.path().filename().string());
        std::sort(list.begin(), list.end());
        return list;
    };
    for (const char* name : {"game.dat", "game.001", "game.002"})
        test::writeFile(dir.path(name), Bytes(5, 'o'));

    // Given up: the old volumes stay as they were and no temporary is left.
    {
        auto w = TKsBigFileStream::CreateReplacing(dir.path("game.dat"));
        EXPECT_EQ(w->Write("abc", 3), 3);
        EXPECT_EQ(test::readFile(dir.path("game.dat")), Bytes(5, 'o'));
    }
    EXPECT_EQ(names(), (std::vector<std::string>{"game.001", "game.002", "game.dat"}));

    // Committed: the new file in place, the old file's further volumes gone.
    auto w = TKsBigFileStream::CreateReplacing(dir.path("game.dat"));
    EXPECT_EQ(w->Write("abcd", 4), 4);
    w->SetPosition(1);
    char back[2];
    EXPECT_EQ(w->Read(back, 2), 2);
    EXPECT_EQ(std::string(back, 2), "bc");
    EXPECT_EQ(test::readFile(dir.path("game.dat")), Bytes(5, 'o'));
    w->Commit();
    EXPECT_EQ(test::readFile(dir.path("game.dat")), test::bytesOf("abcd"));
    EXPECT_EQ(names(), std::vector<std::string>{"game.dat"});

    // Nothing written still makes an empty file.
    TKsBigFileStream::CreateReplacing(dir.path("game.dat"))->Commit();
    EXPECT_EQ(test::readFile(dir.path("game.dat")), Bytes());
}

TEST(BigFileStream, CopyOperations) {
    TTempFolder dir;
    TKsMemoryStream source(test::bytesOf("0123456789"));
    source.SetPosition(7);
    TKsBigFileStream f(dir.path("copy.bin"), fmCreate);
    EXPECT_EQ(f.CopyFrom(source, 0), 10);               // 0: whole source from 0
    TKsBigMemoryStream m(test::bytesOf("abcdef"));
    EXPECT_EQ(f.CopyFromBig(m, 3), 3);                  // from the source's position
    EXPECT_EQ(f.GetSize(), 13);
    f.SetPosition(8);
    TKsMemoryStream target;
    EXPECT_EQ(f.CopyTo(target, 100), 5);
    EXPECT_EQ(target.Data(), test::bytesOf("89abc"));
}

TEST(BigMemoryStream, SaveAndLoadAndCopyKinds) {
    TTempFolder dir;
    TKsBigMemoryStream m;
    m.WriteBuffer("hello", 5);
    m.SetPosition(99);
    EXPECT_EQ(m.GetPosition(), 5);
    m.SaveToFile(dir.path("m.bin"));
    TKsBigMemoryStream loaded;
    loaded.LoadFromFile(dir.path("m.bin"));
    EXPECT_EQ(loaded.Memory().Data(), test::bytesOf("hello"));

    // A memory stream copies only from another memory stream.
    TKsBigFileStream file(dir.path("m.bin"), fmOpenRead);
    EXPECT_EQ(loaded.CopyFromBig(file, 0), 0);
    EXPECT_EQ(loaded.CopyFromBig(m, 0), 5);
    EXPECT_EQ(loaded.GetSize(), 5);
}

TEST(BigResourceStream, ReadsEmbeddedDataAndRefusesWrites) {
    registerEmbeddedResource("TESTRES", "BINTYPE", test::bytesOf("resource bytes"));
    TKsBigResourceStream r(kOwnModule, "testres", "bintype");   // names without regard to case
    EXPECT_EQ(r.GetSize(), 14);
    r.SetPosition(9);
    char buffer[10];
    EXPECT_EQ(r.Read(buffer, 10), 5);
    EXPECT_EQ(std::string(buffer, 5), "bytes");
    EXPECT_THROW(r.Write("x", 1), EZunoError);
    EXPECT_THROW(TKsBigResourceStream(kOwnModule, "NOPE", "BINTYPE"), EZunoError);
    unregisterEmbeddedResource("TESTRES", "BINTYPE");
    EXPECT_FALSE(findEmbeddedResource("TESTRES", "BINTYPE"));
    // The open stream keeps its bytes.
    r.SetPosition(0);
    EXPECT_EQ(r.Read(buffer, 8), 8);
    EXPECT_EQ(std::string(buffer, 8), "resource");
}

TEST(BuffBigStream, ReleaseGivesBackTheUnreadBytes) {
    Bytes data(300000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 7);
    TKsBigMemoryStream source(data);
    source.SetPosition(1000);
    {
        TKsBuffBigStream buffer(source);
        uint8_t out[10];
        EXPECT_EQ(buffer.Read(out, 10), 10);
        EXPECT_EQ(out[0], uint8_t(1000 * 7));
        EXPECT_EQ(source.GetPosition(), 1000 + TKsBuffBigStream::kBufferSize);   // one refill
        EXPECT_EQ(buffer.Remaining(), int64_t(data.size()) - 1010);
    }
    EXPECT_EQ(source.GetPosition(), 1010);

    // Reads across refills, and a short read only at the end.
    source.SetPosition(0);
    TKsBuffBigStream buffer(source);
    Bytes all(data.size() + 50);
    EXPECT_EQ(buffer.Read(all.data(), 250000), 250000);
    EXPECT_EQ(buffer.Read(all.data() + 250000, 100000), 50000);
    all.resize(data.size());
    EXPECT_EQ(all, data);
    buffer.Release();
    EXPECT_EQ(source.GetPosition(), int64_t(data.size()));
}

TEST(RangeStream, SeekIsClampedIntoTheWindow) {
    Bytes data(100);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i);
    TRangeStream r(std::make_unique<TKsBigMemoryStream>(data), 20, 30);
    EXPECT_EQ(r.GetSize(), 30);
    struct Case { int64_t offset; TSeekOrigin origin; int64_t expected; };
    for (const Case& c : std::initializer_list<Case>{{-5, soBeginning, 0},
                                                     {10, soBeginning, 10},
                                                     {5, soCurrent, 15},
                                                     {100, soCurrent, 30},
                                                     {-3, soEnd, 27},
                                                     {4, soEnd, 30},
                                                     {-100, soEnd, 0}})
        EXPECT_EQ(r.Seek(c.offset, c.origin), c.expected) << c.offset << " " << c.origin;

    r.Seek(25, soBeginning);
    uint8_t out[10];
    EXPECT_EQ(r.Read(out, 10), 5);
    EXPECT_EQ(out[0], 45);
    EXPECT_EQ(r.Read(out, 10), 0);
    EXPECT_EQ(r.Write("x", 1), 0);

    // A length of 0 is the whole source, unless an empty window is asked for.
    TRangeStream whole(std::make_unique<TKsBigMemoryStream>(data), 0, 0);
    EXPECT_EQ(whole.GetSize(), 100);
    TRangeStream empty(std::make_unique<TKsBigMemoryStream>(data), 40, 0, true);
    EXPECT_EQ(empty.Read(out, 10), 0);
}

TEST(RangeStream, FileRangeSharedByTwoThreads) {
    TTempFolder dir;
    Bytes data(1 << 16);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i % 251);
    test::writeFile(dir.path("a.bin"), data);
    TFileRangeStream r(dir.path("a.bin"), 40000, 1000);
    EXPECT_EQ(r.GetSize(), 40000);

    // Two threads read the one stream to its end: every chunk is contiguous
    // and together they read the window exactly once.
    std::atomic<int64_t> total{0};
    std::atomic<int> torn{0};
    auto reader = [&] {
        uint8_t chunk[97];
        for (;;) {
            int64_t n = r.Read(chunk, sizeof chunk);
            if (n <= 0)
                break;
            for (int64_t i = 1; i < n; ++i)
                if (chunk[i] != uint8_t((chunk[i - 1] + 1) % 251))
                    ++torn;
            total += n;
        }
    };
    std::thread a(reader), b(reader);
    a.join();
    b.join();
    EXPECT_EQ(total.load(), 40000);
    EXPECT_EQ(torn.load(), 0);

    r.Seek(0, soBeginning);
    uint8_t first;
    ASSERT_EQ(r.Read(&first, 1), 1);
    EXPECT_EQ(first, uint8_t(1000 % 251));
}

TEST(CopyStream, WholeSourceAndCounts) {
    TKsMemoryStream source(test::bytesOf("abcdefgh"));
    source.SetPosition(5);
    TKsMemoryStream target;
    EXPECT_EQ(CopyStream(target, source, 0), 8);
    EXPECT_EQ(target.Data(), test::bytesOf("abcdefgh"));
    source.SetPosition(2);
    TKsMemoryStream part;
    EXPECT_EQ(CopyStream(part, source, 3), 3);
    EXPECT_EQ(part.Data(), test::bytesOf("cde"));
    EXPECT_EQ(source.GetPosition(), 5);

    // A non-memory source goes through the buffer.
    TKsBigMemoryStream big(test::bytesOf("0123456789"));
    TBigStreamView view(big);
    view.SetPosition(4);
    TKsMemoryStream viaBuffer;
    EXPECT_EQ(CopyStream(viaBuffer, view, 100), 6);
    EXPECT_EQ(viaBuffer.Data(), test::bytesOf("456789"));
}

TEST(StreamFields, ReadStringOfZeroReadsNothingMore) {
    TKsBigMemoryStream big;
    TBigStreamView view(big);
    WriteInt(view, 0);
    WriteInt(view, 77);
    view.SetPosition(0);
    EXPECT_EQ(ReadString(view), "");
    EXPECT_EQ(ReadInt(view), 77);
}

} // namespace
} // namespace zuno
