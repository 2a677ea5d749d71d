// The "vf" archive: a scrambled directory of named entries followed by their
// data, each entry stored unchanged or as one zlib stream.
//
// Directory, in this order (little-endian): optional "vf" + int32 version
// (without the magic the version is 0); int32 count N; N names (int32 length,
// bytes; the bytes scrambled from version 100); N+1 offsets relative to the
// directory start (int64 from version 101, else int32; scrambled from 100);
// from version 101 N stored flags, N DOS file times, N CRC-32s; from version
// 102 N CRC kind flags. The writer writes version 102.
//
// An archive is found as a plain file (directory at 0), appended to an .exe or
// .scr or a program without extension (the last 6 bytes: int32 directory
// position + "zv"; without extension only when "zv" is there), as a data file
// whose directory lies in a sibling ".ext" file (offsets then absolute), or as
// an embedded resource. After loading, the entries are the N directory entries
// in order followed by the end marker "\EOF\" (size 0, offset = end of data).
//
// The directory is checked against the data: a count, name length or offset
// the data cannot hold fails with EZunoError naming the archive.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/TKsBigStream.h"
#include "archive/TRangeStream.h"
#include "core/THashCollection.h"
#include "core/TStream.h"

namespace zuno {

class TVrFile : public THashCollectionItem {
public:
    int64_t             Offset = 0;         // absolute position of the data in the archive stream
    std::unique_ptr<TKsMemoryStream> Data;  // contents of an entry added in memory, or none
    int64_t             Size = 0;           // stored bytes
    uint8_t             Stored = 0;         // 1 unchanged, 0 one zlib stream
    int32_t             FileTime = 0;       // packed DOS date/time, 0 when absent
    uint32_t            Crc = 0;            // CRC-32 as in the directory
    uint8_t             CrcOfPlain = 0;     // 1: Crc covers the uncompressed contents
};

class TVrFileCollection : public TTypedHashCollection<TVrFile> {
public:
    static constexpr int32_t kWriteVersion = 102;
    static constexpr int32_t kNameSeed = 1482730591;        // seed of both scrambling keystreams
    static constexpr int64_t kStoreThreshold = 5242880;     // entries of 5 MiB or more are stored
    static constexpr const char* kEndMarker = "\\EOF\\";
    static constexpr const char* kMediaExtensions = ".WAV.WMA.OGG.MPG.MPEG.M1V.WMV.ASF.DAT.";

                        TVrFileCollection() = default;
                        ~TVrFileCollection() override;

    // Opens an archive file (a disk path in UTF-8), or, when no such file
    // exists, makes this a folder collection that serves loose files from it.
    // An empty name leaves an empty collection.
    void                Open(const std::string& fileName);
    // Opens an archive held in an embedded resource ("リソースが見つかりません" when absent or empty).
    void                OpenResource(const std::string& module, const std::string& name, const std::string& type);
    // Opens an archive held in `stream` (directory at position 0); `displayName` names it in errors.
    void                OpenStream(std::unique_ptr<TKsBigStream> stream, const std::string& displayName = "");
    // Reads a directory from the stream's position and appends its entries.
    void                LoadDirectory(TKsBigStream& stream);

    // The uncompressed contents of an entry, or of the loose file Folder + name
    // (never the archive file itself); "%s:ファイルがありません" otherwise.
    // The output's position is 0 afterwards; a memory output is emptied first.
    void                ReadEntry(std::string_view name, TStream& out);
    // The uncompressed contents of one entry of this archive (its Data is not
    // consulted); same output rules as ReadEntry. Needs a Stream.
    void                ReadItem(const TVrFile& entry, TStream& out);
    // A read-only stream over the stored bytes of an entry; none when the
    // entry is absent or the archive is not a file or resource.
    std::unique_ptr<TRangeStream> OpenEntryRange(std::string_view name);

    // Look-up by name without regard to case; of two entries of one name the
    // later one is found. A name index beside the hash chains keeps this fast
    // for archives of very many entries; it follows every change made through
    // this class (entries should not be renamed behind its back).
    TVrFile*            FindEntry(std::string_view name) const;
    int                 IndexOf(std::string_view name) const;
    TVrFile*            Entry(int index) const { return Items(index); }
    TVrFile*            AddEntry(std::string name);
    TVrFile*            AddMemoryEntry(std::string name);         // with an empty Data stream to fill
    void                DeleteEntry(std::string_view name);
    // Appends the names of the entries directly in `folder` ("" is the top).
    void                ListFolder(std::string_view folder, std::vector<std::string>& list) const;

    // Writes every entry except the end marker as a version-102 archive from
    // the output's position 0 (sources: Data, the loose file Folder + name,
    // else the entry's current contents).
    void                SaveToStream(TKsBigStream& out);

    const std::string&  Folder() const { return FFolder; }        // disk folder ending in '/', or ""
    void                SetFolder(std::string folder);
    TKsBigStream*       Stream() const { return FStream.get(); }
    const std::string&  FileName() const { return FFileName; }
    bool                IsResource() const { return FIsResource; }
    int32_t             Version() const { return FVersion; }        // of the last directory read
    int                 DirectoryCount() const { return FDirectoryCount; }  // N of the last directory read

    // Called with "エラー:" + entry name when writing an entry fails (the
    // failure then goes on to the caller of SaveToStream).
    std::function<void(const std::string&)> OnWriteError;

    // Scrambles (and unscrambles) names and offsets in place.
    static void         scrambleNames(std::vector<std::string>& names);
    static void         scrambleOffsets(std::vector<int64_t>& offsets, bool wide);

    // Whether a disk file may be compressed: `head` is its first bytes (at
    // least 37 for a .DRL), `size` its size, `extension` as in the name.
    static bool         mayCompress(std::string_view extension, const uint8_t* head, size_t headSize, int64_t size);

private:
    struct Written {
        uint8_t         stored = 0;
        uint32_t        crc = 0;
        int32_t         fileTime = 0;
    };

    void                reset();
    std::string         archiveName() const;                       // Shift-JIS, for messages
    [[noreturn]] void   damaged(const char* what) const;
    Written             writeEntry(TVrFile& entry, TKsBigStream& out);

    std::string         FFolder;
    std::unique_ptr<TKsBigStream> FStream;
    std::string         FFileName;
    std::string         FDisplayName;
    bool                FIsResource = false;
    std::string         FResourceModule;
    std::string         FResourceName;
    std::string         FResourceType;
    int32_t             FVersion = 0;
    int                 FDirectoryCount = 0;
    mutable std::unordered_map<std::string, TVrFile*> FIndex;   // lower-cased name -> entry
    mutable int         FIndexedCount = -1;                     // Count() the index was built for
};

// Packed DOS date/time (date in the high word) of a time in the local zone.
int32_t dosDateTimeOf(int64_t unixTime);

} // namespace zuno
