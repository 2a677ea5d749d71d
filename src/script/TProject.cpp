#include "script/TProject.h"

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
#include "script/TPageTextSource.h"
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

std::string TProject::StatusFilePath() const {
    std::string folder = FInfo.Arguments.empty() ? withSlash(FInfo.ExecutableFolder)
                                                 : TVrFileManager::GameFolderOf(FInfo.Arguments[0]);
    return folder + "save.dat";
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
    const std::string path = StatusFilePath();
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
        if (status.LoadFromArchive(save) && FEnv.Params) {
            TKsMemoryStream body(status.FBody);
            FEnv.Params->LoadStatus(body);
            // The read-text list follows the variables; a damaged one is
            // dropped with what comes after it.
            bool listRead = true;
            try {
                FReadList->LoadRecord(body, status.FVersion);
            } catch (const EZunoError&) {
                FReadList->Clear();
                listRead = false;
            }
            // The parts after the read-text list belong to subsystems that read
            // them themselves; they are kept as read and written back at the end.
            if (listRead && status.FVersion == StatusVersion)
                FStatusTail.assign(status.FBody.begin() + body.GetPosition(), status.FBody.end());
        }
    } catch (const EZunoError&) {
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
}

void TProject::writeStatus() {
    if (!FEnv.Params)
        return;
    const std::string path = StatusFilePath();
    try {
        TVrFileCollection save;
        if (diskFileExists(path))
            save.Open(path);
        TStatusData status;
        TKsMemoryStream body;
        FEnv.Params->SaveStatus(body);
        FReadList->SaveRecord(body);
        if (!FStatusTail.empty())
            body.WriteBuffer(FStatusTail.data(), static_cast<int64_t>(FStatusTail.size()));
        status.FBody = body.Data();
        status.StoreInArchive(save);
        TKsBigMemoryStream image;
        save.SaveToStream(image);
        std::error_code ec;
        const std::string folder = diskFolderOf(path);
        if (FSetting.FKeepStatus && (folder.empty() || fs::is_directory(folder, ec)))
            image.SaveToFile(path);   // through the atomic write
    } catch (const EZunoError&) {
        // A status file that cannot be written is given up silently.
    }
}

} // namespace zuno
