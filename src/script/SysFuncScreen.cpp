// SaveScreen: a picture of a screen written as a one-frame layered image,
// into the in-memory archive ("mem:", "save:"; "save:" also into save.dat)
// or as a file in the game folder.
#include <filesystem>

#include "archive/GamePath.h"
#include "archive/TVrFileCollection.h"
#include "archive/TVrFileManager.h"
#include "archive/TZunoInstallSet.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "core/TextHelpers.h"
#include "archive/TKsBigStream.h"
#include "expr/TSysFuncMan.h"
#include "imaging/TDrelFrameList.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "script/ProjectSysFuncs.h"
#include "script/TProject.h"

namespace zuno {

namespace fs = std::filesystem;

namespace {

constexpr int fnSaveScreen = 137;

bool startsWithNoCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && lowerCaseSjis(text.substr(0, prefix.size())) == prefix;
}

// The screen's picture as 24-bit rows, resampled (nearest pixel) to w x h.
void copyScreen(TCustomDIBX& surface, TDrelBitmap& out, int32_t w, int32_t h) {
    out.SetSize(w, h, 24);
    const int32_t sw = surface.GetWidth(), sh = surface.GetHeight();
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = out.Row(y);
        const int32_t sy = static_cast<int32_t>(int64_t(y) * sh / h);
        for (int32_t x = 0; x < w; ++x) {
            const int32_t sx = static_cast<int32_t>(int64_t(x) * sw / w);
            const int32_t rgb = surface.PixelToColor(surface.GetPixel(sx, sy));   // 0x00BBGGRR
            row[x * 3 + 0] = static_cast<uint8_t>(rgb >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(rgb);
        }
    }
}

// Adds a name to the written-file list of an existing install.dat. A damaged
// install.dat is left as it is rather than rewritten from a partial read.
void listWrittenFile(const std::string& installPath, const std::string& name) {
    std::error_code ec;
    if (!fs::is_regular_file(installPath, ec))
        return;
    try {
        TZunoInstallSet install;
        install.LoadFromFile(installPath);
        if (install.AddWrittenFile(name))
            install.SaveToFile(installPath);
    } catch (const EZunoError&) {
    }
}

void saveScreen(TScriptEnv& env, TProject& project, TCustomParam& R, const TParamArgs& a) {
    R.SetBoolean(false);
    TVrFileManager* files = env.Files;
    TZunoBaseList* reg = env.Registry;
    if (!files || !reg)
        return;
    std::error_code ec;
    const std::string name = sysfunc::strArg(a, 0);
    if (!fs::is_directory(files->BaseFolder(), ec) || lowerCaseSjis(gameNameExtension(name)) != ".drl")
        return;
    TZunoBase* screen = reg->GetScreen(reg->ActiveIndex() ^ (sysfunc::boolArg(a, 3) ? 1 : 0));
    if (!screen)
        return;
    reg->Draw();                                        // the screens up to date
    TCustomDIBX* surface = reg->SurfaceOf(*screen);
    if (!surface || surface->IsEmpty())
        return;
    int32_t w = sysfunc::intArg(a, 1), h = sysfunc::intArg(a, 2);
    if (w == 0)
        w = surface->GetWidth();
    if (h == 0)
        h = surface->GetHeight();
    if (w < 1 || h < 1 || w > kMaxImageSide || h > kMaxImageSide)
        return;
    TDrelFrameList picture(project.Setting().FIdentCode);
    copyScreen(*surface, picture.AddFrame()->Bitmap, w, h);
    TKsMemoryStream image;
    picture.SaveToStream(image, dcDefault, 70);

    const bool inMemory = startsWithNoCase(name, "mem:");
    const bool inSaveData = startsWithNoCase(name, "save:");
    std::string diskPath;
    if (inMemory || inSaveData) {
        TVrFileCollection& memory = *files->Archive(0);
        memory.DeleteEntry(name);
        TVrFile* entry = memory.AddMemoryEntry(name);
        entry->Data->WriteBuffer(image.Data().data(), static_cast<int64_t>(image.Data().size()));
        entry->Data->SetPosition(0);
        if (inSaveData)
            project.WriteSaveDataEntry(name, image.Data());
    } else {
        if (!isSafeGameName(name))
            return;
        diskPath = withSlash(files->BaseFolder()) + gameNameToDiskPath(name);
        fs::create_directories(fs::path(diskPath).parent_path(), ec);
        try {
            TKsBigMemoryStream out(image.Data());
            out.SaveToFile(diskPath);
        } catch (const EZunoError&) {
            return;
        }
    }
    TDrelCollection::Instance().ReloadFile(name);
    R.SetBoolean(true);
    // Registration of the file: 1, removed when the game ends; 2, listed in
    // install.dat among the files the game wrote (so an uninstall finds it).
    if (a.size() < 5 || inMemory)
        return;
    const int32_t registration = sysfunc::intArg(a, 4);
    if (registration == 1 && !diskPath.empty())
        project.DeleteAtEnd(diskPath);
    if (registration == 2)
        listWrittenFile(withSlash(files->BaseFolder()) + "install.dat", name);
}

} // namespace

void installScreenFunctions(TScriptEnv& env, TProject& project) {
    if (!env.Funcs)
        return;
    TScriptEnv* e = &env;
    TProject* p = &project;
    env.Funcs->SetFunction(fnSaveScreen, [e, p](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        saveScreen(*e, *p, R, a);
    });
}

} // namespace zuno
