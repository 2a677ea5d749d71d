#include "script/TProject.h"

#include <algorithm>
#include <filesystem>

#include "archive/GamePath.h"
#include "archive/TKsBigStream.h"
#include "archive/TVrFileCollection.h"
#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TextHelpers.h"
#include "expr/ParamConvert.h"
#include "expr/TParamCollection.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoHistoryFormatManager.h"
#include "objects/TZunoReadList.h"
#include "platform/posix/PosixServices.h"
#include "script/TPageTextSource.h"
#include "script/StatusLocation.h"
#include "script/TGameSave.h"
#include "script/TStatusData.h"

namespace zuno {

namespace fs = std::filesystem;

TProject::TProject(TScriptEnv& env, TProjectStartInfo info) : FEnv(env), FInfo(std::move(info)) {
    FTitle = sjis("情報");
    if (!FEnv.FileExists)
        FEnv.FileExists = [this](std::string_view name) { return FileExists(name); };
    FHistories = std::make_unique<TZunoHistoryFormatManager>();
    FReadList = std::make_unique<TZunoReadList>();
    FTextSource = std::make_unique<TPageTextSource>(FEnv);
    FHistories->TextSource = FTextSource.get();
    FHistories->Funcs = FEnv.Funcs;
    if (TZunoBaseList* reg = FEnv.Registry) {
        reg->Funcs = FEnv.Funcs;
        reg->TextSource = FTextSource.get();
        reg->Histories = FHistories.get();
        reg->ReadList = FReadList.get();
    }
    FEnv.RequestSave = [this](int32_t slot, const std::string& page, const std::string& caption, int32_t index) {
        RequestSave(slot, page, caption, index);
    };
    FEnv.RequestLoad = [this](int32_t slot) { RequestLoad(slot); };
}

TProject::~TProject() {
    try {
        Destroy();
    } catch (...) {
    }
    if (TZunoBaseList* reg = FEnv.Registry) {
        reg->TextSource = nullptr;
        reg->Histories = nullptr;
        reg->ReadList = nullptr;
    }
}

std::string TProject::GameFolder() const {
    return FInfo.Arguments.empty() ? withSlash(FInfo.ExecutableFolder) : TVrFileManager::GameFolderOf(FInfo.Arguments[0]);
}

std::string TProject::StatusFilePath() const {
    const std::string folder = GameFolder();
    return chooseStatusFile(folder, userDataFolder(), folderIsWritable(folder),
                            [](const std::string& path) { return diskFileExists(path); });
}

std::string TProject::StatusReadPath() const {
    const std::string path = StatusFilePath();
    if (diskFileExists(path))
        return path;
    const std::string beside = GameFolder() + "save.dat";
    return diskFileExists(beside) ? beside : path;
}

void TProject::warn(const char* utf8Text) {
    FFailReason = sjis(utf8Text);
    if (FEnv.Warning)
        FEnv.Warning(sjis("警告"), FFailReason);
}

//==============================================================================
// Start
//==============================================================================

std::string TProject::playerFile() const {
    return FInfo.ExecutablePath.empty() ? withSlash(FInfo.ExecutableFolder) + "zunoplay" : FInfo.ExecutablePath;
}

bool TProject::installCheck() {
    TVrFileManager& files = *FEnv.Files;
    files.OnMessage = [this](const std::string& text, const std::string& caption) {
        FFailReason = text;
        if (FEnv.Warning)
            FEnv.Warning(caption, text);
    };
    std::string identity;
    bool fullInstall = false;
    try {
        if (files.CheckInstall(playerFile(), identity, fullInstall))
            return true;
    } catch (const EZunoError& e) {
        FFailReason = e.message();
        return false;
    }
    if (FFailReason.empty())
        FFailReason = sjis("ディスクを入れてください");
    return false;
}

void TProject::loadStatus() {
    const std::string path = StatusReadPath();
    if (!diskFileExists(path))
        return;
    TVrFileCollection save;
    try {
        save.Open(path);
    } catch (const EZunoError&) {
        return;
    }
    TStatusData status;
    try {
        if (status.LoadFromArchive(save) && FEnv.Params && FEnv.Funcs) {
            TKsMemoryStream body(status.FBody);
            TGameSave::LoadStatusBody(FEnv, body, status.FVersion);
        }
    } catch (const EZunoError&) {
        // What was read before the damage stays; the rest keeps its defaults.
    }
    // Files the game wrote itself travel in save.dat as "save:" entries.
    if (!FEnv.Files || FEnv.Files->ArchiveCount() == 0)
        return;
    TVrFileCollection& memory = *FEnv.Files->Archive(0);
    for (int i = 0; i < save.Count(); ++i) {
        const std::string name = save.Entry(i)->Name();
        if (name.size() < 5 || lowerCaseSjis(name.substr(0, 5)) != "save:")
            continue;
        try {
            TVrFile* entry = memory.AddMemoryEntry(name);
            save.ReadEntry(name, *entry->Data);
            entry->Data->SetPosition(0);
        } catch (const EZunoError&) {
            memory.DeleteEntry(name);
        }
    }
}

void TProject::buildCaptionList() {
    FSaveCaptions.clear();
    const std::string path = StatusReadPath();
    if (!diskFileExists(path))
        return;
    TVrFileCollection save;
    try {
        save.Open(path);
    } catch (const EZunoError&) {
        return;
    }
    for (int i = 0; i < save.Count(); ++i) {
        const std::string name = save.Entry(i)->Name();
        const int32_t slot = gameSaveSlotOf(name);
        if (slot < 0)
            continue;
        try {
            TKsMemoryStream entry;
            save.ReadEntry(name, entry);
            entry.SetPosition(0);
            SetSaveCaption(slot, readGameSaveHeader(entry).Caption);
        } catch (const EZunoError&) {
            // An entry whose header cannot be read has no caption.
        }
    }
}

bool TProject::readProject(const std::string& name, TProjectSetting& into) {
    TKsMemoryStream data;
    try {
        FEnv.Files->ReadFile(data, name);
    } catch (const EZunoError& e) {
        FFailReason = e.message();
        return false;
    }
    if (data.GetSize() == 0) {
        warn("プロジェクトがありません");
        return false;
    }
    try {
        data.SetPosition(0);
        if (!into.LoadFromStream(data)) {
            FFailReason = name + sjis(":バージョンが新しすぎます");
            return false;
        }
    } catch (const EZunoError& e) {
        FFailReason = e.message();
        return false;
    }
    return true;
}

void TProject::applyProject() {
    FProjectRead = true;
    FTitle = FSetting.FTitle;
    FUndiscovered = FSetting.FUndiscoveredTypes;
    FFolderDisks.Items.clear();
    for (const TFolderDisk& d : FSetting.FFolderDisks)
        FFolderDisks.Items.push_back({d.Folder, d.Disk});
    if (FEnv.Files) {
        FEnv.Files->AppTitle = FTitle;
        FEnv.Files->ProjectName = FTitle;
        if (!FSetting.FDiskPrompt.empty())
            FEnv.Files->DiskPrompt = FSetting.FDiskPrompt;
        if (!FSetting.FQuitConfirm.empty())
            FEnv.Files->QuitNotice = FSetting.FQuitConfirm;
    }
    if (TParamCollection* params = FEnv.Params) {
        for (const TInitVariable& v : FSetting.FVariables) {
            if (params->Find(v.Name))
                continue;       // restored from the status data
            try {
                TParamCollectionItem* item = params->AddVariable(v.Type);
                if (!item)
                    continue;
                try {
                    item->SetName(v.Name);
                } catch (const EZunoError&) {
                    params->DeleteItem(item);
                    continue;
                }
                item->Status = 1;
                TCustomParam* value = item->Value();
                switch (v.Type) {
                case PT_INT:   value->SetInteger(v.IntValue); break;
                case PT_FLOAT: value->SetFloat(extendedToReal(v.FloatValue)); break;
                case PT_BOOL:  value->SetBoolean(v.BoolValue != 0); break;
                case PT_STR:   value->SetString(v.StrValue); break;
                default: break;
                }
            } catch (const EZunoError&) {
            }
        }
    }
}

bool TProject::Create() {
    FCreated = true;
    FEnv.Terminating = true;
    if (!FEnv.Files) {
        FFailReason = sjis("プロジェクトがありません");
        return false;
    }
    FEnv.Files->RegisterGameData(playerFile(), FInfo.Arguments);
    buildCaptionList();
    loadStatus();
    FTitle = sjis("情報");
    if (FInfo.Arguments.empty() && !installCheck())
        return false;
    if (!readProject("zuno.zpb", FSetting))
        return false;
    applyProject();
    FEnv.Terminating = false;
    if (FEnv.Files->Exists("/original_zuno.zpb")) {
        TProjectSetting original;
        std::string reason = FFailReason;
        if (readProject("/original_zuno.zpb", original)) {
            FFolderDisks.Items.clear();
            for (const TFolderDisk& d : original.FFolderDisks)
                FFolderDisks.Items.push_back({d.Folder, d.Disk});
        }
        FFailReason = reason;
    }

    FCallMan = std::make_unique<TCallMan>(FEnv);
    FTextSource->CallMan = FCallMan.get();
    if (!FSetting.FStartPage.empty() && FEnv.Files->Exists(FSetting.FStartPage)) {
        try {
            FCallMan->Start(FSetting.FStartPage);
            return true;
        } catch (const EZunoError& e) {
            FFailReason = e.message();
            FEnv.Terminating = true;
            return false;
        }
    }
    warn("スタートページがありません");
    FEnv.Terminating = true;
    return false;
}

void TProject::RunFrame() {
    if (FCallMan && !FEnv.Terminating)
        FCallMan->Run();
}

//==============================================================================
// Files
//==============================================================================

bool TProject::FileExists(std::string_view name) {
    if (name.empty() || !FEnv.Files)
        return false;
    if (FEnv.Files->Exists(name))
        return true;
    const int32_t disk = FFolderDisks.DiskOf(name);
    if (disk <= 0)
        return false;
    const std::string ext = lowerCaseSjis(gameNameExtension(name));
    if (!ext.empty() && (lowerCaseSjis(FUndiscovered) + ".").find(ext + ".") != std::string::npos)
        return false;
    return FEnv.Files->RequestDisk(disk);
}

//==============================================================================
// End
//==============================================================================

void TProject::Destroy() {
    if (FDestroyed || !FCreated)
        return;
    FDestroyed = true;
    if (FCallMan && !FSetting.FExitPage.empty()) {
        try {
            FCallMan->Start(FSetting.FExitPage);
            FEnv.Terminating = false;
            FCallMan->Run();
        } catch (const EZunoError&) {
        }
        FEnv.Terminating = true;
    }
    // Only a game that read its project writes status data back.
    if (FProjectRead)
        writeStatus();
    FTextSource->CallMan = nullptr;
    FCallMan.reset();
    for (const std::string& path : FDeleteAtEnd) {
        std::error_code ec;
        fs::remove(path, ec);
    }
}

//==============================================================================
// save.dat
//==============================================================================

// Opens save.dat when it is there (an absent file is an empty collection).
// False when it is there but cannot be read: it is then left alone, so a
// damaged file is never replaced by one that lost its other entries.
bool TProject::openSaveData(TVrFileCollection& save, const std::string& path) {
    const std::string from = path == StatusFilePath() ? StatusReadPath() : path;
    if (!diskFileExists(from))
        return true;
    try {
        save.Open(from);
        return true;
    } catch (const EZunoError&) {
        return false;
    }
}

void TProject::storeStatus(TVrFileCollection& save) {
    TStatusData status;
    TKsMemoryStream body;
    TGameSave::SaveStatusBody(FEnv, body);
    status.FBody = body.Data();
    status.StoreInArchive(save);
}

void TProject::saveFailed(const std::string& what) {
    if (FEnv.Trace)
        FEnv.Trace(cp932ToUtf8(what));
}

void TProject::writeStatus() {
    if (!FEnv.Params || !FEnv.Funcs)
        return;
    const std::string path = StatusFilePath();
    try {
        TVrFileCollection save;
        if (!openSaveData(save, path))
            return;
        storeStatus(save);
        TKsBigMemoryStream image;
        save.SaveToStream(image);
        if (FSetting.FKeepStatus && prepareStatusFolder(path))
            image.SaveToFile(path);   // through the atomic write
    } catch (const EZunoError&) {
        // A status file that cannot be written is given up silently.
    }
}

//==============================================================================
// Game saves
//==============================================================================

bool TProject::WriteSaveDataEntry(const std::string& name, const std::vector<uint8_t>& data) {
    const std::string path = StatusFilePath();
    try {
        TVrFileCollection save;
        if (!openSaveData(save, path))
            return false;
        save.DeleteEntry(name);
        TVrFile* entry = save.AddMemoryEntry(name);
        if (!data.empty())
            entry->Data->WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
        entry->Data->SetPosition(0);
        TKsBigMemoryStream image;
        save.SaveToStream(image);
        if (!prepareStatusFolder(path))
            return false;
        image.SaveToFile(path);
        return true;
    } catch (const EZunoError& e) {
        saveFailed(e.message());
        return false;
    }
}

void TProject::DeleteAtEnd(const std::string& path) {
    if (std::find(FDeleteAtEnd.begin(), FDeleteAtEnd.end(), path) == FDeleteAtEnd.end())
        FDeleteAtEnd.push_back(path);
}

std::string TProject::SaveCaption(int32_t slot) const {
    for (const TSaveCaption& c : FSaveCaptions)
        if (c.Slot == slot)
            return c.Caption;
    return {};
}

void TProject::SetSaveCaption(int32_t slot, const std::string& caption) {
    for (TSaveCaption& c : FSaveCaptions)
        if (c.Slot == slot) {
            c.Caption = caption;
            return;
        }
    FSaveCaptions.push_back({slot, caption});
}

void TProject::RequestSave(int32_t slot, const std::string& resumePage, const std::string& caption,
                           int32_t resumeIndex) {
    FSaveSlot = slot;
    FSaveResumePage = resumePage;
    FSaveCaption = caption;
    FSaveResumeIndex = resumeIndex;
}

void TProject::RequestLoad(int32_t slot) { FLoadSlot = slot; }

bool TProject::ApplyPending() {
    bool loaded = false;
    if (FLoadSlot >= 0) {
        const int32_t slot = FLoadSlot;
        FLoadSlot = -1;
        loaded = LoadGame(slot);
    }
    if (FSaveSlot >= 0) {
        const int32_t slot = FSaveSlot;
        FSaveSlot = -1;
        SaveGame(slot, FSaveResumePage, FSaveCaption, FSaveResumeIndex);
    }
    return loaded;
}

void TProject::SaveGame(int32_t slot, const std::string& resumePage, const std::string& caption,
                        int32_t resumeIndex) {
    if (caption.empty() || !FCallMan || !FEnv.Params || !FEnv.Funcs)
        return;
    const std::string path = StatusFilePath();
    try {
        TVrFileCollection save;
        if (!openSaveData(save, path)) {
            saveFailed(path + sjis(":セーブデータが壊れているため上書きしません"));
            return;
        }
        const std::string name = gameSaveEntryName(slot);
        save.DeleteEntry(name);
        TVrFile* entry = save.AddMemoryEntry(name);
        TGameSave(FEnv, *FCallMan).Save(*entry->Data, caption, resumePage, resumeIndex);
        entry->Data->SetPosition(0);
        // Every game save refreshes the status data as well; both go to disk
        // in one write, so save.dat is either all old or all new.
        if (FSetting.FKeepStatus)
            storeStatus(save);
        TKsBigMemoryStream image;
        save.SaveToStream(image);
        SetSaveCaption(slot, caption);
        if (!prepareStatusFolder(path)) {
            saveFailed(path + sjis(":フォルダを作成できません"));
            return;
        }
        image.SaveToFile(path);
    } catch (const EZunoError& e) {
        saveFailed(e.message());
    }
}

bool TProject::LoadGame(int32_t slot) {
    if (!FCallMan || !FEnv.Params || !FEnv.Funcs)
        return false;
    const std::string path = StatusReadPath();
    if (!diskFileExists(path))
        return false;
    TVrFileCollection save;
    TKsMemoryStream entry;
    bool readable = openSaveData(save, path);
    const std::string name = gameSaveEntryName(slot);
    if (readable && !save.FindEntry(name))
        return false;
    if (readable) {
        try {
            save.ReadEntry(name, entry);
            entry.SetPosition(0);
        } catch (const EZunoError&) {
            readable = false;
        }
    }
    TGameSave game(FEnv, *FCallMan);
    // The running game is kept aside first: a save that turns out to be
    // damaged half-way is undone and the game goes on as it was.
    TKsMemoryStream before;
    bool haveBefore = true;
    try {
        game.Save(before, "-", "", 0);
    } catch (const EZunoError&) {
        haveBefore = false;
    }
    if (readable) {
        try {
            game.Load(entry);
            return true;
        } catch (const EZunoError&) {
        }
        try {
            if (haveBefore) {
                before.SetPosition(0);
                game.Load(before);
            }
        } catch (const EZunoError&) {
            haveBefore = false;
        }
    }
    if (!haveBefore)
        FEnv.Terminating = true;
    if (FEnv.Warning)
        FEnv.Warning(FTitle, sjis("このセーブデータは使用できません\r\n終了してください"));
    return false;
}

} // namespace zuno
